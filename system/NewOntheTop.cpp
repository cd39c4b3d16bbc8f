#include "system/NewOntheTop.h"

namespace pexor {

void PutOnTop(System &sys) {
  sys.port.setWindowPos(sys.hwndEmulator, HWND_TOPMOST_HANDLE, 0, 0, 100, 100, SWP_SHOWWINDOW_FLAG);
}

} // namespace pexor
