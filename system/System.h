#pragma once

#include "platform/Port.h"

#include <string>

namespace pexor {

// The system's shared variables and the little state its modules keep: one
// instance for the whole run, the only place such state lives.
struct System {
  explicit System(Port &p) : port(p) {}
  System(const System &) = delete;
  System &operator=(const System &) = delete;

  Port &port;

  // Shared variables. The three paths handed to the emulator are quoted;
  // pathInstall ends with a backslash.
  std::string pathDocuments;
  std::string pathEmulator;
  std::string pathInstall;
  std::string pathGame;
  std::string pathConf;
  std::string chosenFile;
  Hwnd hwndEmulator = 0;

  // ResolutionMod: the record carried from call to call.
  DisplayMode displayMode{};

  // MouseClick: the last click in normalised absolute coordinates.
  float clickX = 0;
  float clickY = 0;
};

} // namespace pexor
