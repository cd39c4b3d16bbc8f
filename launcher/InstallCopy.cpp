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
              std::optional<CopyFailure> &firstFailure) {
  const auto failed = [&](const std::string &path, const Error &e) {
    if (!firstFailure)
      firstFailure = CopyFailure{path, e};
  };
  std::vector<FolderEntry> source;
  try {
    source = port.listFolder(from);
  } catch (const Error &e) {
    return failed(from, e);
  }
  std::unordered_map<std::string, FolderEntry> present;
  try {
    if (port.folderExists(to)) {
      for (FolderEntry &entry : port.listFolder(to))
        present.emplace(lower(entry.name), std::move(entry));
    } else {
      port.createFolder(to);
    }
  } catch (const Error &e) {
    return failed(to, e);
  }
  for (const FolderEntry &entry : source) {
    const std::string src = from + "\\" + entry.name;
    const std::string dst = to + "\\" + entry.name;
    try {
      if (entry.isFolder) {
        copyInto(port, src, dst, firstFailure);
        continue;
      }
      const auto it = present.find(lower(entry.name));
      if (it != present.end() && !it->second.isFolder && it->second.size == entry.size &&
          it->second.lastWrite == entry.lastWrite)
        continue;
      port.copyFile(src, dst);
    } catch (const Error &e) {
      failed(dst, e);
    }
  }
}

} // namespace

std::optional<CopyFailure> copyFolderContents(Port &port, const std::string &from,
                                              const std::string &to) {
  std::optional<CopyFailure> firstFailure;
  copyInto(port, from, to, firstFailure);
  return firstFailure;
}

} // namespace pexor
