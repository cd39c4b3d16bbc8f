#pragma once

#include "platform/Port.h"

#include <string>

namespace pexor {

// Copies the contents of a folder into another, sub-folders included,
// replacing files of the same name. A file already there with the same size
// and last-write time is left as it is. A file that cannot be copied does not
// stop the others; the first such error is raised at the end. A missing
// source raises before anything is copied.
void copyFolderContents(Port &port, const std::string &from, const std::string &to);

} // namespace pexor
