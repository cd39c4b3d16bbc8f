#include "platform/win32/Handles.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Error.h"
#include "platform/win32/Win32Port.h"

#include <algorithm>

namespace pexor::win32 {

namespace {

std::wstring folderOf(const std::wstring &path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

std::wstring childPattern(const std::string &folder) {
  std::wstring pattern = widen(folder);
  if (!pattern.empty() && pattern.back() != L'\\')
    pattern += L'\\';
  return pattern + L'*';
}

void writeAll(HANDLE file, const std::string &bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr))
      raiseLastFileError();
    done += written;
  }
}

// Windows refuses to overwrite a read-only file; Wine renames and copies over
// one when run as root. Asking first gives the same answer everywhere.
void refuseReadOnly(const std::wstring &path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
    throw fileError(ERROR_ACCESS_DENIED);
}

// The copy carries the source's attributes; a read-only one would stop every
// later write of the launcher to it.
bool clearReadOnly(const std::wstring &path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return false;
  return (attributes & FILE_ATTRIBUTE_READONLY) == 0 ||
         SetFileAttributesW(path.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY}) != 0;
}

// The temporary file beside the target, removed unless it was moved.
class TempFile {
public:
  explicit TempFile(const std::wstring &folder) {
    wchar_t name[MAX_PATH];
    if (GetTempFileNameW(folder.c_str(), L"pxr", 0, name) == 0)
      raiseLastFileError();
    path_ = name;
  }
  TempFile(const TempFile &) = delete;
  TempFile &operator=(const TempFile &) = delete;
  ~TempFile() {
    if (!path_.empty()) {
      SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL); // a copy of a read-only file
      DeleteFileW(path_.c_str());
    }
  }
  const std::wstring &path() const { return path_; }
  void keep() { path_.clear(); }

private:
  std::wstring path_;
};

} // namespace

bool Win32Port::folderExists(const std::string &path) {
  const DWORD attributes = GetFileAttributesW(widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32Port::fileExists(const std::string &path) {
  const DWORD attributes = GetFileAttributesW(widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void Win32Port::createFolder(const std::string &path) {
  if (!CreateDirectoryW(widen(path).c_str(), nullptr))
    raiseLastFileError();
}

std::vector<FolderEntry> Win32Port::listFolder(const std::string &path) {
  std::vector<FolderEntry> entries;
  WIN32_FIND_DATAW data;
  UniqueFind find(FindFirstFileExW(childPattern(path).c_str(), FindExInfoBasic, &data,
                                   FindExSearchNameMatch, nullptr, 0));
  if (!find) {
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND) // the folder exists and holds nothing
      return entries;
    throw fileError(code);
  }
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..")
      continue;
    FolderEntry entry;
    entry.name = narrow(name);
    entry.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    entry.lastWrite =
        static_cast<std::int64_t>((std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                  data.ftLastWriteTime.dwLowDateTime);
    entries.push_back(std::move(entry));
  } while (FindNextFileW(find.get(), &data));
  if (GetLastError() != ERROR_NO_MORE_FILES)
    raiseLastFileError();
  return entries;
}

// Whole or not at all: a new file is removed when its copy fails; an
// existing one is replaced only by a complete copy made beside it.
void Win32Port::copyFile(const std::string &from, const std::string &to) {
  const std::wstring source = widen(from);
  const std::wstring target = widen(to);
  refuseReadOnly(target);
  if (GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (CopyFileW(source.c_str(), target.c_str(), TRUE) && clearReadOnly(target))
      return;
    const DWORD code = GetLastError();
    if (code != ERROR_FILE_EXISTS) {
      SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(target.c_str());
    }
    throw fileError(code);
  }
  TempFile temp(folderOf(target));
  if (!CopyFileW(source.c_str(), temp.path().c_str(), FALSE) || !clearReadOnly(temp.path()))
    raiseLastFileError();
  if (!MoveFileExW(temp.path().c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    raiseLastFileError();
  temp.keep();
}

std::string Win32Port::readFile(const std::string &path) {
  UniqueFile file(CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    raiseLastFileError();
  std::string bytes;
  char buffer[1 << 16];
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr))
      raiseLastFileError();
    if (read == 0)
      return bytes;
    bytes.append(buffer, read);
  }
}

void Win32Port::replaceFile(const std::string &path, const std::string &bytes) {
  const std::wstring target = widen(path);
  refuseReadOnly(target);
  TempFile temp(folderOf(target));
  {
    UniqueFile file(CreateFileW(temp.path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
      raiseLastFileError();
    writeAll(file.get(), bytes);
    if (!FlushFileBuffers(file.get()))
      raiseLastFileError();
  }
  if (!MoveFileExW(temp.path().c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    raiseLastFileError();
  temp.keep();
}

std::string Win32Port::shortPathName(const std::string &path) {
  const std::wstring wide = widen(path);
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetShortPathNameW(wide.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0)
      return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      return narrow(buffer);
    }
    buffer.resize(length);
  }
}

// Asked through the volume's root folder: GetVolumeInformationW would first
// open the volume's device, which Wine refuses for its drive of "/" and then
// tells so on the standard error of every start.
std::string Win32Port::fileSystemName(const std::string &path) {
  const std::wstring wide = widen(path);
  std::wstring root(std::max<size_t>(wide.size(), MAX_PATH) + 2, L'\0');
  if (!GetVolumePathNameW(wide.c_str(), root.data(), static_cast<DWORD>(root.size())))
    return {};
  const UniqueFile folder(CreateFileW(root.c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  wchar_t name[MAX_PATH + 1] = {};
  if (!folder || !GetVolumeInformationByHandleW(folder.get(), nullptr, 0, nullptr, nullptr, nullptr,
                                                name, MAX_PATH + 1))
    return {};
  return narrow(name);
}

} // namespace pexor::win32
