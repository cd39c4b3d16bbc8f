#include "launcher/Launcher.h"

namespace pexor {

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

void Launcher::start() {
  app_.dispatch([this] { form1_.show(); });
}

} // namespace pexor
