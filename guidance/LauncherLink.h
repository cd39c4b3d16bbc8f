#pragma once

#include <cstdint>
#include <string>

namespace pexor {

// What the guidance windows use of the launcher window.
class LauncherLink {
public:
  virtual std::int32_t gameWidth() const = 0;  // hirinaGame
  virtual std::int32_t gameHeight() const = 0; // visochinaGame
  virtual std::string launcherCaption() const = 0;
  virtual void lookUpEmulatorWindow() = 0; // looks up the emulator's window once
  virtual void watchForGameOver() = 0;     // closes the launcher when that window is gone
  virtual void closeLauncher() = 0;        // unloads Form1: the one shutdown path
  // Right before the emulator is started: what runs already is not this run's.
  virtual void emulatorStarting() = 0;
  // The reminder closed without launching; `displaySwitched` when its "OK"
  // had already switched to the game resolution.
  virtual void reminderDismissed(bool displaySwitched) = 0;
  // The game could not be started: back to the choices and the desktop mode,
  // then the text is told.
  virtual void launchFailed(const std::string &text) = 0;

protected:
  ~LauncherLink() = default;
};

} // namespace pexor
