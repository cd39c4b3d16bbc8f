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

  // Creates Form1 (its Form_Load installs) and shows it.
  void start();

  forms::Application &app() { return app_; }
  System &sys() { return sys_; }
  Form1 *form1() const { return form1_.get(); }
  Form2 *form2() const { return form2_.get(); }
  Form3 *form3() const { return form3_.get(); }

private:
  System sys_;
  forms::Application app_;
  forms::FormSlot<Form2> form2_;
  forms::FormSlot<Form3> form3_;
  forms::FormSlot<Form1> form1_;
};

} // namespace pexor
