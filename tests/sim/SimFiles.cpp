#include "tests/sim/Folding.h"
#include "tests/sim/SimDesktop.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace pexor::sim {

namespace {

[[noreturn]] void fail(long number) {
  switch (number) {
  case err::FileNotFound:
    throw Error(number, "File not found");
  case 58:
    throw Error(number, "File already exists");
  case err::PermissionDenied:
    throw Error(number, "Permission denied");
  case err::PathFileAccess:
    throw Error(number, "Path/File access error");
  case err::DiskFull:
    throw Error(number, "Disk full");
  default:
    throw Error(err::PathNotFound, "Path not found");
  }
}

std::vector<std::string> split(const std::string &text) {
  std::vector<std::string> parts;
  std::string part;
  for (const char c : text) {
    if (c == '\\') {
      parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  parts.push_back(part);
  return parts;
}

} // namespace

std::string SimDesktop::resolve(const std::string &path) const {
  std::string p = path;
  std::replace(p.begin(), p.end(), '/', '\\');
  std::string root;
  std::string rest;
  if (p.size() >= 2 && p[1] == ':' && std::isalpha(static_cast<unsigned char>(p[0]))) {
    root = std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(p[0])))) + ":";
    rest = p.substr(2);
  } else if (p.rfind("\\\\", 0) == 0) {
    const std::size_t end = p.find('\\', 2);
    root = p.substr(0, end);
    rest = end == std::string::npos ? std::string() : p.substr(end);
  } else if (p.rfind('\\', 0) == 0) {
    root = "C:"; // the current drive
    rest = p;
  } else {
    return resolve(exeFolder_ + "\\" + p);
  }
  std::vector<std::string> kept;
  for (const std::string &part : split(rest)) {
    if (part.empty() || part == ".")
      continue;
    if (part == "..") {
      if (!kept.empty())
        kept.pop_back();
      continue;
    }
    kept.push_back(part);
  }
  // A name no entry has may be another's short name: the long one it stands for.
  std::string canonical = root;
  for (const std::string &part : kept) {
    std::string child = canonical;
    child += '\\';
    child += part;
    if (part.find('~') != std::string::npos && !files_.contains(fold(child)))
      if (const std::string named = childNamed(canonical, part); !named.empty())
        child.replace(canonical.size() + 1, std::string::npos, named);
    canonical = std::move(child);
  }
  return canonical;
}

std::string SimDesktop::parentOf(const std::string &canonical) {
  const std::size_t slash = canonical.rfind('\\');
  if (slash == std::string::npos || (canonical.rfind("\\\\", 0) == 0 && slash < 2))
    return std::string();
  return canonical.substr(0, slash);
}

SimDesktop::FileNode *SimDesktop::node(const std::string &path) {
  const auto it = files_.find(fold(resolve(path)));
  return it == files_.end() ? nullptr : &it->second;
}

const SimDesktop::FileNode *SimDesktop::node(const std::string &path) const {
  const auto it = files_.find(fold(resolve(path)));
  return it == files_.end() ? nullptr : &it->second;
}

SimDesktop::FileNode &SimDesktop::makeFolders(const std::string &canonical) {
  const std::string parent = parentOf(canonical);
  if (!parent.empty())
    makeFolders(parent);
  FileNode &folder = files_[fold(canonical)];
  if (folder.path.empty()) {
    folder.path = canonical;
    folder.folder = true;
  } else if (!folder.folder) {
    throw std::logic_error("a file stands where a folder is wanted: " + canonical);
  }
  return folder;
}

SimDesktop::FileNode &SimDesktop::writableFile(const std::string &path) {
  if (path.empty())
    fail(err::PathNotFound);
  const std::string canonical = resolve(path);
  const FileNode *parent = node(parentOf(canonical));
  if (parentOf(canonical).empty() || parent == nullptr || !parent->folder)
    fail(err::PathNotFound);
  FileNode &file = files_[fold(canonical)];
  if (file.path.empty()) {
    file.path = canonical;
  } else if (file.folder) {
    fail(err::PathFileAccess);
  } else if (file.readOnly || file.locked) {
    fail(err::PermissionDenied);
  }
  return file;
}

// ---- Test side --------------------------------------------------------------

void SimDesktop::addFile(const std::string &path, const std::string &bytes,
                         std::int64_t lastWrite) {
  const std::string canonical = resolve(path);
  makeFolders(parentOf(canonical));
  FileNode &file = files_[fold(canonical)];
  if (file.folder)
    throw std::logic_error("a folder stands where a file is wanted: " + canonical);
  file = FileNode{canonical, false, bytes, lastWrite, false, false, std::nullopt};
}

void SimDesktop::addFolder(const std::string &path) { makeFolders(resolve(path)); }

bool SimDesktop::fileExists(const std::string &path) const {
  const FileNode *file = node(path);
  return file != nullptr && !file->folder;
}

std::string SimDesktop::fileBytes(const std::string &path) const {
  const FileNode *file = node(path);
  if (file == nullptr || file->folder)
    throw std::out_of_range("no such file: " + path);
  return file->bytes;
}

std::int64_t SimDesktop::fileLastWrite(const std::string &path) const {
  const FileNode *file = node(path);
  if (file == nullptr || file->folder)
    throw std::out_of_range("no such file: " + path);
  return file->lastWrite;
}

void SimDesktop::setReadOnly(const std::string &path, bool readOnly) {
  if (FileNode *file = node(path))
    file->readOnly = readOnly;
  else
    throw std::out_of_range("no such file: " + path);
}

bool SimDesktop::readOnly(const std::string &path) const {
  const FileNode *file = node(path);
  if (file == nullptr || file->folder)
    throw std::out_of_range("no such file: " + path);
  return file->readOnly;
}

void SimDesktop::setLocked(const std::string &path, bool locked) {
  if (FileNode *file = node(path))
    file->locked = locked;
  else
    throw std::out_of_range("no such file: " + path);
}

void SimDesktop::removeFile(const std::string &path) {
  const auto it = files_.find(fold(resolve(path)));
  if (it != files_.end() && !it->second.folder)
    files_.erase(it);
}

void SimDesktop::removeFolder(const std::string &path) {
  const std::string key = fold(resolve(path));
  const std::string prefix = key + "\\";
  for (auto it = files_.begin(); it != files_.end();) {
    if (it->first == key || it->first.rfind(prefix, 0) == 0)
      it = files_.erase(it);
    else
      ++it;
  }
}

void SimDesktop::failCopyAfter(int n, long error) {
  copyBudget_ = n;
  copyError_ = error;
}

// ---- Port -------------------------------------------------------------------

bool SimDesktop::folderExists(const std::string &path) {
  if (path.empty())
    return false;
  const FileNode *folder = node(path);
  return folder != nullptr && folder->folder;
}

void SimDesktop::createFolder(const std::string &path) {
  if (path.empty())
    fail(err::PathNotFound);
  const std::string canonical = resolve(path);
  if (node(canonical) != nullptr)
    fail(58);
  const std::string parentPath = parentOf(canonical);
  const FileNode *parent = parentPath.empty() ? nullptr : node(parentPath);
  if (parent == nullptr || !parent->folder)
    fail(err::PathNotFound);
  FileNode &folder = files_[fold(canonical)];
  folder.path = canonical;
  folder.folder = true;
}

std::vector<FolderEntry> SimDesktop::listFolder(const std::string &path) {
  const FileNode *folder = path.empty() ? nullptr : node(path);
  if (folder == nullptr || !folder->folder)
    fail(err::PathNotFound);
  const std::string prefix = fold(folder->path) + "\\";
  std::vector<FolderEntry> entries;
  // The map is ordered by folded path, so children come sorted by name.
  for (auto it = files_.lower_bound(prefix); it != files_.end(); ++it) {
    if (it->first.rfind(prefix, 0) != 0)
      break;
    if (it->first.find('\\', prefix.size()) != std::string::npos)
      continue;
    const FileNode &child = it->second;
    entries.push_back(FolderEntry{child.path.substr(child.path.rfind('\\') + 1), child.folder,
                                  child.folder ? 0 : child.bytes.size(), child.lastWrite});
  }
  return entries;
}

void SimDesktop::copyFile(const std::string &from, const std::string &to) {
  ++copyAttempts_;
  const FileNode *source = from.empty() ? nullptr : node(from);
  if (source == nullptr || source->folder)
    fail(err::FileNotFound);
  if (source->locked)
    fail(err::PermissionDenied);
  const FileNode copy = *source;
  const std::string canonical = to.empty() ? std::string() : resolve(to);
  const FileNode *parent = canonical.empty() ? nullptr : node(parentOf(canonical));
  if (parentOf(canonical).empty() || parent == nullptr || !parent->folder)
    fail(err::PathNotFound);
  if (const FileNode *target = node(canonical)) {
    if (target->folder || target->readOnly || target->locked)
      fail(err::PermissionDenied);
  }
  if (copyBudget_ == 0)
    fail(copyError_);
  if (copyBudget_ > 0)
    --copyBudget_;
  FileNode &target = files_[fold(canonical)];
  const std::string name = target.path.empty() ? canonical : target.path;
  // The copy keeps the source's contents and time, as its volume keeps times;
  // a lock and the read-only flag are the source's own.
  target = copy;
  target.path = name;
  target.lastWrite = keptTime(name, copy.lastWrite);
  target.locked = false;
  target.readOnly = false;
  ++copies_;
  busy(copyTime_);
  if (whileCopying_)
    whileCopying_();
}

std::string SimDesktop::readFile(const std::string &path) {
  const FileNode *file = path.empty() ? nullptr : node(path);
  if (file == nullptr) {
    const std::string parentPath = path.empty() ? std::string() : parentOf(resolve(path));
    const FileNode *parent = parentPath.empty() ? nullptr : node(parentPath);
    fail(parent != nullptr && parent->folder ? err::FileNotFound : err::PathNotFound);
  }
  if (file->folder)
    fail(err::PathFileAccess);
  if (file->locked)
    fail(err::PermissionDenied);
  return file->bytes;
}

void SimDesktop::replaceFile(const std::string &path, const std::string &bytes) {
  FileNode &file = writableFile(path);
  file.bytes = bytes;
  file.lastWrite = keptTime(file.path, FileTimeEpoch + now_ * 10000);
  file.shortcut.reset();
}

} // namespace pexor::sim
