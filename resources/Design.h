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

inline constexpr Colour Black = 0x00000000;
inline constexpr Colour White = 0x00FFFFFF;
inline constexpr Colour Red = 0x000000FF;
inline constexpr Colour Grey = 0x00808080;
inline constexpr Colour DarkGrey = 0x00404040;
inline constexpr Colour Silver = 0x00C0C0C0;

// White bold text drawn straight on the dark panel of a guidance window.
inline ControlView whiteLabel(const char *name, const char *key, float left, float top,
                              float width) {
  ControlView v = control(ControlKind::Label, name, left, top, width, 240);
  v.text = resources::text(key);
  v.foreColor = White;
  v.transparent = true;
  v.font = boldCyrillic();
  return v;
}

} // namespace pexor::design
