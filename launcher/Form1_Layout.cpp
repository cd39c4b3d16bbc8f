#include "forms/Guarded.h"
#include "launcher/Form1.h"
#include "launcher/Guardian.h"
#include "system/OpenFile.h"
#include "system/ResolutionMod.h"
#include "system/Zatvariane.h"

namespace pexor {

// Keeps the window centred and never maximised.
void Form1::Form_Resize() {
  using forms::guardedStep;
  guardedStep([&] { setLeft(screenWidth() / 2 - width() / 2); });
  guardedStep([&] { setTop(screenHeight() / 2 - height() / 2); });
  guardedStep([&] {
    if (windowState() == WindowState::Maximized)
      setWindowState(WindowState::Normal);
  });
}

void Form1::Command3_Click() {
  guardDesktop();
  ChangeResolution(sys_, 1024, 768);
}

void Form1::Command4_Click() {
  try {
    ChooseFile(sys_);
  } catch (const Error &) {
    // A dialog that fails leaves the choice as it was.
    return;
  }
  forms::guardedStep([&] {
    const size_t slash = sys_.chosenFile.rfind('\\');
    if (slash == std::string::npos)
      throw Error(err::InvalidProcedureCall, "Invalid procedure call or argument");
    setCaption(sys_.chosenFile.substr(slash + 1));
  });
}

void Form1::List1_MouseUp() { ZapisResol(); }

void Form1::Form_Unload() { shutdown(); }

// Whatever fails on the way, the display still goes back.
void Form1::shutdown() {
  using forms::guardedStep;
  closing_ = true;
  guardedStep([&] { CloseAllEmulators(sys_); });
  guardedStep([&] { form2_.unload(); });
  guardedStep([&] { form3_.unload(); });
  restoreDesktop();
  sys_.port.releaseGuardian(); // the desktop is whole again
}

// From here on the launcher may leave the display switched and an emulator
// running: its guardian puts them back should it end without doing so (ended
// from outside, a crash), and the emulators end with the program's last
// process whatever ends it. Nothing is started before, so start-up pays
// nothing.
void Form1::guardDesktop() {
  Port &port = sys_.port;
  port.tieLaunchesToProgram();
  GuardianWork work{desktopWidth,
                    desktopHeight,
                    0,
                    0,
                    sys_.pathDocuments,
                    InstalledCopy::bare(sys_.pathEmulator)};
  if (desktopModeRead) {
    work.bits = desktopMode.dmBitsPerPel;
    work.hertz = desktopMode.dmDisplayFrequency;
  }
  port.startGuardian(guardianProgram(port, InstalledCopy(sys_).install()), guardianOrders(work));
}

void Form1::restoreDesktop() {
  RestoreDesktop(sys_, desktopMode, desktopModeRead, desktopWidth, desktopHeight);
}

} // namespace pexor
