#include "bench/BenchSupport.h"

#include <psapi.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>

namespace bench {

namespace {

constexpr const wchar_t *UserShellFolders =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr const wchar_t *ShellFolders =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const wchar_t *Personal = L"Personal";

double ticksToMs(const FILETIME &t) {
  const ULONGLONG ticks = (ULONGLONG{t.dwHighDateTime} << 32) | t.dwLowDateTime;
  return static_cast<double>(ticks) / 10000.0; // 100 ns ticks
}

std::optional<std::wstring> readString(const wchar_t *key, const wchar_t *name) {
  DWORD bytes = 0;
  const DWORD flags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
  if (RegGetValueW(HKEY_CURRENT_USER, key, name, flags, nullptr, nullptr, &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (RegGetValueW(HKEY_CURRENT_USER, key, name, flags, nullptr, value.data(), &bytes) !=
      ERROR_SUCCESS)
    return std::nullopt;
  value.resize(wcsnlen(value.c_str(), value.size()));
  return value;
}

bool writeString(const wchar_t *key, const wchar_t *name, const std::wstring &value, DWORD type) {
  const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return RegSetKeyValueW(HKEY_CURRENT_USER, key, name, type, value.c_str(), bytes) == ERROR_SUCCESS;
}

void restoreString(const wchar_t *key, const std::optional<std::wstring> &saved, DWORD type) {
  if (saved)
    writeString(key, Personal, *saved, type);
  else
    RegDeleteKeyValueW(HKEY_CURRENT_USER, key, Personal);
}

bool hasClass(HWND hwnd, std::wstring_view className) {
  wchar_t name[64] = {};
  const int n = GetClassNameW(hwnd, name, 64);
  return n > 0 && CompareStringOrdinal(name, n, className.data(),
                                       static_cast<int>(className.size()), TRUE) == CSTR_EQUAL;
}

constexpr const wchar_t *HostProc = L"Z:\\proc";

// The whole of a small host file; procfs files report no size, so read to the end.
std::optional<std::string> readHostFile(const std::wstring &path) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE)
    return std::nullopt;
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
    bytes.append(buffer, got);
  return bytes;
}

std::string lowerAscii(std::string s) {
  for (char &c : s)
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c + ('a' - 'A'));
  return s;
}

std::string utf8(const std::wstring &wide) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, out.data(), n, nullptr, nullptr);
  out.resize(out.size() - 1);
  return out;
}

// The first host process, by number, whose files satisfy the test.
std::optional<unsigned long>
findHostProcess(const std::function<bool(const std::wstring &folder)> &matches) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(join(HostProc, L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE)
    return std::nullopt;
  std::optional<unsigned long> found;
  do {
    const std::wstring name = data.cFileName;
    if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos)
      continue;
    if (matches(join(HostProc, name))) {
      found = std::wcstoul(name.c_str(), nullptr, 10);
      break;
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return found;
}

} // namespace

double nowMs() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / frequency;
}

// --- Files ------------------------------------------------------------------

std::wstring join(const std::wstring &folder, std::wstring_view name) {
  if (folder.empty() || folder.back() == L'\\')
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
  const DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool folderExists(const std::wstring &path) {
  const DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<unsigned long long> fileSize(const std::wstring &path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
    return std::nullopt;
  return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool createFolders(const std::wstring &path) {
  if (path.empty() || folderExists(path))
    return true;
  const auto slash = path.find_last_of(L'\\');
  if (slash != std::wstring::npos && slash > 2 && !createFolders(path.substr(0, slash)))
    return false;
  return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool removeTree(const std::wstring &path) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(join(path, L"*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..")
        continue;
      const std::wstring child = join(path, name);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        removeTree(child);
      } else {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
          SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(path.c_str());
  return !folderExists(path);
}

// --- Processes --------------------------------------------------------------

std::optional<Process> startProcess(const std::wstring &exe, const std::wstring &arguments,
                                    HANDLE output) {
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!arguments.empty())
    commandLine += L" " + arguments;
  const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
  STARTUPINFOW si{};
  si.cb = sizeof si;
  if (output) {
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = output;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  }
  PROCESS_INFORMATION pi{};
  Process process;
  process.startedMs = nowMs();
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, output ? TRUE : FALSE, 0,
                      nullptr, folder.c_str(), &si, &pi))
    return std::nullopt;
  CloseHandle(pi.hThread);
  process.handle.reset(pi.hProcess);
  process.pid = pi.dwProcessId;
  return process;
}

bool waitForExit(const Process &process, DWORD limitMs) {
  return WaitForSingleObject(process.handle.get(), limitMs) == WAIT_OBJECT_0;
}

bool isRunning(const Process &process) { return !waitForExit(process, 0); }

void kill(const Process &process) {
  if (!isRunning(process))
    return;
  TerminateProcess(process.handle.get(), 99);
  waitForExit(process, 5000);
}

std::optional<double> processorMs(const Process &process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process.handle.get(), &created, &exited, &kernel, &user))
    return std::nullopt;
  return ticksToMs(kernel) + ticksToMs(user);
}

std::optional<SIZE_T> peakWorkingSet(const Process &process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process.handle.get(), &counters, sizeof counters))
    return std::nullopt;
  return counters.PeakWorkingSetSize;
}

bool runningUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool hostProcessTableVisible() { return fileExists(join(HostProc, L"self\\stat")); }

std::optional<unsigned long> hostPidOfProgram(const std::wstring &exePath) {
  const std::string path = lowerAscii(utf8(exePath));
  const std::wstring fileName = exePath.substr(exePath.find_last_of(L'\\') + 1);
  const std::string comm = lowerAscii(utf8(fileName.substr(0, 15))); // the kernel keeps 15
  return findHostProcess([&](const std::wstring &folder) {
    const auto name = readHostFile(join(folder, L"comm"));
    if (!name || lowerAscii(name->substr(0, name->find('\n'))) != comm)
      return false;
    const auto commandLine = readHostFile(join(folder, L"cmdline"));
    return commandLine && lowerAscii(*commandLine).find(path) != std::string::npos;
  });
}

std::optional<unsigned long> hostPidOfWineServer() {
  wchar_t prefix[1024];
  const DWORD n = GetEnvironmentVariableW(L"WINEPREFIX", prefix, 1024);
  if (n == 0 || n >= 1024)
    return std::nullopt;
  std::string entry = "WINEPREFIX=" + utf8(std::wstring(prefix, n));
  entry.push_back('\0');
  return findHostProcess([&](const std::wstring &folder) {
    const auto name = readHostFile(join(folder, L"comm"));
    if (!name || name->rfind("wineserver", 0) != 0)
      return false;
    const auto environment = readHostFile(join(folder, L"environ"));
    return environment && (environment->rfind(entry, 0) == 0 ||
                           environment->find('\0' + entry) != std::string::npos);
  });
}

std::optional<double> hostProcessorMs(unsigned long hostPid) {
  const auto stat = readHostFile(join(HostProc, std::to_wstring(hostPid) + L"\\stat"));
  if (!stat)
    return std::nullopt;
  // The name in brackets may hold blanks: count the fields after it. The
  // 14th and 15th fields are user and kernel time in 1/100 s.
  const size_t close = stat->rfind(')');
  if (close == std::string::npos)
    return std::nullopt;
  const char *p = stat->c_str() + close + 1;
  unsigned long long values[13] = {};
  for (int field = 3; field <= 15; ++field) {
    char *end = nullptr;
    while (*p == ' ')
      ++p;
    if (field == 3) { // the state, one letter
      ++p;
      continue;
    }
    values[field - 3] = std::strtoull(p, &end, 10);
    p = end;
  }
  return static_cast<double>(values[11] + values[12]) * 10.0;
}

// --- Windows ----------------------------------------------------------------

HWND windowWithCaption(DWORD pid, const wchar_t *caption) {
  for (HWND w = FindWindowExW(nullptr, nullptr, nullptr, caption); w;
       w = FindWindowExW(nullptr, w, nullptr, caption)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == pid)
      return w;
  }
  return nullptr;
}

std::vector<HWND> windowsOfClass(const wchar_t *className) {
  std::vector<HWND> found;
  for (HWND w = FindWindowExW(nullptr, nullptr, className, nullptr); w;
       w = FindWindowExW(nullptr, w, className, nullptr))
    found.push_back(w);
  return found;
}

std::vector<HWND> listBoxes(HWND parent) {
  std::vector<HWND> lists;
  for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
    if (hasClass(w, L"ListBox"))
      lists.push_back(w);
  return lists;
}

int listCount(HWND list) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &result))
    return -1;
  return static_cast<int>(static_cast<LRESULT>(result));
}

// --- Display ----------------------------------------------------------------

SIZE currentDisplayMode() {
  DEVMODEW mode{};
  mode.dmSize = sizeof mode;
  if (!EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode))
    return SIZE{0, 0};
  return SIZE{static_cast<LONG>(mode.dmPelsWidth), static_cast<LONG>(mode.dmPelsHeight)};
}

bool setDisplayMode(int width, int height) {
  DEVMODEW mode{};
  mode.dmSize = sizeof mode;
  mode.dmPelsWidth = static_cast<DWORD>(width);
  mode.dmPelsHeight = static_cast<DWORD>(height);
  mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
  return ChangeDisplaySettingsW(&mode, 0) == DISP_CHANGE_SUCCESSFUL;
}

// --- Documents --------------------------------------------------------------

DocumentsRedirect::DocumentsRedirect(const std::wstring &folder)
    : savedUser_(readString(UserShellFolders, Personal)),
      savedShell_(readString(ShellFolders, Personal)) {
  ok_ = writeString(UserShellFolders, Personal, folder, REG_EXPAND_SZ) &&
        writeString(ShellFolders, Personal, folder, REG_SZ);
}

DocumentsRedirect::~DocumentsRedirect() {
  restoreString(UserShellFolders, savedUser_, REG_EXPAND_SZ);
  restoreString(ShellFolders, savedShell_, REG_SZ);
}

} // namespace bench
