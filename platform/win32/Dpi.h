#pragma once

#include "platform/Units.h"
#include "platform/win32/Win32Api.h"

namespace pexor::win32::dpi {

// The scaling calls of newer Windows are looked up at run time, so that the
// program still starts where they are missing; there it falls back to the
// system's one DPI.
int ofSystem();
int ofWindow(HWND window); // the system's when the window has none of its own
// The outer rectangle of a client rectangle, the frame at that DPI.
void adjustWindowRect(RECT &rect, DWORD style, DWORD exStyle, int dpi);
// A length in pixels at 96 DPI, at the given DPI.
inline int scale(int pixelsAt96, int dpi) { return MulDiv(pixelsAt96, dpi, StandardDpi); }

} // namespace pexor::win32::dpi
