#pragma once

#include "forms/Form.h"

namespace pexor {

// The window covers the whole screen from its top-left corner.
void MakeFullScreen(forms::Form &window);

} // namespace pexor
