#include "tests/sim/CodePages.h"
#include "tests/sim/Folding.h"
#include "tests/sim/SimDesktop.h"

#include <cstdio>
#include <string_view>

namespace pexor::sim {

namespace {

constexpr std::int64_t TwoSeconds = 20000000; // file time units of 100 ns
constexpr std::int64_t TenMilliseconds = 100000;

bool startsWithNoCase(std::string_view text, std::string_view start) {
  return text.size() >= start.size() && sameText(text.substr(0, start.size()), start);
}

// A character a short name may hold as it is.
bool shortNameCharacter(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b > 0x20 && b < 0x7F &&
         std::string_view("\"*+,./:;<=>?[\\]|").find(c) == std::string_view::npos;
}

// A name that is a short name already: at most eight and three characters
// of the short names' own, one dot between.
bool isShortName(std::string_view name) {
  const std::size_t dot = name.find('.');
  const std::string_view base = name.substr(0, dot);
  const std::string_view ext =
      dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || ext.size() > 3 ||
      (dot != std::string_view::npos && ext.empty()))
    return false;
  for (const std::string_view part : {base, ext})
    for (const char c : part)
      if (!shortNameCharacter(c))
        return false;
  return true;
}

std::string upperShort(std::string_view text, std::size_t most) {
  std::string out;
  for (const char c : text) {
    if (out.size() == most)
      break;
    if (shortNameCharacter(c))
      out += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  }
  return out;
}

// What a long name's short name is made of before its number: up to six of
// its characters (four of a hash of it when it has none a short name
// holds), and up to three of its extension.
std::pair<std::string, std::string> stemOf(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  const std::string_view base =
      dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot);
  const std::string_view ext =
      base.size() == name.size() ? std::string_view() : name.substr(dot + 1);
  std::string stem = upperShort(base, 6);
  if (stem.empty()) {
    std::uint16_t hash = 0xBEEF;
    for (const char c : fold(name))
      hash = static_cast<std::uint16_t>((hash << 3) ^ (hash >> 5) ^ static_cast<unsigned char>(c));
    char hex[5];
    std::snprintf(hex, sizeof hex, "%04X", hash);
    stem = hex;
  }
  return {stem, upperShort(ext, 3)};
}

} // namespace

void SimDesktop::setVolume(const std::string &root, const std::string &fileSystem,
                           bool shortNames) {
  addFolder(root);
  volumes_.push_back(Volume{fold(resolve(root)), fileSystem, shortNames});
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

std::string SimDesktop::shortNameOf(const std::string &folder, const std::string &name) const {
  if (isShortName(name))
    return name;
  const Volume *volume = volumeOf(folder + "\\" + name);
  if (volume != nullptr && !volume->shortNames)
    return std::string();
  // Numbered in name order among the neighbours of the same stem.
  const auto stem = stemOf(name);
  int number = 1;
  const std::string prefix = fold(folder) + "\\";
  for (auto it = files_.lower_bound(prefix); it != files_.end() && it->first.rfind(prefix, 0) == 0;
       ++it) {
    const std::string_view child = std::string_view(it->first).substr(prefix.size());
    if (child.find('\\') != std::string_view::npos)
      continue;
    if (child == fold(name))
      break;
    if (!isShortName(child) && stemOf(child) == stem)
      ++number;
  }
  std::string shortName = stem.first + "~" + std::to_string(number);
  if (!stem.second.empty())
    shortName += "." + stem.second;
  return shortName;
}

std::string SimDesktop::childNamed(const std::string &folder, const std::string &name) const {
  const std::string prefix = fold(folder) + "\\";
  for (auto it = files_.lower_bound(prefix); it != files_.end() && it->first.rfind(prefix, 0) == 0;
       ++it) {
    if (it->first.find('\\', prefix.size()) != std::string::npos)
      continue;
    const std::string child = it->second.path.substr(it->second.path.rfind('\\') + 1);
    if (sameText(child, name) || sameText(shortNameOf(folder, child), name))
      return child;
  }
  return std::string();
}

std::string SimDesktop::shortPathName(const std::string &path) {
  const FileNode *found = path.empty() ? nullptr : node(path);
  if (found == nullptr)
    return std::string();
  // Name by name from the root, each as its folder keeps it.
  const std::string &canonical = found->path;
  std::size_t end = canonical.find('\\', canonical.rfind("\\\\", 0) == 0 ? 2 : 0);
  std::string folder = canonical.substr(0, end);
  std::string shortPath = folder;
  while (end != std::string::npos) {
    const std::size_t next = canonical.find('\\', end + 1);
    const std::string name = canonical.substr(end + 1, next - end - 1);
    const std::string shortName = shortNameOf(folder, name);
    shortPath += "\\" + (shortName.empty() ? name : shortName);
    folder += "\\" + name;
    end = next;
  }
  return shortPath;
}

bool SimDesktop::ansiCodePageHolds(const std::string &text) {
  return codePageSpells(ansiCodePage_, text);
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
