#include "launcher/Form1.h"

#include "system/InstalledCopy.h"
#include "system/KeyDownKeyUp.h"
#include "system/OwnEmulators.h"
#include "system/ResolutionMod.h"

#include <algorithm>
#include <string>

namespace pexor {

namespace {

constexpr const char *NoKey = "1000";
// Longer than a few ticks, so input that comes just after a tick's look is
// still scanned at the next one.
constexpr std::uint32_t RecentInputMs = 500;
// How long the watch waits for a started emulator's first window: 15 ticks.
constexpr int WindowlessTicksAllowed = 15;

} // namespace

void Form1::Label2_Click() {
  Label2.setVisible(false);
  Label3.setVisible(true);
  Command1_Click();
}

void Form1::Label3_Click() { Command2_Click(); }

// First stage: the paths of this run, the choices put away, the reminder.
void Form1::Command1_Click() {
  sys_.port.trace("START: the hotkey window");
  guardDesktop();
  Command4.setVisible(false);
  Option1.setVisible(false);
  Option2.setVisible(false);
  InstalledCopy(sys_).setRunPaths(sys_);
  form2_.show();
  List1.setVisible(false);
  List2.setVisible(false);
}

// Second stage: back to the game.
void Form1::Command2_Click() {
  sys_.port.trace("START again: the mandatory-action window");
  playerAway_ = false;
  hide();
  ChangeResolution(sys_, static_cast<float>(hirinaGame), static_cast<float>(visochinaGame));
  form3_.show();
}

// The key watch: the left Windows key takes the user back to the desktop.
void Form1::Timer1_Timer() {
  Timer1.setInterval(50);
  keepEmulatorHidden();
  Port &port = sys_.port;
  // With no input for a while and no key reported by the last scan, every key
  // is up and no press is pending: the scan would find nothing.
  if (keysReported_ || port.inputIdleMilliseconds() < RecentInputMs) {
    keysReported_ = false;
    for (int code = 0; code <= LastKeyCode; ++code)
      if (keys_.seen(code)) {
        Label1.setCaption(std::to_string(code));
        keysReported_ = true;
      }
  }
  if (Label1.caption() != std::to_string(code(VirtualKey::LeftWin)))
    return;
  Label1.setCaption(NoKey); // the same press is not handled twice
  sys_.port.trace("key watch: the left Windows key, away to the desktop");
  form3_.unload();
  setVisible(true);
  setWindowState(WindowState::Minimized);
  KeyDown(sys_, code(VirtualKey::LeftMenu));
  KeyDown(sys_, code(VirtualKey::Tab));
  KeyUp(sys_, code(VirtualKey::Tab));
  KeyUp(sys_, code(VirtualKey::LeftMenu));
  Timer3.setEnabled(true);
  Timer1.setInterval(1000);
}

void Form1::Timer2_Timer() {
  Timer2.setEnabled(false);
  sys_.hwndEmulator = FindEmulatorWindow(sys_);
  noteEmulatorWindowShown();
  sys_.port.trace("emulator's window: " + std::to_string(sys_.hwndEmulator));
}

// DOSBox sets SDL's video up twice as it starts, and the first window, never
// shown, goes when the second setup begins: a window is the game's once shown.
void Form1::noteEmulatorWindowShown() {
  emulatorWindowShown_ = emulatorWindowShown_ ||
                         (sys_.hwndEmulator != 0 && sys_.port.isWindowVisible(sys_.hwndEmulator));
}

void Form1::Timer3_Timer() {
  Timer3.setEnabled(false);
  noteEmulatorWindowShown();
  sys_.port.showWindow(sys_.hwndEmulator, ShowCommand::Hide);
  sys_.port.trace("emulator hidden: the player is away");
  playerAway_ = true;
  restoreDesktop();
}

// The emulator answers the loss of the keyboard on its own time: it leaves
// full-screen and shows itself minimised, maybe after it was hidden. While
// the player is on the desktop it stays hidden until START brings it back.
void Form1::keepEmulatorHidden() {
  if (playerAway_ && sys_.port.isWindowVisible(sys_.hwndEmulator)) {
    emulatorWindowShown_ = true;
    sys_.port.showWindow(sys_.hwndEmulator, ShowCommand::Hide);
    sys_.port.trace("emulator showed itself while the player is away: hidden again");
  }
}

// The game is over when its window, once shown, is gone, or when no emulator
// of this run runs. A slow machine may take seconds to show the first window.
void Form1::Timer5_Timer() {
  sys_.hwndEmulator = FindEmulatorWindow(sys_);
  if (sys_.hwndEmulator != 0) {
    noteEmulatorWindowShown();
    return;
  }
  if (!emulatorWindowShown_ && ++windowlessTicks_ < WindowlessTicksAllowed &&
      thisRunsEmulatorAlive())
    return;
  sys_.port.trace("emulator's window gone: the launcher closes");
  unload();
}

void Form1::emulatorStarting() {
  try {
    emulatorsBefore_ = OwnEmulatorProcesses(sys_);
  } catch (const Error &) {
    // Unknown: every emulator seen later counts as this run's.
    emulatorsBefore_.clear();
  }
  emulatorWindowShown_ = false;
  windowlessTicks_ = 0;
}

bool Form1::thisRunsEmulatorAlive() {
  try {
    for (const std::uint32_t pid : OwnEmulatorProcesses(sys_))
      if (std::find(emulatorsBefore_.begin(), emulatorsBefore_.end(), pid) ==
          emulatorsBefore_.end())
        return true;
  } catch (const Error &) {
    // Unknown: as if none ran, which ends the game as before.
  }
  return false;
}

// Back to how it was before START: the choices shown, the display as it
// was, and the next START a first one.
void Form1::reminderDismissed(bool displaySwitched) {
  if (closing_)
    return;
  Label3.setVisible(false);
  Label2.setVisible(true);
  Command4.setVisible(true);
  Option1.setVisible(true);
  Option2.setVisible(true);
  List1.setVisible(true);
  List2.setVisible(true);
  if (displaySwitched)
    restoreDesktop();
}

} // namespace pexor
