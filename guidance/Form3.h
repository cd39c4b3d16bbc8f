#pragma once

#include "forms/Form.h"
#include "guidance/LauncherLink.h"
#include "platform/KeyWatcher.h"
#include "system/System.h"

namespace pexor {

// The mandatory-action window: black, the size of the game screen. It
// brings the emulator's window back, keeps it in the foreground and waits
// for Alt+Enter (closes itself 2 s later) or Esc (closes the launcher).
class Form3 : public forms::Form {
public:
  Form3(forms::Application &app, System &sys, LauncherLink &launcher);

  // Controls, in z-order, bottom first; Frame1 holds Shape1, Label1, Label2.
  forms::Label Label100; // left Alt down since the sample before: "164", else "1000"
  forms::Label Label200; // highest of Enter to Esc seen, else "1000"
  forms::Frame Frame1;
  forms::Shape Shape1;
  forms::Label Label1;
  forms::Label Label2;
  forms::Timer Timer1; // one-shot: place the emulator's window
  forms::Timer Timer2; // the emulator's window to the foreground
  forms::Timer Timer3; // keyboard sampling
  forms::Timer Timer4; // one-shot: close after Alt+Enter

protected:
  void Form_Load() override;
  void Form_DpiChanged() override;

private:
  void coverGameScreen();
  double gameTwips(std::int32_t pixels);
  void Timer1_Timer();
  void Timer2_Timer();
  void Timer3_Timer();
  void Timer4_Timer();
  void traceSample(const KeyReport &leftAlt);

  System &sys_;
  LauncherLink &launcher_;
  KeyWatcher keys_; // presses count from this opening on
  bool leftAltHeldAtLastSample_ = false;
  int lastForwardOutcome_ = -1; // of Timer2's show and bring forward, for the trace
};

} // namespace pexor
