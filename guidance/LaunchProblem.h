#pragma once

#include "platform/Error.h"
#include "system/System.h"

#include <optional>
#include <string>

namespace pexor {

// What foreseeably stands in the way of starting the game, told in the
// user's words with the path concerned: the installed folder (and so the
// Documents folder) out of reach, the emulator or the game file missing, or
// a path handed to the emulator that it cannot spell.
std::optional<std::string> launchProblem(System &sys);

// A failure of writing (`running` false) or running the start shortcut, told
// likewise when its cause is one the user can act on; nullopt otherwise.
std::optional<std::string> launchFailure(const System &sys, const Error &error, bool running);

} // namespace pexor
