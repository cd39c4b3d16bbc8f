#pragma once

#include "system/System.h"

namespace pexor {

void MakeTopmost(System &sys, Hwnd hwnd);

} // namespace pexor
