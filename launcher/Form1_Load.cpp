#include "forms/Guarded.h"
#include "launcher/ConfText.h"
#include "launcher/Form1.h"
#include "launcher/InstallCopy.h"
#include "launcher/InstallProgress.h"
#include "platform/Units.h"
#include "system/CreateShortcutArgument.h"
#include "system/Emulator.h"
#include "system/InstalledCopy.h"
#include "system/SpecialFolder.h"

namespace pexor {

namespace {

constexpr const char *Resolutions[] = {"640x480",  "800x600",  "1024x768",
                                       "1152x864", "1280x960", "1600x1200"};

// The mode number that reads the mode in effect.
constexpr std::int32_t CurrentMode = -1;

std::string withoutTrailingBackslash(std::string path) {
  while (!path.empty() && path.back() == '\\')
    path.pop_back();
  return path;
}

} // namespace

// Installs the shipped folder into Documents, has the start shortcut made
// and shows the configured choices. Every step is guarded by itself.
void Form1::Form_Load() {
  using forms::guardedStep;
  startingUp_ = true;

  guardedStep([&] {
    sys_.pathDocuments =
        withoutTrailingBackslash(GetSpecialFolderPath(sys_, SpecialFolder::Documents));
  });
  traceStep("Documents found");
  const InstalledCopy installed(sys_);
  guardedStep([&] { port().createFolder(installed.folder()); });
  std::optional<CopyFailure> installFailure;
  // A long copy shows its progress; the window is gone when the step ends.
  guardedStep([&] {
    InstallProgress progress(app(), installed.folder());
    installFailure =
        copyFolderContents(port(), port().exeFolder() + "\\" + emulator::FolderName,
                           installed.folder(), [&](const CopyProgress &p) { progress.copied(p); });
  });
  traceStep("installed copy up to date");
  // Told first: what start-up meets later with the same cause goes untold.
  if (installFailure)
    guardedStep([&] { tellInstallFailure(*installFailure, installed); });
  installed.setRunPaths(sys_);
  // A timer's tick comes after the window's first paint.
  guardedStep([&] { shortcutTimer_.setEnabled(true); });
  guardedStep([&] { Option1.setValue(true); });
  // In screen pixels whatever the scale: the twips of this window's DPI.
  guardedStep([&] {
    desktopWidth = static_cast<std::int32_t>(roundHalfEven(screenWidth() / twipsPerPixel()));
  });
  guardedStep([&] {
    desktopHeight = static_cast<std::int32_t>(roundHalfEven(screenHeight() / twipsPerPixel()));
  });
  guardedStep([&] { desktopModeRead = port().enumDisplaySettings(CurrentMode, desktopMode); });
  traceStep("desktop mode read");
  config.confPath = installed.conf();
  guardedStep([&] { ProchetiConf(); });
  traceStep("configuration read");
  guardedStep([&] {
    for (const char *resolution : Resolutions)
      List1.addItem(resolution);
  });
  guardedStep([&] {
    int match = List1.listCount() - 1;
    for (int i = 0; i < List1.listCount(); ++i)
      if (List1.list(i) == config.confResolution) {
        match = i;
        break;
      }
    List1.setListIndex(match);
  });
  const std::string cycles = config.confCycles;
  guardedStep([&] {
    for (int value = 3000; value <= 30000; value += 1000)
      List2.addItem(std::to_string(value));
  });
  // The walk's selections write nothing one by one: the file gets where the
  // walk ends in one edit, and none when that is the value read, so the
  // installed copy keeps the shipped file's time and the next start has
  // nothing to copy. A file start-up could not read is never written.
  guardedStep([&] {
    for (int i = 0; i < List2.listCount(); ++i) {
      List2.setListIndex(i);
      if (List2.list(i) == cycles)
        break;
    }
  });
  if (config.loaded && List2.text() != cycles)
    guardedStep([&] { applyPick(conf::CyclesKey, List2.text()); });
  guardedStep([&] { acceptedResolutionIndex = static_cast<std::int16_t>(List1.listIndex()); });
  guardedStep([&] { takeGameSize(); });
  traceStep("lists filled");
  startingUp_ = false;
}

// Once, on the paths start-up found; OK makes it again before each launch.
void Form1::makeStartShortcut() {
  shortcutTimer_.setEnabled(false);
  forms::guardedStep([&] {
    MakeShortcut(sys_, InstalledCopy::bare(sys_.pathEmulator), sys_.pathInstall,
                 emulator::ShortcutName, emulator::Arguments(sys_.pathGame, sys_.pathConf), "",
                 ShowCommand::ShowNormal, 0);
  });
  traceStep("start shortcut");
}

} // namespace pexor
