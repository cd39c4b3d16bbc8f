#include "guidance/Form2.h"

#include "guidance/InFrame.h"
#include "guidance/LaunchProblem.h"
#include "resources/Form2Design.h"
#include "system/CreateShortcutArgument.h"
#include "system/Emulator.h"
#include "system/InstalledCopy.h"
#include "system/MODFullscren.h"
#include "system/ResolutionMod.h"
#include "system/UpravlenieWindow.h"

#include <string>
#include <string_view>

namespace pexor {

namespace {

bool startsCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }

// The last n characters of a UTF-8 text, or all of it when it is shorter.
std::string_view rightChars(std::string_view s, size_t n) {
  size_t pos = s.size();
  while (n > 0 && pos > 0) {
    --pos;
    if (startsCharacter(s[pos]))
      --n;
  }
  return s.substr(pos);
}

// The first n characters of a UTF-8 text, or all of it when it is shorter.
std::string_view leftChars(std::string_view s, size_t n) {
  size_t pos = 0;
  while (pos < s.size()) {
    if (startsCharacter(s[pos])) {
      if (n == 0)
        break;
      --n;
    }
    ++pos;
  }
  return s.substr(0, pos);
}

constexpr std::string_view GameFile = "Pexor.exe";

} // namespace

Form2::Form2(forms::Application &app, System &sys, LauncherLink &launcher)
    : forms::Form(app, design::form2().form), Frame1(*this, design::form2().Frame1),
      Shape1(*this, inFrame(design::form2().Shape1, Frame1)),
      Label4(*this, inFrame(design::form2().Label4, Frame1)),
      Label1(*this, inFrame(design::form2().Label1, Frame1)),
      Label2(*this, inFrame(design::form2().Label2, Frame1)),
      Label3(*this, inFrame(design::form2().Label3, Frame1)),
      Command1(*this, inFrame(design::form2().Command1, Frame1)), Timer2(*this, 1500, true),
      Timer1(*this, 500, false), sys_(sys), launcher_(launcher) {
  Command1.Click = [this] { Command1_Click(); };
  Timer2.Tick = [this] { Timer2_Timer(); };
  Timer1.Tick = [this] { Timer1_Timer(); };
}

void Form2::Form_Load() {
  MakeTopmost(sys_, hWnd());
  coverScreen();
}

// At a new scale the screen has other twips: cover it and centre again.
void Form2::Form_DpiChanged() { coverScreen(); }

void Form2::coverScreen() {
  MakeFullScreen(*this);
  Frame1.setLeft(screenWidth() / 2 - Frame1.width() / 2);
  Frame1.setTop(screenHeight() / 2 - Frame1.height() / 2);
}

void Form2::Timer2_Timer() {
  Timer2.setEnabled(false);
  // pathGame ends with its closing quote: the nine characters before it are
  // the end of the file name.
  const std::string_view tail = leftChars(rightChars(sys_.pathGame, 10), 9);
  if (tail == GameFile || launcher_.launcherCaption() == GameFile)
    Label1.setVisible(true);
}

void Form2::Command1_Click() {
  sys_.port.trace("OK: the game's display mode");
  ChangeResolution(sys_, static_cast<float>(launcher_.gameWidth()),
                   static_cast<float>(launcher_.gameHeight()));
  displaySwitched_ = true;
  Timer1.setEnabled(true);
}

// Closed any other way than by its launch (Alt+F4, the close request, the
// launcher's shutdown): the launcher decides what that undoes.
void Form2::Form_Unload() {
  if (!launching_)
    launcher_.reminderDismissed(displaySwitched_);
}

// The window goes first; the runtime keeps this object alive until the
// handler has returned, so the launch below still reads its members.
// What stops the launch foreseeably is told in the user's words; anything
// else goes to the runtime's error box.
void Form2::Timer1_Timer() {
  launching_ = true;
  unload();
  if (const auto problem = launchProblem(sys_))
    return launcher_.launchFailed(*problem);
  bool running = false;
  try {
    MakeShortcut(sys_, InstalledCopy::bare(sys_.pathEmulator), sys_.pathInstall,
                 emulator::ShortcutName, emulator::Arguments(sys_.pathGame, sys_.pathConf), "",
                 ShowCommand::ShowNormal, 0);
    running = true;
    launcher_.emulatorStarting();
    sys_.port.shellRun(InstalledCopy(sys_).shortcut(), "");
    sys_.port.trace("launch: the start shortcut runs");
  } catch (const Error &e) {
    if (const auto told = launchFailure(sys_, e, running))
      return launcher_.launchFailed(*told);
    throw;
  }
  launcher_.lookUpEmulatorWindow();
  launcher_.watchForGameOver();
}

} // namespace pexor
