#pragma once

#include <string>

namespace pexor::emulator {

inline constexpr const char *ImageName = "DOSBox.exe";
inline constexpr const char *WindowClass = "SDL_app";
inline constexpr const char *FolderName = "DoxPexor";
inline constexpr const char *ConfFileName = "dosbox-0.73.conf";
inline constexpr const char *GamePath = "Pexor\\Pexor.exe";
inline constexpr const char *ShortcutName = "StartPexor";

// The emulator's command line: both paths arrive in double quotes.
inline std::string Arguments(const std::string &pathGame, const std::string &pathConf) {
  return pathGame + " -exit -fullscreen -conf " + pathConf + " -noconsole";
}

} // namespace pexor::emulator
