#pragma once

#include "platform/win32/Win32Api.h"

#include <objbase.h>

#include <utility>

namespace pexor::win32 {

// One owner per handle; the traits say what "no handle" is and how to close.
template <class Traits> class Unique {
public:
  using Type = typename Traits::Type;

  Unique() = default;
  explicit Unique(Type handle) : handle_(handle) {}
  Unique(const Unique &) = delete;
  Unique &operator=(const Unique &) = delete;
  Unique(Unique &&other) noexcept : handle_(other.release()) {}
  Unique &operator=(Unique &&other) noexcept {
    if (this != &other)
      reset(other.release());
    return *this;
  }
  ~Unique() { reset(); }

  Type get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::none(); }
  Type release() { return std::exchange(handle_, Traits::none()); }
  void reset(Type handle = Traits::none()) {
    if (handle_ != Traits::none())
      Traits::close(handle_);
    handle_ = handle;
  }
  // For APIs that hand a new handle back through a pointer.
  Type *put() {
    reset();
    return &handle_;
  }

private:
  Type handle_ = Traits::none();
};

struct FileTraits { // CreateFileW, CreateToolhelp32Snapshot
  using Type = HANDLE;
  static Type none() { return INVALID_HANDLE_VALUE; }
  static void close(Type h) { CloseHandle(h); }
};
struct KernelTraits { // OpenProcess
  using Type = HANDLE;
  static Type none() { return nullptr; }
  static void close(Type h) { CloseHandle(h); }
};
struct FindTraits {
  using Type = HANDLE;
  static Type none() { return INVALID_HANDLE_VALUE; }
  static void close(Type h) { FindClose(h); }
};
struct RegKeyTraits {
  using Type = HKEY;
  static Type none() { return nullptr; }
  static void close(Type h) { RegCloseKey(h); }
};
template <class T> struct GdiTraits {
  using Type = T;
  static Type none() { return nullptr; }
  static void close(Type h) { DeleteObject(h); }
};
struct ModuleTraits { // LoadLibraryExW
  using Type = HMODULE;
  static Type none() { return nullptr; }
  static void close(Type h) { FreeLibrary(h); }
};

struct WindowTraits { // CreateWindowExW
  using Type = HWND;
  static Type none() { return nullptr; }
  static void close(Type h) { DestroyWindow(h); }
};

struct HookTraits { // SetWindowsHookExW
  using Type = HHOOK;
  static Type none() { return nullptr; }
  static void close(Type h) { UnhookWindowsHookEx(h); }
};

using UniqueFile = Unique<FileTraits>;
using UniqueHandle = Unique<KernelTraits>;
using UniqueFind = Unique<FindTraits>;
using UniqueKey = Unique<RegKeyTraits>;
using UniqueModule = Unique<ModuleTraits>;
using UniqueFont = Unique<GdiTraits<HFONT>>;
using UniqueBrush = Unique<GdiTraits<HBRUSH>>;
using UniqueBitmap = Unique<GdiTraits<HBITMAP>>;
using UniquePen = Unique<GdiTraits<HPEN>>;
using UniqueWindow = Unique<WindowTraits>;
using UniqueHook = Unique<HookTraits>;

// A COM interface pointer, released once.
template <class T> class ComPtr {
public:
  ComPtr() = default;
  ComPtr(const ComPtr &) = delete;
  ComPtr &operator=(const ComPtr &) = delete;
  ~ComPtr() { reset(); }

  T *get() const { return ptr_; }
  T *operator->() const { return ptr_; }
  void reset() {
    if (ptr_ != nullptr)
      std::exchange(ptr_, nullptr)->Release();
  }
  void **put() {
    reset();
    return reinterpret_cast<void **>(&ptr_);
  }

private:
  T *ptr_ = nullptr;
};

// This thread's COM apartment, entered on first need: a start that never
// touches the shell's objects never pays for it.
class ComApartment {
public:
  ComApartment() = default;
  ComApartment(const ComApartment &) = delete;
  ComApartment &operator=(const ComApartment &) = delete;
  ~ComApartment() {
    if (entered_)
      CoUninitialize();
  }
  bool entered() const { return entered_; }
  // False when the apartment could not be entered; asked again next time.
  bool enter() {
    if (!entered_)
      entered_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    return entered_;
  }

private:
  bool entered_ = false;
};

// A memory DC with a bitmap selected into it, for drawing off screen.
class OffscreenDC {
public:
  OffscreenDC(HDC screen, int width, int height)
      : dc_(CreateCompatibleDC(screen)), bitmap_(CreateCompatibleBitmap(screen, width, height)),
        old_(SelectObject(dc_, bitmap_.get())) {}
  OffscreenDC(const OffscreenDC &) = delete;
  OffscreenDC &operator=(const OffscreenDC &) = delete;
  ~OffscreenDC() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  HDC get() const { return dc_; }

private:
  HDC dc_;
  UniqueBitmap bitmap_;
  HGDIOBJ old_;
};

// Selects a GDI object into a DC for one scope.
class Selected {
public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  Selected(const Selected &) = delete;
  Selected &operator=(const Selected &) = delete;
  ~Selected() { SelectObject(dc_, old_); }

private:
  HDC dc_;
  HGDIOBJ old_;
};

} // namespace pexor::win32
