#pragma once

#include "system/System.h"

namespace pexor {

void LeftClick1(System &sys); // pixel (100, 100)
void LeftClick2(System &sys); // pixel (150, 100)

} // namespace pexor
