#pragma once

#include "forms/Application.h"
#include "forms/Form.h"
#include "tests/sim/SimDesktop.h"

#include <memory>
#include <string>
#include <vector>

namespace pexor::probe {

inline ControlView view(ControlKind kind, const std::string &name, int parent = -1) {
  ControlView v;
  v.kind = kind;
  v.name = name;
  v.parent = parent;
  return v;
}

inline FormView design(bool borderless) {
  FormView v;
  v.name = "Probe";
  v.caption = "Probe";
  v.clientWidth = 4800;
  v.clientHeight = 1830;
  v.borderless = borderless;
  return v;
}

// A small form to drive the window backend of the simulated desktop: a
// button, a list, a frame holding a label, and two timers. Every event it
// hears goes to `log`.
class ProbeForm : public forms::Form {
public:
  explicit ProbeForm(forms::Application &app, bool borderless = false)
      : Form(app, design(borderless)), Command1(*this, view(ControlKind::Button, "Command1")),
        List1(*this, view(ControlKind::ListBox, "List1")),
        Frame1(*this, view(ControlKind::Frame, "Frame1")),
        Label1(*this, view(ControlKind::Label, "Label1", 3)), Timer1(*this, 100, false),
        Timer2(*this, 100, false) {
    Command1.Click = [this] { log.emplace_back("Command1_Click"); };
    Label1.Click = [this] { log.emplace_back("Label1_Click"); };
    List1.Click = [this] { log.push_back("List1_Click " + std::to_string(List1.listIndex())); };
    List1.MouseUp = [this] { log.emplace_back("List1_MouseUp"); };
    Timer1.Tick = [this] { log.push_back("Timer1 " + std::to_string(port().screenWidthPixels())); };
    Timer2.Tick = [this] { log.emplace_back("Timer2"); };
    List1.addItem("a");
    List1.addItem("b");
    List1.addItem("c");
  }

  forms::CommandButton Command1;
  forms::ListBox List1;
  forms::Frame Frame1;
  forms::Label Label1;
  forms::Timer Timer1;
  forms::Timer Timer2;
  std::vector<std::string> log;
  int resizes = 0;
  int unloads = 0;

protected:
  void Form_Resize() override { ++resizes; }
  void Form_Unload() override { ++unloads; }
};

// The runtime and one probe form over a fresh simulated desktop.
struct ProbeWorld {
  sim::SimDesktop desk;
  forms::Application app{desk};
  forms::FormSlot<ProbeForm> slot{app, [this] { return std::make_unique<ProbeForm>(app); }};

  ProbeForm &load() { return slot.load(); }
  ProbeForm &show() {
    app.dispatch([this] { slot.show(); });
    return *slot.get();
  }
};

} // namespace pexor::probe
