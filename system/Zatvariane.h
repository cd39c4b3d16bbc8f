#pragma once

#include "system/System.h"

#include <optional>

namespace pexor {

// Ends every running emulator of the installed copy (see OwnEmulators.h);
// never fails towards its caller.
void CloseAllEmulators(System &sys);
// Terminates one process: 0 on success, non-zero when refused, nullopt when
// the call itself failed.
std::optional<long> TerminateOne(System &sys, const ProcessEntry &process);

} // namespace pexor
