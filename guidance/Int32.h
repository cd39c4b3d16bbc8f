#pragma once

#include "platform/Error.h"

#include <cstdint>
#include <limits>

namespace pexor {

// 32-bit integer arithmetic as the windows do it: a result out of range is
// an overflow error, never a wrapped value.
inline std::int32_t int32Checked(std::int64_t value) {
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max())
    throw Error(err::Overflow, "Overflow");
  return static_cast<std::int32_t>(value);
}

inline std::int32_t mul32(std::int32_t a, std::int32_t b) {
  return int32Checked(static_cast<std::int64_t>(a) * b);
}

inline std::int32_t sub32(std::int32_t a, std::int32_t b) {
  return int32Checked(static_cast<std::int64_t>(a) - b);
}

} // namespace pexor
