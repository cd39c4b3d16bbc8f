#pragma once

#include "forms/Form.h"
#include "guidance/LauncherLink.h"
#include "system/System.h"

namespace pexor {

class Form3 : public forms::Form {
public:
  Form3(forms::Application &app, System &sys, LauncherLink &launcher);

private:
  System &sys_;
  LauncherLink &launcher_;
};

} // namespace pexor
