#pragma once

#include "platform/Units.h"
#include "platform/Windowing.h"

#include "platform/win32/Win32Api.h"

#include <cstdint>

namespace pexor::win32 {

// The system keeps window handles in 32 bits; Windows guarantees that they
// fit and are sign-extended back (HWND_TOPMOST is -1).
inline HWND toHwnd(Hwnd handle) {
  return reinterpret_cast<HWND>(
      static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<std::int32_t>(handle))));
}
inline Hwnd fromHwnd(HWND handle) { return static_cast<Hwnd>(reinterpret_cast<ULONG_PTR>(handle)); }

// &H00BBGGRR, or a system colour index with the high bit set.
inline COLORREF toColorref(Colour colour) {
  if ((colour & 0x80000000u) != 0)
    return GetSysColor(static_cast<int>(colour & 0xFFu));
  return colour & 0x00FFFFFFu;
}

} // namespace pexor::win32
