#include "resources/Form2Design.h"

#include "resources/Design.h"

namespace pexor::design {

namespace {

Form2Design make() {
  using K = ControlKind;
  const auto &t = resources::text;
  Form2Design d;
  d.form.name = "Form2";
  d.form.caption = t("Form2.Caption");
  d.form.clientWidth = 9735;
  d.form.clientHeight = 7185;
  d.form.borderless = true;
  d.form.backColor = Black;
  d.form.showInTaskbar = false;

  d.Frame1 = control(K::Frame, "Frame1", 1440, 3360, 6975, 3135);
  d.Frame1.text = t("Form2.Frame1");
  d.Frame1.backColor = DarkGrey;
  // An outline only: the labels above it draw straight on the panel.
  d.Shape1 = control(K::Shape, "Shape1", 360, 480, 6255, 2415);
  d.Shape1.foreColor = Silver;
  d.Shape1.transparent = true;
  d.Label4 = control(K::Label, "Label4", 350, 120, 6280, 375);
  d.Label4.text = t("Form2.Label4");
  d.Label4.foreColor = Red;
  d.Label4.backColor = ButtonFace;
  d.Label4.font = boldCyrillic();
  d.Label1 = whiteLabel("Label1", "Form2.Label1", 1680, 840, 3345);
  d.Label1.visible = false;
  d.Label2 = whiteLabel("Label2", "Form2.Label2", 840, 1320, 4980);
  d.Label3 = whiteLabel("Label3", "Form2.Label3", 1440, 1920, 3630);
  d.Command1 = control(K::Button, "Command1", 2280, 2400, 2175, 255);
  d.Command1.text = t("Form2.Command1");
  d.Command1.backColor = Grey;
  return d;
}

} // namespace

const Form2Design &form2() {
  static const Form2Design design = make();
  return design;
}

} // namespace pexor::design
