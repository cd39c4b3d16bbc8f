#pragma once

#include "forms/Controls.h"
#include "platform/Windowing.h"

namespace pexor {

// A design control placed inside a frame of the same form: the frame must be
// created first, so that its id is known.
inline ControlView inFrame(ControlView design, const forms::Frame &frame) {
  design.parent = frame.id();
  return design;
}

} // namespace pexor
