#pragma once

#include "platform/Flags.h"

#include <cstdint>

namespace pexor {

// How a top-level window is shown.
enum class ShowCommand : std::uint8_t {
  Hide,
  ShowNormal,
  ShowMinNoActive,
  Minimize,
  Maximize,
  Restore,
};

// Where a placed window goes in the z-order.
enum class ZOrder : std::uint8_t {
  Top,
  Bottom,
  Topmost,    // into the band above every other window
  NotTopmost, // out of that band, above the others
};

// What a placement leaves alone or does besides.
enum class Placement : std::uint8_t {
  None = 0,
  NoSize = 1 << 0,
  NoMove = 1 << 1,
  NoZOrder = 1 << 2,
  ShowWindow = 1 << 3,
  HideWindow = 1 << 4,
};
template <> inline constexpr bool IsFlagSet<Placement> = true;

} // namespace pexor
