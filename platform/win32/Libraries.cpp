#include "platform/win32/Libraries.h"

#include <string>

namespace pexor::win32 {

// SetDefaultDllDirectories is there from Windows 8, and on Windows 7 with its
// update KB2533623; looked up, so that the program starts without it. Where
// it is missing, the current folder at least leaves the search.
void loadLibrariesFromTheSystemFolderOnly() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI *)(DWORD);
  const FARPROC found =
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
  const auto setDefault =
      reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void (*)()>(found));
  if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE)
    return;
  SetDllDirectoryW(L"");
}

// What the library itself loads by name is looked for beside it first.
HMODULE loadSystemLibrary(const wchar_t *name) {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return nullptr;
  const std::wstring path = std::wstring(folder, length) + L'\\' + name;
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

} // namespace pexor::win32
