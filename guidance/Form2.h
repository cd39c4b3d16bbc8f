#pragma once

#include "forms/Form.h"
#include "guidance/LauncherLink.h"
#include "system/System.h"

namespace pexor {

// The hotkey reminder: black, full screen, topmost. "OK" switches to the
// game resolution; half a second later the window closes and the emulator
// is started through the start shortcut.
class Form2 : public forms::Form {
public:
  Form2(forms::Application &app, System &sys, LauncherLink &launcher);

  // Controls, in z-order, bottom first; Frame1 holds the others.
  forms::Frame Frame1;
  forms::Shape Shape1;
  forms::Label Label4;
  forms::Label Label1; // the logo hint
  forms::Label Label2;
  forms::Label Label3;
  forms::CommandButton Command1; // "OK"
  forms::Timer Timer2;           // one-shot: the logo hint
  forms::Timer Timer1;           // one-shot: close, write and run the shortcut

protected:
  void Form_Load() override;
  void Form_Unload() override;
  void Form_DpiChanged() override;

private:
  void coverScreen();
  void Timer2_Timer();
  void Command1_Click();
  void Timer1_Timer();

  System &sys_;
  LauncherLink &launcher_;
  bool displaySwitched_ = false; // "OK" was clicked
  bool launching_ = false;
};

} // namespace pexor
