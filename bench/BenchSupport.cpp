#include "bench/BenchSupport.h"

#include <psapi.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>

namespace bench {

namespace {

double ticksToMs(const FILETIME &t) {
  const ULONGLONG ticks = (ULONGLONG{t.dwHighDateTime} << 32) | t.dwLowDateTime;
  return static_cast<double>(ticks) / 10000.0; // 100 ns ticks
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

std::optional<unsigned long long> fileSize(const std::wstring &path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
    return std::nullopt;
  return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool removeTree(const std::wstring &path) {
  e2e::removeTree(path);
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
  const std::string path = lowerAscii(e2e::narrow(exePath));
  const std::wstring fileName = exePath.substr(exePath.find_last_of(L'\\') + 1);
  const std::string comm = lowerAscii(e2e::narrow(fileName.substr(0, 15))); // the kernel keeps 15
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
  std::string entry = "WINEPREFIX=" + e2e::narrow(std::wstring(prefix, n));
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

std::vector<HWND> listBoxes(HWND parent) { return e2e::childWindows(parent, L"ListBox"); }

} // namespace bench
