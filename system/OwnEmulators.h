#pragma once

#include "system/System.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pexor {

// The emulators that are the launcher's own: processes the program launched
// itself, and those whose program is the installed copy's DOSBox.exe, by its
// full path as installed or as handed to the shortcut (pathEmulator), left
// from an earlier run or started by hand; and their windows. Another
// folder's DOSBox.exe, or another program's SDL window, is never one of them.

bool IsOwnEmulator(System &sys, std::uint32_t pid);
// The running ones. Raises when the process table cannot be read.
std::vector<std::uint32_t> OwnEmulatorProcesses(System &sys);
// Their top-level window of class "SDL_app", hidden ones included, or 0.
Hwnd FindEmulatorWindow(System &sys);

} // namespace pexor
