#pragma once

#include "forms/Application.h"
#include "forms/Form.h"
#include "guidance/Form2.h"
#include "guidance/Form3.h"
#include "launcher/Form1.h"
#include "system/System.h"

namespace pexor {

// The whole program over one port: shared variables, the window runtime and
// the three windows.
class Launcher {
public:
  explicit Launcher(Port &port);
  Launcher(const Launcher &) = delete;
  Launcher &operator=(const Launcher &) = delete;
  ~Launcher();

  // Creates Form1 (its Form_Load installs) and shows it. False when another
  // launcher of this user runs: it was asked to come to the front, and this
  // one ends without a window.
  bool start();

  forms::Application &app() { return app_; }
  System &sys() { return sys_; }
  Form1 *form1() const { return form1_.get(); }
  Form2 *form2() const { return form2_.get(); }
  Form3 *form3() const { return form3_.get(); }

private:
  // A later start: the window the user deals with now comes to the front.
  void bringForward();

  System sys_;
  forms::Application app_;
  forms::FormSlot<Form2> form2_;
  forms::FormSlot<Form3> form3_;
  forms::FormSlot<Form1> form1_;
  bool claimed_ = false; // this is the user's one launcher
};

} // namespace pexor
