#pragma once

#include "system/System.h"

namespace pexor {

// Switches the primary display to width x height pixels when it offers that
// size; reports nothing.
void ChangeResolution(System &sys, float width, float height);

// Switches the primary display to that very mode: its size, colour depth and
// refresh rate. The system's answer: 0 when it is set.
long ChangeToMode(System &sys, const DisplayMode &mode);

// Back to the mode the desktop had (`mode`, as read at start-up, when `read`);
// where that exact mode cannot be set, or was never read, to its size,
// width x height. Nothing at all for a size never read.
void RestoreDesktop(System &sys, const DisplayMode &mode, bool read, std::int32_t width,
                    std::int32_t height);

} // namespace pexor
