#pragma once

#include <cmath>
#include <cstdint>

namespace pexor {

inline constexpr float TwipsPerPixel = 15.0f; // at 96 DPI, the classic fixed ratio
inline constexpr int StandardDpi = 96;
inline constexpr double TwipsPerInch = 1440.0;

// Real to whole number: nearest, a half going to the even neighbour.
inline std::int64_t roundHalfEven(double value) {
  return static_cast<std::int64_t>(std::nearbyint(value)); // default rounding mode is to-even
}

// A window's twips become its pixels at the window's DPI: 15 twips a pixel at
// 96 DPI, 10 at 144. A DPI that makes no sense counts as 96.
inline double usableDpi(int dpi) { return dpi > 0 ? dpi : StandardDpi; }
inline float twipsPerPixel(int dpi) { return static_cast<float>(TwipsPerInch / usableDpi(dpi)); }
inline int twipsToPixels(float twips, int dpi) {
  return static_cast<int>(
      roundHalfEven(static_cast<double>(twips) * usableDpi(dpi) / TwipsPerInch));
}
inline float pixelsToTwips(long pixels, int dpi) {
  return static_cast<float>(static_cast<double>(pixels) * TwipsPerInch / usableDpi(dpi));
}

} // namespace pexor
