#include "system/MouseClick.h"

#include "platform/Units.h"

#include <cmath>
#include <limits>

namespace pexor {

namespace {

constexpr MouseAction MoveDownUpAbsolute =
    MouseAction::Move | MouseAction::LeftDown | MouseAction::LeftUp | MouseAction::Absolute;
constexpr double NormalisedSpan = 65535.0;

// Normalised units per twip times 15: units per pixel of the primary display.
double scaleOf(int screenPixels) {
  const double twips = static_cast<double>(static_cast<float>(screenPixels) * TwipsPerPixel);
  if (twips == 0.0)
    throw Error(err::DivisionByZero, "Division by zero");
  return NormalisedSpan / twips * static_cast<double>(TwipsPerPixel);
}

std::int32_t toLong(float value) {
  const double rounded = std::nearbyint(static_cast<double>(value));
  if (std::isnan(rounded) || rounded < std::numeric_limits<std::int32_t>::min() ||
      rounded > std::numeric_limits<std::int32_t>::max())
    throw Error(err::Overflow, "Overflow");
  return static_cast<std::int32_t>(roundHalfEven(static_cast<double>(value)));
}

void clickAt(System &sys, int pixelX, int pixelY) {
  const double scaleX = scaleOf(sys.port.screenWidthPixels());
  const double scaleY = scaleOf(sys.port.screenHeightPixels());
  sys.clickX = static_cast<float>(scaleX * pixelX);
  sys.clickY = static_cast<float>(scaleY * pixelY);
  // Move, press and release in one event: the pointer stays at the point.
  sys.port.mouseEvent(MoveDownUpAbsolute, toLong(sys.clickX), toLong(sys.clickY), 0, 0);
}

} // namespace

void LeftClick1(System &sys) { clickAt(sys, 100, 100); }

void LeftClick2(System &sys) { clickAt(sys, 150, 100); }

} // namespace pexor
