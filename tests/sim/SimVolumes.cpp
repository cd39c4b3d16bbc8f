#include "tests/sim/Folding.h"
#include "tests/sim/SimDesktop.h"

#include <string_view>

namespace pexor::sim {

namespace {

constexpr std::int64_t TwoSeconds = 20000000; // file time units of 100 ns
constexpr std::int64_t TenMilliseconds = 100000;

bool startsWithNoCase(std::string_view text, std::string_view start) {
  return text.size() >= start.size() && sameText(text.substr(0, start.size()), start);
}

} // namespace

void SimDesktop::setVolume(const std::string &root, const std::string &fileSystem) {
  addFolder(root);
  volumes_.push_back(Volume{fold(resolve(root)), fileSystem});
}

const SimDesktop::Volume *SimDesktop::volumeOf(const std::string &canonical) const {
  const std::string path = fold(canonical);
  const Volume *found = nullptr;
  for (const Volume &volume : volumes_)
    if ((path == volume.root || path.rfind(volume.root + "\\", 0) == 0) &&
        (found == nullptr || volume.root.size() > found->root.size()))
      found = &volume;
  return found;
}

std::int64_t SimDesktop::keptTime(const std::string &canonical, std::int64_t fileTime) const {
  const Volume *volume = volumeOf(canonical);
  const std::string fileSystem = volume == nullptr ? "NTFS" : volume->fileSystem;
  const std::int64_t unit = startsWithNoCase(fileSystem, "FAT") ? TwoSeconds
                            : sameText(fileSystem, "exFAT")     ? TenMilliseconds
                                                                : 1;
  return (fileTime + unit - 1) / unit * unit;
}

std::string SimDesktop::fileSystemName(const std::string &path) {
  const std::string canonical = path.empty() ? std::string() : resolve(path);
  const std::string root =
      canonical.substr(0, canonical.find('\\', canonical.rfind("\\\\", 0) == 0 ? 2 : 0));
  if (root.empty() || !files_.contains(fold(root)))
    return std::string();
  const Volume *volume = volumeOf(canonical);
  return volume == nullptr ? "NTFS" : volume->fileSystem;
}

} // namespace pexor::sim
