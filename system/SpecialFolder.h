#pragma once

#include "system/System.h"

#include <string>

namespace pexor {

// The folder's path as the shell reports it, or "".
std::string GetSpecialFolderPath(System &sys, SpecialFolder folder);

} // namespace pexor
