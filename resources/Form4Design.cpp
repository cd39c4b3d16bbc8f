#include "resources/Form4Design.h"

#include "resources/Design.h"

namespace pexor::design {

namespace {

// The system's selection colour, as a progress bar is filled.
constexpr Colour Highlight = 0x8000000D;

Form4Design make() {
  using K = ControlKind;
  const auto &t = resources::text;
  Form4Design d;
  d.form.name = "Form4";
  d.form.caption = t("Form4.Caption");
  d.form.clientWidth = 6600;
  d.form.clientHeight = 2280;
  // Never active: when it closes, the activation it would hand on goes to
  // no other program, and Form1 comes up in front.
  d.form.activates = false;

  d.Label1 = control(K::Label, "Label1", 240, 180, 6120, 255);
  d.Label1.text = t("Form4.Label1");
  d.Label2 = control(K::Label, "Label2", 240, 480, 6120, 660); // three lines for a long path
  d.Shape2 = control(K::Shape, "Shape2", 240, 1260, 0, 300);
  d.Shape2.foreColor = Highlight;
  d.Shape2.backColor = Highlight;
  d.Shape2.visible = false;
  d.Shape1 = control(K::Shape, "Shape1", 240, 1260, 6120, 300);
  d.Shape1.foreColor = Grey;
  d.Shape1.transparent = true;
  d.Label3 = control(K::Label, "Label3", 240, 1740, 6120, 255);
  return d;
}

} // namespace

const Form4Design &form4() {
  static const Form4Design design = make();
  return design;
}

} // namespace pexor::design
