#pragma once

#include "platform/Port.h"

#include <optional>
#include <string>

namespace pexor {

// The first file (or folder) that could not be installed, and why.
struct CopyFailure {
  std::string path;
  Error error;
};

// Copies the contents of a folder into another, sub-folders included,
// replacing files of the same name, each whole or not at all. A file already
// there with the same size and last-write time is left as it is. A file that
// cannot be copied does not stop the others; the first such failure is
// returned. A missing source fails before anything is copied.
std::optional<CopyFailure> copyFolderContents(Port &port, const std::string &from,
                                              const std::string &to);

} // namespace pexor
