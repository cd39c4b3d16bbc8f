#include "launcher/InstallCopy.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

namespace pexor {

namespace {

std::string lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  });
  return s;
}

void copyInto(Port &port, const std::string &from, const std::string &to,
              std::optional<Error> &firstError) {
  const std::vector<FolderEntry> source = port.listFolder(from);
  std::unordered_map<std::string, FolderEntry> present;
  if (port.folderExists(to)) {
    for (FolderEntry &entry : port.listFolder(to))
      present.emplace(lower(entry.name), std::move(entry));
  } else {
    port.createFolder(to);
  }
  for (const FolderEntry &entry : source) {
    const std::string src = from + "\\" + entry.name;
    const std::string dst = to + "\\" + entry.name;
    try {
      if (entry.isFolder) {
        copyInto(port, src, dst, firstError);
        continue;
      }
      const auto it = present.find(lower(entry.name));
      if (it != present.end() && !it->second.isFolder && it->second.size == entry.size &&
          it->second.lastWrite == entry.lastWrite)
        continue;
      port.copyFile(src, dst);
    } catch (const Error &e) {
      if (!firstError)
        firstError = e;
    }
  }
}

} // namespace

void copyFolderContents(Port &port, const std::string &from, const std::string &to) {
  std::optional<Error> firstError;
  copyInto(port, from, to, firstError);
  if (firstError)
    throw *firstError;
}

} // namespace pexor
