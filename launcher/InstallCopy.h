#pragma once

#include "platform/Port.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace pexor {

// The first file (or folder) that could not be installed, and why.
struct CopyFailure {
  std::string path;
  Error error;
};

// How far a copy is: files and bytes dealt with (copied, found unchanged or
// failed) of all the source holds.
struct CopyProgress {
  std::uint64_t files = 0;
  std::uint64_t totalFiles = 0;
  std::uint64_t bytes = 0;
  std::uint64_t totalBytes = 0;
};

// Told after each file.
using CopyWatch = std::function<void(const CopyProgress &)>;

// Copies the contents of a folder into another, sub-folders included,
// replacing files of the same name, each whole or not at all. A file already
// there with the same size and last-write time is left as it is; where the
// target's drive keeps times to 2 s (FAT, exFAT), a time less than 2 s apart
// counts as the same. The copies are writable, whatever the source's
// read-only flags. A file that
// cannot be copied does not stop the others; the first such failure is
// returned. A missing source fails before anything is copied.
std::optional<CopyFailure> copyFolderContents(Port &port, const std::string &from,
                                              const std::string &to, const CopyWatch &watch = {});

} // namespace pexor
