#include "launcher/Form1.h"

#include "resources/Form1Design.h"

namespace pexor {

Form1::Form1(forms::Application &app, System &sys, forms::FormSlot<Form2> &form2,
             forms::FormSlot<Form3> &form3)
    : forms::Form(app, design::form1().form), List1(*this, design::form1().List1),
      List2(*this, design::form1().List2), Option1(*this, design::form1().Option1),
      Option2(*this, design::form1().Option2), Image1(*this, design::form1().Image1),
      Label3(*this, design::form1().Label3), Label2(*this, design::form1().Label2),
      Command4(*this, design::form1().Command4), Text1(*this, design::form1().Text1),
      Command3(*this, design::form1().Command3), Command1(*this, design::form1().Command1),
      Command2(*this, design::form1().Command2), Label1(*this, design::form1().Label1),
      Timer1(*this, 50, true), Timer2(*this, 1500, false), Timer3(*this, 1000, false),
      Timer5(*this, 1000, false), config(app.port(), Text1), sys_(sys), form2_(form2),
      form3_(form3), keys_(sys.port), shortcutTimer_(*this, 10, false) {
  Label2.Click = [this] { Label2_Click(); };
  Label3.Click = [this] { Label3_Click(); };
  Command1.Click = [this] { Command1_Click(); };
  Command2.Click = [this] { Command2_Click(); };
  Command3.Click = [this] { Command3_Click(); };
  Command4.Click = [this] { Command4_Click(); };
  List1.MouseUp = [this] { List1_MouseUp(); };
  List2.Click = [this] { List2_Click(); };
  Option1.Click = [this] { Option1_Click(); };
  Option2.Click = [this] { Option2_Click(); };
  Timer1.Tick = [this] { Timer1_Timer(); };
  Timer2.Tick = [this] { Timer2_Timer(); };
  Timer3.Tick = [this] { Timer3_Timer(); };
  Timer5.Tick = [this] { Timer5_Timer(); };
  shortcutTimer_.Tick = [this] { makeStartShortcut(); };
  traceStartUp(); // the window every start waits for
}

} // namespace pexor
