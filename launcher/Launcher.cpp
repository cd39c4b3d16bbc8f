#include "launcher/Launcher.h"

namespace pexor {

namespace {
constexpr const char *InstanceName = "PexorLauncher";
}

Launcher::Launcher(Port &port)
    : sys_(port), app_(port),
      form2_(app_, [this] { return std::make_unique<Form2>(app_, sys_, *form1_.get()); }),
      form3_(app_, [this] { return std::make_unique<Form3>(app_, sys_, *form1_.get()); }),
      form1_(app_, [this] { return std::make_unique<Form1>(app_, sys_, form2_, form3_); }) {
  app_.setFatalCleanup([this] {
    if (Form1 *form = form1_.get())
      form->shutdown();
  });
}

Launcher::~Launcher() {
  if (claimed_)
    sys_.port.releaseInstance(InstanceName);
}

bool Launcher::start() {
  Port &port = sys_.port;
  claimed_ =
      port.claimInstance(InstanceName, [this] { app_.dispatch([this] { bringForward(); }); });
  if (!claimed_) {
    port.comeForward(InstanceName);
    return false;
  }
  app_.dispatch([this] { form1_.show(); });
  return true;
}

void Launcher::bringForward() {
  Port &port = sys_.port;
  if (const Form3 *form = form3_.get()) {
    port.setForegroundWindow(form->hWnd());
  } else if (const Form2 *form = form2_.get()) {
    port.setForegroundWindow(form->hWnd());
  } else if (Form1 *form = form1_.get()) {
    form->setVisible(true);
    if (form->windowState() == WindowState::Minimized)
      form->setWindowState(WindowState::Normal);
    port.setForegroundWindow(form->hWnd());
  }
}

} // namespace pexor
