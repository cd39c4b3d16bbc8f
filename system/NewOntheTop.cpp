#include "system/NewOntheTop.h"

namespace pexor {

void PutOnTop(System &sys) {
  sys.port.setWindowPos(sys.hwndEmulator, ZOrder::Topmost, 0, 0, 100, 100, Placement::ShowWindow);
}

} // namespace pexor
