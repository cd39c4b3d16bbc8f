#include "system/UpravlenieWindow.h"

namespace pexor {

void MakeTopmost(System &sys, Hwnd hwnd) {
  // Position and size stay as they are; only the z-order band changes.
  sys.port.setWindowPos(hwnd, HWND_TOPMOST_HANDLE, 0, 0, 0, 0, SWP_NOSIZE_FLAG | SWP_NOMOVE_FLAG);
}

} // namespace pexor
