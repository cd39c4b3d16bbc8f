#include "guidance/LaunchProblem.h"

#include "resources/Reasons.h"
#include "resources/Texts.h"
#include "system/InstalledCopy.h"

namespace pexor {

namespace {

std::string told(const char *key, const std::string &path) {
  return resources::text(key) + "\n" + path;
}

} // namespace

std::optional<std::string> launchProblem(System &sys) {
  const InstalledCopy installed(sys);
  Port &port = sys.port;
  if (!port.folderExists(installed.folder()))
    return told("Launch.FolderMissingText", installed.folder());
  if (!port.fileExists(installed.emulator()))
    return told("Launch.EmulatorMissingText", installed.emulator());
  const std::string game = InstalledCopy::bare(sys.pathGame);
  if (!port.fileExists(game))
    return told("Launch.GameMissingText", game);
  // A path the emulator cannot spell here, with no short form that it can.
  for (const std::string *handed : {&sys.pathEmulator, &sys.pathGame, &sys.pathConf}) {
    const std::string path = InstalledCopy::bare(*handed);
    if (!port.ansiCodePageHolds(path))
      return told("Launch.PathNotSpelledText", path);
  }
  return std::nullopt;
}

std::optional<std::string> launchFailure(const System &sys, const Error &error, bool running) {
  const std::optional<std::string> reason = resources::knownReason(error);
  if (!reason)
    return std::nullopt;
  const InstalledCopy installed(sys);
  return told(running ? "Launch.EmulatorFailedText" : "Launch.ShortcutFailedText",
              running ? installed.emulator() : installed.shortcut()) +
         "\n\n" + *reason + ".";
}

} // namespace pexor
