#pragma once

#include "platform/Port.h"

#include <string>

namespace pexor {

// The form of an existing path that the emulator can open. It reads its
// command line in the system's ANSI code page, and the shell keeps the start
// shortcut's target and icon in it: the path itself where that code page
// spells it, else its short form where the volume keeps one the code page
// spells. Otherwise the path as it is, which the emulator cannot open.
std::string spelledPath(Port &port, const std::string &path);

} // namespace pexor
