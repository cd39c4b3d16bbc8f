#pragma once

#include "platform/Windowing.h"
#include "resources/Texts.h"

#include <string>

namespace pexor::design {

// One control of a window design; geometry in twips, relative to its parent.
inline ControlView control(ControlKind kind, std::string name, float left, float top, float width,
                           float height) {
  ControlView v;
  v.kind = kind;
  v.name = std::move(name);
  v.left = left;
  v.top = top;
  v.width = width;
  v.height = height;
  return v;
}

// The bold Cyrillic face of the system's captions.
inline FontSpec boldCyrillic() { return FontSpec{"MS Sans Serif", 9.75f, true, 204}; }

} // namespace pexor::design
