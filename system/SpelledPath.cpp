#include "system/SpelledPath.h"

namespace pexor {

std::string spelledPath(Port &port, const std::string &path) {
  if (port.ansiCodePageHolds(path))
    return path;
  const std::string shortForm = port.shortPathName(path);
  return !shortForm.empty() && port.ansiCodePageHolds(shortForm) ? shortForm : path;
}

} // namespace pexor
