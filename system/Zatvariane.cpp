#include "system/Zatvariane.h"

#include "system/Emulator.h"
#include "system/ImageName.h"
#include "system/OwnEmulators.h"

#include <array>
#include <string_view>

namespace pexor {

namespace {

constexpr long AccessDenied = 2;

} // namespace

std::optional<long> TerminateOne(System &sys, const ProcessEntry &process) {
  try {
    return sys.port.terminateProcess(process.pid) ? 0L : AccessDenied;
  } catch (...) {
    return std::nullopt;
  }
}

void CloseAllEmulators(System &sys) {
  // Every step stands alone: a failure skips it and nothing reaches the caller.
  // Only the installed copy's emulators: another folder's DOSBox.exe is
  // another game, maybe with unsaved progress.
  const std::array<std::string_view, 1> names{emulator::ImageName};
  for (const std::string_view name : names) {
    std::vector<ProcessEntry> matching;
    try {
      for (const ProcessEntry &process : sys.port.listProcesses())
        if (sameImageName(process.imageName, name) && IsOwnEmulator(sys, process.pid))
          matching.push_back(process);
    } catch (...) {
      continue;
    }
    for (const ProcessEntry &process : matching) {
      try {
        (void)TerminateOne(sys, process);
      } catch (...) {
        // TerminateOne catches its own; nothing else may escape either.
      }
    }
  }
}

} // namespace pexor
