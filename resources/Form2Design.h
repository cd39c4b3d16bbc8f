#pragma once

#include "platform/Windowing.h"

namespace pexor::design {

// Controls in z-order, bottom first. All but Frame1 lie inside Frame1, at
// positions relative to its top-left corner.
struct Form2Design {
  FormView form;
  ControlView Frame1, Shape1, Label4, Label1, Label2, Label3, Command1;
};

const Form2Design &form2();

} // namespace pexor::design
