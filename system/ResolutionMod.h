#pragma once

#include "system/System.h"

namespace pexor {

// Switches the primary display to width x height pixels when it offers that
// size; reports nothing.
void ChangeResolution(System &sys, float width, float height);

} // namespace pexor
