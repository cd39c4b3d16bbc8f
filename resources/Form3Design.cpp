#include "resources/Form3Design.h"

#include "resources/Design.h"

namespace pexor::design {

namespace {

ControlView keyRecord(const char *name, const char *key, float left) {
  ControlView v = control(ControlKind::Label, name, left, 480, 855, 375);
  v.text = resources::text(key);
  v.visible = false;
  return v;
}

Form3Design make() {
  using K = ControlKind;
  const auto &t = resources::text;
  Form3Design d;
  d.form.name = "Form3";
  d.form.caption = t("Form3.Caption");
  d.form.clientWidth = 8310;
  d.form.clientHeight = 5220;
  d.form.borderless = true;
  d.form.backColor = Black;
  d.form.showInTaskbar = false;
  // Its own clicks beside the emulator must not take the keyboard from it:
  // Alt+Enter typed then would reach the emulator without its Alt.
  d.form.activates = false;

  d.Label100 = keyRecord("Label100", "Form3.Label100", 4920);
  d.Label200 = keyRecord("Label200", "Form3.Label200", 6000);
  d.Frame1 = control(K::Frame, "Frame1", 1200, 2040, 6255, 2415);
  d.Frame1.text = t("Form3.Frame1");
  d.Frame1.backColor = DarkGrey;
  d.Shape1 = control(K::Shape, "Shape1", 360, 240, 5895, 1935);
  d.Shape1.foreColor = Silver;
  d.Shape1.transparent = true;
  d.Label1 = whiteLabel("Label1", "Form3.Label1", 600, 840, 5415);
  d.Label2 = whiteLabel("Label2", "Form3.Label2", 840, 1440, 5100);
  return d;
}

} // namespace

const Form3Design &form3() {
  static const Form3Design design = make();
  return design;
}

} // namespace pexor::design
