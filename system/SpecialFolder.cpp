#include "system/SpecialFolder.h"

namespace pexor {

std::string GetSpecialFolderPath(System &sys, SpecialFolder folder) {
  std::string path = sys.port.specialFolderPath(folder);
  // The text ends at the first character 0, as a path buffer does.
  const std::size_t end = path.find('\0');
  if (end != std::string::npos)
    path.resize(end);
  return path;
}

} // namespace pexor
