#include "system/UpravlenieWindow.h"

namespace pexor {

void MakeTopmost(System &sys, Hwnd hwnd) {
  // Position and size stay as they are; only the z-order band changes.
  sys.port.setWindowPos(hwnd, ZOrder::Topmost, 0, 0, 0, 0, Placement::NoSize | Placement::NoMove);
}

} // namespace pexor
