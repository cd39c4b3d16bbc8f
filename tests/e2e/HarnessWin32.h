#pragma once

// Win32 pieces the harness files share: owners of handles and COM pointers,
// and the calls every part of the harness makes.

#include <windows.h>

#include <string>
#include <vector>

namespace e2e::detail {

// A COM interface pointer, released once.
template <class T> class ComPtr {
public:
  ComPtr() = default;
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr &) = delete;
  ComPtr &operator=(const ComPtr &) = delete;
  T *operator->() const { return ptr_; }
  T *get() const { return ptr_; }
  T **put() {
    reset();
    return &ptr_;
  }
  void **putVoid() { return reinterpret_cast<void **>(put()); }
  void reset() {
    if (ptr_)
      ptr_->Release();
    ptr_ = nullptr;
  }

private:
  T *ptr_ = nullptr;
};

class RegKey {
public:
  RegKey() = default;
  ~RegKey() {
    if (key_)
      RegCloseKey(key_);
  }
  RegKey(const RegKey &) = delete;
  RegKey &operator=(const RegKey &) = delete;
  HKEY *put() { return &key_; }
  HKEY get() const { return key_; }

private:
  HKEY key_ = nullptr;
};

class FindHandle {
public:
  explicit FindHandle(HANDLE h) : h_(h) {}
  ~FindHandle() {
    if (h_ != INVALID_HANDLE_VALUE)
      FindClose(h_);
  }
  FindHandle(const FindHandle &) = delete;
  FindHandle &operator=(const FindHandle &) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }

private:
  HANDLE h_;
};

// SendMessage with a time limit: -1 when the window does not answer.
LRESULT sendTo(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
bool createFolders(const std::wstring &path);
// Relative paths of the files below root + relative, unsorted.
void collectFiles(const std::wstring &root, const std::wstring &relative,
                  std::vector<std::wstring> &out);

} // namespace e2e::detail
