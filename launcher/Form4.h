#pragma once

#include "forms/Form.h"
#include "launcher/InstallCopy.h"

#include <string>

namespace pexor {

// The installation's progress, while a long install copy runs: where the
// game goes and how far the copy is.
class Form4 : public forms::Form {
public:
  explicit Form4(forms::Application &app);

  // Controls, in z-order, bottom first.
  forms::Label Label1; // what is running
  forms::Label Label2; // the installed folder
  forms::Shape Shape2; // the bar, filled as far as the bytes are copied
  forms::Shape Shape1; // the bar's outline
  forms::Label Label3; // files and megabytes copied, of all

  void showProgress(const std::string &folder, const CopyProgress &progress);
};

} // namespace pexor
