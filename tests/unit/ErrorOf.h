#pragma once

#include "platform/Error.h"

#include <functional>

namespace pexor {

// The number of the error the action raises, or 0 when it raises none.
inline long errorOf(const std::function<void()> &action) {
  try {
    action();
  } catch (const Error &e) {
    return e.number();
  }
  return 0;
}

} // namespace pexor
