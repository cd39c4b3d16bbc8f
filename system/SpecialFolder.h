#pragma once

#include "system/System.h"

#include <cstdint>
#include <string>

namespace pexor {

inline constexpr std::int32_t CSIDL_PERSONAL_FOLDER = 5;

// The folder's path as the shell reports it, or "".
std::string GetSpecialFolderPath(System &sys, std::int32_t folder);

} // namespace pexor
