#include "system/OwnEmulators.h"

#include "system/Emulator.h"
#include "system/ImageName.h"
#include "system/InstalledCopy.h"

#include <string_view>

namespace pexor {

namespace {

// A folder path starting with one backslash lies at the root of the drive
// the system resolved it on, which the process table names.
bool samePath(std::string_view image, std::string_view expected) {
  if (sameImageName(image, expected))
    return true;
  return expected.starts_with('\\') && !expected.starts_with("\\\\") && image.size() > 2 &&
         image[1] == ':' && sameImageName(image.substr(2), expected);
}

} // namespace

bool IsOwnEmulator(System &sys, std::uint32_t pid) {
  if (sys.port.isLaunchOfProgram(pid))
    return true;
  const std::string image = sys.port.processImagePath(pid);
  if (image.empty())
    return false;
  const std::string launched = InstalledCopy::bare(sys.pathEmulator);
  return samePath(image, InstalledCopy(sys).emulator()) ||
         (!launched.empty() && samePath(image, launched));
}

std::vector<std::uint32_t> OwnEmulatorProcesses(System &sys) {
  std::vector<std::uint32_t> pids;
  for (const ProcessEntry &process : sys.port.listProcesses())
    if (sameImageName(process.imageName, emulator::ImageName) && IsOwnEmulator(sys, process.pid))
      pids.push_back(process.pid);
  return pids;
}

Hwnd FindEmulatorWindow(System &sys) {
  for (const Hwnd window : sys.port.findWindows(emulator::WindowClass))
    if (IsOwnEmulator(sys, sys.port.windowProcess(window)))
      return window;
  return 0;
}

} // namespace pexor
