#pragma once

#include "system/System.h"

namespace pexor {

// The emulator's window: topmost, at 0,0, 100 x 100 pixels, shown.
void PutOnTop(System &sys);

} // namespace pexor
