#pragma once

#include "system/System.h"

#include <string>

namespace pexor {

// The installed copy in the Documents folder: the one place that names its
// folder and files. Paths are bare; quoted() gives the form the emulator's
// command line and the shortcut take.
class InstalledCopy {
public:
  explicit InstalledCopy(std::string documents) : documents_(std::move(documents)) {}
  explicit InstalledCopy(const System &sys) : InstalledCopy(sys.pathDocuments) {}

  std::string folder() const;   // D\DoxPexor
  std::string install() const;  // D\DoxPexor\ (with the final backslash)
  std::string emulator() const; // D\DoxPexor\DOSBox.exe
  std::string game() const;     // D\DoxPexor\Pexor\Pexor.exe
  std::string conf() const;     // D\DoxPexor\dosbox-0.73.conf
  std::string shortcut() const; // D\DoxPexor\StartPexor.lnk

  static std::string quoted(const std::string &path) { return "\"" + path + "\""; }
  // The path within the quotes, when it has them (a run path may).
  static std::string bare(const std::string &path) {
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
      return path.substr(1, path.size() - 2);
    return path;
  }

  // pathEmulator, pathInstall, pathGame and pathConf of a run: the game is the
  // chosen file when there is one. The three the emulator is handed take the
  // form it can open where there is one (spelledPath); the files exist by then.
  void setRunPaths(System &sys) const;

private:
  std::string documents_;
};

} // namespace pexor
