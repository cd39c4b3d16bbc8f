// Readers of system state: processes, display mode, registry, shortcuts.
#include "tests/e2e/Harness.h"
#include "tests/e2e/HarnessWin32.h"

#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <cstring>
#include <mutex>
#include <thread>

namespace e2e {

using namespace detail;

namespace {

class ComApartment {
public:
  ComApartment() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComApartment() {
    if (ok_)
      CoUninitialize();
  }
  ComApartment(const ComApartment &) = delete;
  ComApartment &operator=(const ComApartment &) = delete;

private:
  bool ok_;
};

} // namespace

// --- Processes ----------------------------------------------------------

void holdProcess(DWORD pid, bool hold) {
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (snapshot.get() == INVALID_HANDLE_VALUE)
    return;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot.get(), &entry); more;
       more = Thread32Next(snapshot.get(), &entry)) {
    if (entry.th32OwnerProcessID != pid)
      continue;
    UniqueHandle thread(OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID));
    if (thread.get() == nullptr)
      continue;
    if (hold)
      SuspendThread(thread.get());
    else
      ResumeThread(thread.get());
  }
}

std::vector<DWORD> processesNamed(std::wstring_view imageName) {
  std::vector<DWORD> pids;
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (snapshot.get() == INVALID_HANDLE_VALUE)
    return pids;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    std::wstring_view name = entry.szExeFile;
    const auto slash = name.find_last_of(L'\\');
    if (slash != std::wstring_view::npos)
      name = name.substr(slash + 1);
    if (equalNoCase(name, imageName))
      pids.push_back(entry.th32ProcessID);
  }
  return pids;
}

std::optional<Process> startProcess(const std::wstring &exe, const std::wstring &arguments,
                                    const std::wstring &workingFolder) {
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!arguments.empty())
    commandLine += L" " + arguments;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workingFolder.empty() ? nullptr : workingFolder.c_str(), &si, &pi))
    return std::nullopt;
  CloseHandle(pi.hThread);
  Process p;
  p.handle.reset(pi.hProcess);
  p.pid = pi.dwProcessId;
  p.threadId = pi.dwThreadId;
  return p;
}

bool waitForExit(const Process &process, DWORD limitMs) {
  return WaitForSingleObject(process.handle.get(), limitMs) == WAIT_OBJECT_0;
}

bool isRunning(const Process &process) {
  return WaitForSingleObject(process.handle.get(), 0) == WAIT_TIMEOUT;
}

std::wstring processImage(DWORD pid) {
  UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  wchar_t path[MAX_PATH * 4] = {};
  DWORD length = MAX_PATH * 4;
  if (process.get() == nullptr || !QueryFullProcessImageNameW(process.get(), 0, path, &length))
    return {};
  return std::wstring(path, length);
}

bool taskkillByName(std::wstring_view imageName) {
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  auto killer =
      startProcess(join(system, L"taskkill.exe"), L"/f /im " + std::wstring(imageName), system);
  DWORD code = 1;
  return killer && waitForExit(*killer) && GetExitCodeProcess(killer->handle.get(), &code) &&
         code == 0;
}

// --- The debug-output channel -----------------------------------------------

// DebugView's side of the channel: the writer waits for "buffer ready", puts
// its process id and the text into the shared buffer, and says "data ready".
struct DebugOutputListener::Channel {
  UniqueHandle bufferReady{CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY")};
  UniqueHandle dataReady{CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY")};
  UniqueHandle mapping{
      CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, L"DBWIN_BUFFER")};
  UniqueHandle stop{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  const char *view = nullptr;
  mutable std::mutex mutex;
  std::vector<std::string> heard;
  std::thread reader;

  void read() {
    const HANDLE waits[] = {dataReady.get(), stop.get()};
    SetEvent(bufferReady.get());
    while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) {
      {
        const std::scoped_lock lock(mutex);
        heard.emplace_back(view + sizeof(DWORD), strnlen(view + sizeof(DWORD), 4096 - 4));
      }
      SetEvent(bufferReady.get());
    }
  }
};

DebugOutputListener::DebugOutputListener() : channel_(std::make_unique<Channel>()) {
  Channel &c = *channel_;
  if (!c.bufferReady.get() || !c.dataReady.get() || !c.mapping.get() || !c.stop.get())
    return;
  c.view = static_cast<const char *>(MapViewOfFile(c.mapping.get(), FILE_MAP_READ, 0, 0, 0));
  if (c.view == nullptr)
    return;
  c.reader = std::thread([&c] { c.read(); });
  ok_ = true;
}

DebugOutputListener::~DebugOutputListener() {
  SetEvent(channel_->stop.get());
  if (channel_->reader.joinable())
    channel_->reader.join();
  if (channel_->view != nullptr)
    UnmapViewOfFile(channel_->view);
}

std::vector<std::string> DebugOutputListener::lines(std::string_view prefix) const {
  const std::scoped_lock lock(channel_->mutex);
  std::vector<std::string> found;
  for (const std::string &line : channel_->heard)
    if (std::string_view(line).starts_with(prefix))
      found.push_back(line);
  return found;
}

// --- Display ------------------------------------------------------------

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

void resetDisplayMode() { ChangeDisplaySettingsW(nullptr, 0); }

// --- Registry -----------------------------------------------------------

std::optional<std::wstring> readRegistryString(HKEY root, const std::wstring &key,
                                               const std::wstring &name) {
  DWORD bytes = 0;
  if (RegGetValueW(root, key.c_str(), name.c_str(),
                   RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, nullptr,
                   &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (RegGetValueW(root, key.c_str(), name.c_str(),
                   RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, value.data(),
                   &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  value.resize(wcsnlen(value.c_str(), value.size()));
  return value;
}

bool writeRegistryString(HKEY root, const std::wstring &key, const std::wstring &name,
                         const std::wstring &data, DWORD type) {
  RegKey k;
  if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, k.put(), nullptr) !=
      ERROR_SUCCESS)
    return false;
  return RegSetValueExW(k.get(), name.c_str(), 0, type,
                        reinterpret_cast<const BYTE *>(data.c_str()),
                        static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool deleteRegistryValue(HKEY root, const std::wstring &key, const std::wstring &name) {
  return RegDeleteKeyValueW(root, key.c_str(), name.c_str()) == ERROR_SUCCESS;
}

namespace {
constexpr const wchar_t *UserShellFolders =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr const wchar_t *ShellFolders =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const wchar_t *Personal = L"Personal";

void restoreValue(const wchar_t *key, const std::optional<std::wstring> &saved, DWORD type) {
  if (saved)
    writeRegistryString(HKEY_CURRENT_USER, key, Personal, *saved, type);
  else
    deleteRegistryValue(HKEY_CURRENT_USER, key, Personal);
}
} // namespace

DocumentsRedirect::DocumentsRedirect(const std::wstring &folder)
    : savedUser_(readRegistryString(HKEY_CURRENT_USER, UserShellFolders, Personal)),
      savedShell_(readRegistryString(HKEY_CURRENT_USER, ShellFolders, Personal)) {
  ok_ = writeRegistryString(HKEY_CURRENT_USER, UserShellFolders, Personal, folder, REG_EXPAND_SZ) &&
        writeRegistryString(HKEY_CURRENT_USER, ShellFolders, Personal, folder);
}

DocumentsRedirect::~DocumentsRedirect() {
  restoreValue(UserShellFolders, savedUser_, REG_EXPAND_SZ);
  restoreValue(ShellFolders, savedShell_, REG_SZ);
}

// --- Shortcut -----------------------------------------------------------

std::optional<ShortcutInfo> readShortcut(const std::wstring &lnkPath) {
  ComApartment apartment;
  ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              link.putVoid())))
    return std::nullopt;
  ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.putVoid())) ||
      FAILED(file->Load(lnkPath.c_str(), STGM_READ)))
    return std::nullopt;
  ShortcutInfo info;
  std::wstring buffer(4096, L'\0');
  const int size = static_cast<int>(buffer.size());
  // NOLINTNEXTLINE(readability-redundant-string-cstr): the text ends at the first null
  auto take = [&buffer] { return std::wstring(buffer.c_str()); };
  if (SUCCEEDED(link->GetPath(buffer.data(), size, nullptr, SLGP_RAWPATH)))
    info.target = take();
  buffer.assign(buffer.size(), L'\0');
  if (SUCCEEDED(link->GetArguments(buffer.data(), size)))
    info.arguments = take();
  buffer.assign(buffer.size(), L'\0');
  if (SUCCEEDED(link->GetWorkingDirectory(buffer.data(), size)))
    info.workingDirectory = take();
  link->GetShowCmd(&info.showCommand);
  buffer.assign(buffer.size(), L'\0');
  if (SUCCEEDED(link->GetIconLocation(buffer.data(), size, &info.iconIndex)))
    info.iconPath = take();
  return info;
}

} // namespace e2e
