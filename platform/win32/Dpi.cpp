#include "platform/win32/Dpi.h"

#include "platform/Units.h"

namespace pexor::win32::dpi {

namespace {

template <class Function> Function user32(const char *name) {
  const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

using GetDpiForSystemFn = UINT(WINAPI *)();
using GetDpiForWindowFn = UINT(WINAPI *)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI *)(RECT *, DWORD, BOOL, DWORD, UINT);

} // namespace

int ofSystem() {
  static const auto forSystem = user32<GetDpiForSystemFn>("GetDpiForSystem");
  if (forSystem != nullptr)
    return static_cast<int>(forSystem());
  int dpi = StandardDpi;
  if (HDC screen = GetDC(nullptr)) {
    dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }
  return dpi > 0 ? dpi : StandardDpi;
}

int ofWindow(HWND window) {
  static const auto forWindow = user32<GetDpiForWindowFn>("GetDpiForWindow");
  const UINT dpi = forWindow != nullptr && window != nullptr ? forWindow(window) : 0;
  return dpi > 0 ? static_cast<int>(dpi) : ofSystem();
}

void adjustWindowRect(RECT &rect, DWORD style, DWORD exStyle, int dpi) {
  static const auto forDpi = user32<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
  if (forDpi != nullptr)
    forDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi));
  else
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

} // namespace pexor::win32::dpi
