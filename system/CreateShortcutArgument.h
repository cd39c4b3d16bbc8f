#pragma once

#include "system/System.h"

#include <cstdint>
#include <string>

namespace pexor {

// Writes folder + name + ".lnk" for a bare target path; raises on failure.
void MakeShortcut(System &sys, const std::string &target, const std::string &folder,
                  const std::string &name, const std::string &arguments,
                  const std::string &workingDirectory, ShowCommand windowStyle,
                  std::int16_t iconIndex);

} // namespace pexor
