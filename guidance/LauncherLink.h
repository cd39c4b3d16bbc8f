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
  virtual void enableTimer2() = 0;  // looks up the emulator's window once
  virtual void enableTimer5() = 0;  // closes the launcher when that window is gone
  virtual void closeLauncher() = 0; // unloads Form1: the one shutdown path

protected:
  ~LauncherLink() = default;
};

} // namespace pexor
