#pragma once

#include "platform/Windowing.h"

namespace pexor::design {

// Controls in z-order, bottom first. Shape1, Label1 and Label2 lie inside
// Frame1, at positions relative to its top-left corner; the two key records
// lie on the window and are never shown.
struct Form3Design {
  FormView form;
  ControlView Label100, Label200, Frame1, Shape1, Label1, Label2;
};

const Form3Design &form3();

} // namespace pexor::design
