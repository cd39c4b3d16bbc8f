#include "system/InstalledCopy.h"

#include "system/Emulator.h"
#include "system/SpelledPath.h"

namespace pexor {

std::string InstalledCopy::folder() const { return documents_ + "\\" + emulator::FolderName; }

std::string InstalledCopy::install() const { return folder() + "\\"; }

std::string InstalledCopy::emulator() const { return install() + emulator::ImageName; }

std::string InstalledCopy::game() const { return install() + emulator::GamePath; }

std::string InstalledCopy::conf() const { return install() + emulator::ConfFileName; }

std::string InstalledCopy::shortcut() const { return install() + emulator::ShortcutName + ".lnk"; }

void InstalledCopy::setRunPaths(System &sys) const {
  Port &port = sys.port;
  sys.pathEmulator = quoted(spelledPath(port, emulator()));
  sys.pathInstall = install();
  sys.pathGame = quoted(spelledPath(port, sys.chosenFile.empty() ? game() : sys.chosenFile));
  sys.pathConf = quoted(spelledPath(port, conf()));
}

} // namespace pexor
