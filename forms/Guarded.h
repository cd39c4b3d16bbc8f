#pragma once

#include "platform/Error.h"

#include <exception>

namespace pexor::forms {

// Runs one step guarded by itself: an error ends the step, silently, and the
// caller goes on with its next step. True when the step completed.
template <class Step> bool guardedStep(Step &&step) noexcept {
  try {
    step();
    return true;
  } catch (const std::exception &) {
    return false;
  }
}

} // namespace pexor::forms
