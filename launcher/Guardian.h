#pragma once

#include "platform/Port.h"

#include <cstdint>
#include <string>

namespace pexor {

// The launcher's guardian, a process of its own: when the launcher ends
// without putting the desktop back itself (ended from outside, a crash), the
// guardian does what its shutdown does.

// What a guardian is told: the display mode to go back to (its size, and its
// depth and rate when they were read, 0 otherwise) and the installed copy
// whose emulators it ends.
struct GuardianWork {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint32_t bits = 0;
  std::uint32_t hertz = 0;
  std::string documents;    // pathDocuments
  std::string emulatorPath; // pathEmulator, bare
};

// The orders a guardian is started with, and back.
std::string guardianOrders(const GuardianWork &work);
GuardianWork guardianWork(const std::string &orders);

// The file the guardian runs from: a copy of this program under a name of its
// own in the installed folder (`install`, with its final backslash), so that
// ending the program's processes by their name leaves the guardian to do its
// work; this program's own file where no copy can be had.
std::string guardianProgram(Port &port, const std::string &install);

// A guardian's whole life: waits for the launcher and, if it was abandoned,
// ends the installed copy's emulators and puts the display back.
void runGuardian(Port &port, const std::string &orders);

} // namespace pexor
