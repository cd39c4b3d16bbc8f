#include "resources/Form1Design.h"

#include "resources/Design.h"

namespace pexor::design {

namespace {

constexpr Colour Peach = 0x0080C0FF;  // red 255, green 192, blue 128
constexpr Colour Orange = 0x000080FF; // red 255, green 128, blue 0

Form1Design make() {
  using K = ControlKind;
  const auto &t = resources::text;
  Form1Design d;
  d.form.name = "Form1";
  d.form.caption = t("Form1.Caption");
  d.form.clientWidth = 4800;
  d.form.clientHeight = 1830;
  d.form.backColor = Peach;

  d.List1 = control(K::ListBox, "List1", 120, 120, 975, 1620);
  d.List1.backColor = Peach;
  d.List2 = control(K::ListBox, "List2", 3720, 120, 975, 1620);
  d.List2.backColor = Peach;
  d.Option1 = control(K::OptionButton, "Option1", 1440, 240, 2055, 255);
  d.Option1.text = t("Form1.Option1");
  d.Option1.backColor = Peach;
  d.Option2 = control(K::OptionButton, "Option2", 1440, 1080, 2055, 255);
  d.Option2.text = t("Form1.Option2");
  d.Option2.backColor = Peach;
  d.Image1 = control(K::Image, "Image1", 1125, 600, 2550, 360);
  d.Image1.picture = "START";
  for (ControlView *label : {&d.Label2, &d.Label3}) {
    const bool second = label == &d.Label3;
    *label = control(K::Label, second ? "Label3" : "Label2", 1125, 645, 2535, 375);
    label->text = t(second ? "Form1.Label3" : "Form1.Label2");
    label->foreColor = White;
    label->transparent = true;
    label->font = boldCyrillic();
  }
  d.Command4 = control(K::Button, "Command4", 1560, 1440, 1455, 255);
  d.Command4.text = t("Form1.Command4");
  d.Command4.graphical = true;
  d.Command4.backColor = Orange;
  d.Text1 = control(K::TextBox, "Text1", 120, 2400, 975, 495);
  d.Text1.text = t("Form1.Text1");
  d.Text1.backColor = WindowBackground;
  d.Command3 = control(K::Button, "Command3", 1560, 2760, 1095, 375);
  d.Command3.text = t("Form1.Command3");
  d.Command1 = control(K::Button, "Command1", 4800, 720, 1455, 615);
  d.Command1.text = t("Form1.Command1");
  d.Command2 = control(K::Button, "Command2", 6480, 720, 1335, 615);
  d.Command2.text = t("Form1.Command2");
  d.Label1 = control(K::Label, "Label1", 8400, 240, 1095, 375);
  d.Label1.text = t("Form1.Label1");
  d.Label1.backColor = Peach;
  return d;
}

} // namespace

const Form1Design &form1() {
  static const Form1Design design = make();
  return design;
}

} // namespace pexor::design
