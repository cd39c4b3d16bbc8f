#pragma once

#include "platform/Windowing.h"

namespace pexor::design {

// Controls in z-order, bottom first: the bar's fill lies below its outline.
struct Form4Design {
  FormView form;
  ControlView Label1, Label2, Shape2, Shape1, Label3;
};

const Form4Design &form4();

} // namespace pexor::design
