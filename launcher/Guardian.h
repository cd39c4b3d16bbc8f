#pragma once

#include "platform/Port.h"

#include <cstdint>
#include <string>

namespace pexor {

// The launcher's guardian, a process of its own: when the launcher ends
// without putting the desktop back itself (ended from outside, a crash), the
// guardian does what its shutdown does.

// The orders a guardian is started with: the display mode to go back to.
std::string guardianOrders(std::int32_t width, std::int32_t height);

// A guardian's whole life: waits for the launcher and, if it was abandoned,
// ends every emulator and puts the display back in the mode of its orders.
void runGuardian(Port &port, const std::string &orders);

} // namespace pexor
