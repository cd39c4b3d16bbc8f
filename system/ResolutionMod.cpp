#include "system/ResolutionMod.h"

#include "platform/Units.h"

#include <cmath>
#include <limits>
#include <string>

namespace pexor {

namespace {

// A record field is a 32-bit signed number: a value out of its range
// overflows, as the assignment would.
std::uint32_t toField(float pixels) {
  const double value = static_cast<double>(pixels);
  const double rounded = std::nearbyint(value);
  if (std::isnan(rounded) || rounded < std::numeric_limits<std::int32_t>::min() ||
      rounded > std::numeric_limits<std::int32_t>::max())
    throw Error(err::Overflow, "Overflow");
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(roundHalfEven(value)));
}

} // namespace

void ChangeResolution(System &sys, float width, float height) {
  // The record keeps what the last call left in it, on the failing one too.
  std::int32_t modeNumber = 0;
  bool more = true;
  while (more) {
    more = sys.port.enumDisplaySettings(modeNumber, sys.displayMode);
    ++modeNumber;
  }
  sys.displayMode.dmFields = DisplayField::PelsWidth | DisplayField::PelsHeight;
  sys.displayMode.dmPelsWidth = toField(width);
  sys.displayMode.dmPelsHeight = toField(height);
  const long result = sys.port.changeDisplaySettings(sys.displayMode);
  sys.port.trace("display: " + std::to_string(sys.displayMode.dmPelsWidth) + "x" +
                 std::to_string(sys.displayMode.dmPelsHeight) +
                 (result == 0 ? "" : ", refused (" + std::to_string(result) + ")"));
}

long ChangeToMode(System &sys, const DisplayMode &mode) {
  DisplayMode wanted = mode;
  wanted.dmFields = DisplayField::PelsWidth | DisplayField::PelsHeight | DisplayField::BitsPerPel |
                    DisplayField::DisplayFrequency;
  const long result = sys.port.changeDisplaySettings(wanted);
  sys.port.trace("display: " + std::to_string(mode.dmPelsWidth) + "x" +
                 std::to_string(mode.dmPelsHeight) + ", " + std::to_string(mode.dmBitsPerPel) +
                 " bits, " + std::to_string(mode.dmDisplayFrequency) + " Hz" +
                 (result == 0 ? "" : ", refused (" + std::to_string(result) + ")"));
  return result;
}

void RestoreDesktop(System &sys, const DisplayMode &mode, bool read, std::int32_t width,
                    std::int32_t height) {
  if (read && mode.dmPelsWidth > 0 && mode.dmPelsHeight > 0 && ChangeToMode(sys, mode) == 0)
    return;
  if (width > 0 && height > 0)
    ChangeResolution(sys, static_cast<float>(width), static_cast<float>(height));
}

} // namespace pexor
