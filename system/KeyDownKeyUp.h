#pragma once

#include "system/System.h"

#include <cstdint>

namespace pexor {

// Both raise Error 6 (Overflow) for a code outside 0 to 255.
void KeyDown(System &sys, std::int32_t vk);
void KeyUp(System &sys, std::int32_t vk);

} // namespace pexor
