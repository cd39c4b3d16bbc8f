#pragma once

#include "platform/Windowing.h"

namespace pexor::design {

// Controls in z-order, bottom first: a later control lies above an earlier one.
struct Form1Design {
  FormView form;
  ControlView List1, List2, Option1, Option2, Image1, Label3, Label2, Command4, Text1, Command3,
      Command1, Command2, Label1;
};

const Form1Design &form1();

} // namespace pexor::design
