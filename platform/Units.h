#pragma once

#include <cmath>
#include <cstdint>

namespace pexor {

inline constexpr float TwipsPerPixel = 15.0f;
inline constexpr std::int32_t TwipsPerPixelWhole = 15; // for whole-number arithmetic

// Real to whole number: nearest, a half going to the even neighbour.
inline std::int64_t roundHalfEven(double value) {
  return static_cast<std::int64_t>(std::nearbyint(value)); // default rounding mode is to-even
}

} // namespace pexor
