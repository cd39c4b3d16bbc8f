// Files and folders, and where the built launcher and shipped folder are.
#include "tests/e2e/Harness.h"
#include "tests/e2e/HarnessWin32.h"

#include <algorithm>

namespace e2e {

using namespace detail;

std::wstring fromEnvironment(const wchar_t *name) {
  const DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
  if (n == 0)
    return {};
  std::wstring value(n, L'\0');
  const DWORD got = GetEnvironmentVariableW(name, value.data(), n);
  value.resize(got);
  std::replace(value.begin(), value.end(), L'/', L'\\');
  return value;
}

namespace detail {

bool createFolders(const std::wstring &path) {
  if (path.empty() || folderExists(path))
    return true;
  const auto slash = path.find_last_of(L'\\');
  if (slash != std::wstring::npos && slash > 2 && !createFolders(path.substr(0, slash)))
    return false;
  return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

void collectFiles(const std::wstring &root, const std::wstring &relative,
                  std::vector<std::wstring> &out) {
  const std::wstring folder = relative.empty() ? root : join(root, relative);
  WIN32_FIND_DATAW data;
  FindHandle find(FindFirstFileW(join(folder, L"*").c_str(), &data));
  if (!find.valid())
    return;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..")
      continue;
    const std::wstring rel = relative.empty() ? name : relative + L"\\" + name;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      collectFiles(root, rel, out);
    else
      out.push_back(rel);
  } while (FindNextFileW(find.get(), &data));
}

} // namespace detail

// --- Files --------------------------------------------------------------

std::wstring join(const std::wstring &folder, std::wstring_view name) {
  if (folder.empty())
    return std::wstring(name);
  if (folder.back() == L'\\')
    return folder + std::wstring(name);
  return folder + L"\\" + std::wstring(name);
}

std::wstring exeFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L'\\'));
}

bool fileExists(const std::wstring &path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool folderExists(const std::wstring &path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> readBytes(const std::wstring &path) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE)
    return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size))
    return std::nullopt;
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD got = 0;
  if (!bytes.empty() &&
      !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
    return std::nullopt;
  bytes.resize(got);
  return bytes;
}

bool writeBytes(const std::wstring &path, const std::string &bytes) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE)
    return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

bool copyTree(const std::wstring &from, const std::wstring &to) {
  if (!createFolders(to))
    return false;
  std::vector<std::wstring> files;
  collectFiles(from, L"", files);
  return std::all_of(files.begin(), files.end(), [&](const std::wstring &rel) {
    const std::wstring target = join(to, rel);
    const auto slash = target.find_last_of(L'\\');
    return createFolders(target.substr(0, slash)) &&
           CopyFileW(join(from, rel).c_str(), target.c_str(), FALSE) != FALSE;
  });
}

void removeTree(const std::wstring &path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return;
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileW(path.c_str());
    return;
  }
  std::vector<std::wstring> names;
  {
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW(join(path, L"*").c_str(), &data));
    if (find.valid()) {
      do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..")
          names.push_back(name);
      } while (FindNextFileW(find.get(), &data));
    }
  }
  for (const auto &name : names)
    removeTree(join(path, name));
  RemoveDirectoryW(path.c_str());
}

std::vector<std::wstring> listTree(const std::wstring &root) {
  std::vector<std::wstring> files;
  collectFiles(root, L"", files);
  std::sort(files.begin(), files.end());
  return files;
}

bool setReadOnly(const std::wstring &path, bool readOnly) {
  return SetFileAttributesW(path.c_str(),
                            readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL) != 0;
}

std::wstring builtLauncher() {
  std::wstring path = fromEnvironment(L"PEXOR_LAUNCHER");
  if (path.empty()) {
    const std::wstring here = exeFolder();
    path = join(here.substr(0, here.find_last_of(L'\\')), L"PexorLauncher.exe");
  }
  return path;
}

std::wstring builtShippedFolder() {
  std::wstring path = fromEnvironment(L"PEXOR_SHIP");
  return path.empty() ? join(exeFolder(), L"ship\\DoxPexor") : path;
}

} // namespace e2e
