#include "tests/e2e/Harness.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cmath>

namespace e2e {

namespace {

constexpr UINT SendLimitMs = 5000;

template <class T> class ComPtr {
public:
  ComPtr() = default;
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr &) = delete;
  ComPtr &operator=(const ComPtr &) = delete;
  T *operator->() const { return ptr_; }
  T *get() const { return ptr_; }
  T **put() {
    reset();
    return &ptr_;
  }
  void **putVoid() { return reinterpret_cast<void **>(put()); }
  void reset() {
    if (ptr_)
      ptr_->Release();
    ptr_ = nullptr;
  }

private:
  T *ptr_ = nullptr;
};

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

class RegKey {
public:
  RegKey() = default;
  ~RegKey() {
    if (key_)
      RegCloseKey(key_);
  }
  RegKey(const RegKey &) = delete;
  RegKey &operator=(const RegKey &) = delete;
  HKEY *put() { return &key_; }
  HKEY get() const { return key_; }

private:
  HKEY key_ = nullptr;
};

class FindHandle {
public:
  explicit FindHandle(HANDLE h) : h_(h) {}
  ~FindHandle() {
    if (h_ != INVALID_HANDLE_VALUE)
      FindClose(h_);
  }
  FindHandle(const FindHandle &) = delete;
  FindHandle &operator=(const FindHandle &) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }

private:
  HANDLE h_;
};

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

std::wstring currentTestName() {
  const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
  if (!info)
    return L"outside-test";
  return widen(std::string(info->test_suite_name()) + "." + info->name());
}

LRESULT sendTo(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(hwnd, msg, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK, SendLimitMs,
                           &result))
    return -1;
  return static_cast<LRESULT>(result);
}

void sendInputs(std::vector<INPUT> inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT mouseInput(DWORD flags, LONG dx = 0, LONG dy = 0, DWORD data = 0) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = dx;
  in.mi.dy = dy;
  in.mi.mouseData = data;
  in.mi.dwFlags = flags;
  return in;
}

INPUT keyInput(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  DWORD flags = up ? KEYEVENTF_KEYUP : 0;
  switch (vk) {
  case VK_LWIN:
  case VK_RWIN:
  case VK_RMENU:
  case VK_RCONTROL:
  case VK_INSERT:
  case VK_DELETE:
  case VK_HOME:
  case VK_END:
  case VK_PRIOR:
  case VK_NEXT:
  case VK_LEFT:
  case VK_RIGHT:
  case VK_UP:
  case VK_DOWN:
    flags |= KEYEVENTF_EXTENDEDKEY;
    break;
  default:
    break;
  }
  in.ki.dwFlags = flags;
  return in;
}

// Absolute mouse coordinates run from 0 to 65535 over the primary display.
LONG normalised(LONG pixel, int extent) {
  if (extent <= 0)
    return 0;
  return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + extent / 2) / extent);
}

} // namespace

// --- Texts --------------------------------------------------------------

std::wstring widen(std::string_view utf8) {
  if (utf8.empty())
    return {};
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string narrow(std::wstring_view wide) {
  if (wide.empty())
    return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

bool equalNoCase(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// --- Waiting ------------------------------------------------------------

bool waitUntil(const std::function<bool()> &condition, DWORD limitMs) {
  const ULONGLONG end = GetTickCount64() + limitMs;
  for (;;) {
    if (condition())
      return true;
    if (GetTickCount64() >= end)
      return false;
    Sleep(50);
  }
}

void pause(DWORD ms) { Sleep(ms); }

void HandleCloser::operator()(HANDLE handle) const {
  if (handle && handle != INVALID_HANDLE_VALUE)
    CloseHandle(handle);
}

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
  for (const auto &rel : files) {
    const std::wstring target = join(to, rel);
    const auto slash = target.find_last_of(L'\\');
    if (!createFolders(target.substr(0, slash)))
      return false;
    if (!CopyFileW(join(from, rel).c_str(), target.c_str(), FALSE))
      return false;
  }
  return true;
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

// --- Processes ----------------------------------------------------------

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

// --- Windows ------------------------------------------------------------

std::wstring windowText(HWND hwnd) {
  // WM_GETTEXT with a time limit, so a hung window cannot hang the test.
  std::wstring text(1024, L'\0');
  const LRESULT n = sendTo(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return text;
}

std::wstring windowClass(HWND hwnd) {
  wchar_t name[256] = {};
  const int n = GetClassNameW(hwnd, name, 256);
  return std::wstring(name, n > 0 ? static_cast<size_t>(n) : 0);
}

std::vector<HWND> topLevelWindows(DWORD pid, std::wstring_view className,
                                  std::wstring_view caption) {
  struct Query {
    DWORD pid;
    std::wstring_view className, caption;
    std::vector<HWND> found;
  } query{pid, className, caption, {}};
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto &q = *reinterpret_cast<Query *>(param);
        if (!IsWindowVisible(hwnd))
          return TRUE;
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (q.pid && owner != q.pid)
          return TRUE;
        if (!q.className.empty() && !equalNoCase(windowClass(hwnd), q.className))
          return TRUE;
        if (!q.caption.empty() && windowText(hwnd) != q.caption)
          return TRUE;
        q.found.push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&query));
  return query.found;
}

std::vector<HWND> childWindows(HWND parent, std::wstring_view className) {
  struct Query {
    HWND parent;
    std::wstring_view className;
    std::vector<HWND> found;
  } query{parent, className, {}};
  EnumChildWindows(
      parent,
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto &q = *reinterpret_cast<Query *>(param);
        if (q.className.empty() || equalNoCase(windowClass(hwnd), q.className))
          q.found.push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&query));
  return query.found;
}

RECT screenRect(HWND hwnd) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  return rect;
}

// --- Input --------------------------------------------------------------

namespace {
INPUT mouseAt(POINT screen, DWORD flags) {
  return mouseInput(flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE,
                    normalised(screen.x, GetSystemMetrics(SM_CXSCREEN)),
                    normalised(screen.y, GetSystemMetrics(SM_CYSCREEN)));
}

bool cursorAt(POINT screen) {
  POINT now{};
  GetCursorPos(&now);
  return now.x == screen.x && now.y == screen.y;
}
} // namespace

// Under Wine a late pointer event of the X server can put the cursor back
// where it was just after a move, so a move counts once the cursor has stayed
// put, and the button events carry their own position.
void moveMouse(POINT screen) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    sendInputs({mouseAt(screen, 0)});
    if (!waitUntil([&] { return cursorAt(screen); }, 500))
      SetCursorPos(screen.x, screen.y);
    Sleep(100);
    if (cursorAt(screen))
      return;
  }
}

void click(POINT screen) {
  moveMouse(screen);
  sendInputs({mouseAt(screen, MOUSEEVENTF_LEFTDOWN)});
  Sleep(30);
  sendInputs({mouseAt(screen, MOUSEEVENTF_LEFTUP)});
  Sleep(100);
}

void keyDown(WORD vk) { sendInputs({keyInput(vk, false)}); }
void keyUp(WORD vk) { sendInputs({keyInput(vk, true)}); }

void pressKey(WORD vk) {
  keyDown(vk);
  Sleep(30);
  keyUp(vk);
  Sleep(30);
}

void pressChord(std::initializer_list<WORD> keys) {
  for (WORD vk : keys) {
    keyDown(vk);
    Sleep(30);
  }
  for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) {
    keyUp(*it);
    Sleep(30);
  }
}

void typeText(std::wstring_view text) {
  for (wchar_t c : text) {
    INPUT in[2]{};
    for (int i = 0; i < 2; ++i) {
      in[i].type = INPUT_KEYBOARD;
      in[i].ki.wScan = c;
      in[i].ki.dwFlags = KEYEVENTF_UNICODE | (i ? KEYEVENTF_KEYUP : 0);
    }
    SendInput(2, in, sizeof(INPUT));
    Sleep(5);
  }
}

HWND focusedWindow(DWORD threadId) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(threadId, &info))
    return nullptr;
  return info.hwndFocus;
}

POINT centreOf(const RECT &rect) {
  return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
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

// --- List boxes and buttons of another process ----------------------------

int listCount(HWND list) { return static_cast<int>(sendTo(list, LB_GETCOUNT, 0, 0)); }

int listSelection(HWND list) { return static_cast<int>(sendTo(list, LB_GETCURSEL, 0, 0)); }

std::wstring listItemText(HWND list, int index) {
  const LRESULT length = sendTo(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0)
    return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT n =
      sendTo(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return text;
}

std::wstring listSelectedText(HWND list) {
  const int index = listSelection(list);
  return index < 0 ? std::wstring() : listItemText(list, index);
}

std::vector<std::wstring> listItems(HWND list) {
  std::vector<std::wstring> items;
  const int n = listCount(list);
  for (int i = 0; i < n; ++i)
    items.push_back(listItemText(list, i));
  return items;
}

std::optional<POINT> listItemPoint(HWND list, int index) {
  RECT item{};
  if (sendTo(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) ==
      LB_ERR)
    return std::nullopt;
  RECT client{};
  GetClientRect(list, &client);
  if (item.top < client.top || item.bottom > client.bottom || item.bottom <= item.top)
    return std::nullopt;
  POINT p{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
  MapWindowPoints(list, nullptr, &p, 1);
  return p;
}

bool isChecked(HWND button) { return sendTo(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// --- Message boxes --------------------------------------------------------

std::optional<MessageBoxInfo> findMessageBox(DWORD pid) {
  const auto boxes = topLevelWindows(pid, L"#32770");
  if (boxes.empty())
    return std::nullopt;
  MessageBoxInfo info;
  info.hwnd = boxes.front();
  info.title = windowText(info.hwnd);
  if (HWND text = GetDlgItem(info.hwnd, 0xFFFF))
    info.text = windowText(text);
  if (info.text.empty()) {
    for (HWND child : childWindows(info.hwnd, L"Static")) {
      const std::wstring t = windowText(child);
      if (t.size() > info.text.size())
        info.text = t;
    }
  }
  return info;
}

std::optional<MessageBoxInfo> waitForMessageBox(DWORD pid, DWORD limitMs) {
  std::optional<MessageBoxInfo> box;
  waitUntil([&] { return (box = findMessageBox(pid)).has_value(); }, limitMs);
  return box;
}

bool pressOk(const MessageBoxInfo &box) {
  HWND ok = GetDlgItem(box.hwnd, IDOK);
  if (!ok) {
    const auto buttons = childWindows(box.hwnd, L"Button");
    if (buttons.empty())
      return false;
    ok = buttons.front();
  }
  click(centreOf(screenRect(ok)));
  return waitUntil([&] { return !IsWindow(box.hwnd) || !IsWindowVisible(box.hwnd); });
}

int dismissMessageBoxes(DWORD pid, DWORD quietMs) {
  int answered = 0;
  const ULONGLONG end = GetTickCount64() + 3 * WaitLimitMs;
  ULONGLONG quietSince = GetTickCount64();
  while (GetTickCount64() < end) {
    if (auto box = findMessageBox(pid)) {
      if (!pressOk(*box))
        return answered;
      ++answered;
      quietSince = GetTickCount64();
    } else if (GetTickCount64() - quietSince >= quietMs) {
      break;
    }
    Sleep(50);
  }
  return answered;
}

// --- Sandbox --------------------------------------------------------------

namespace {
const std::wstring UserShellFolders =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const std::wstring ShellFolders =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

void restoreValue(const std::wstring &key, const std::optional<std::wstring> &saved, DWORD type) {
  if (saved)
    writeRegistryString(HKEY_CURRENT_USER, key, L"Personal", *saved, type);
  else
    deleteRegistryValue(HKEY_CURRENT_USER, key, L"Personal");
}
} // namespace

Sandbox::Sandbox(std::wstring documentsName) {
  resetDisplayMode();
  root_ = join(exeFolder(), L"run\\" + currentTestName());
  removeTree(root_);
  launcherExe_ = join(root_, L"PexorLauncher.exe");
  shipped_ = join(root_, L"DoxPexor");
  documents_ = join(root_, documentsName);
  if (!createFolders(root_) || !createFolders(documents_)) {
    problem_ = "cannot make the folder " + narrow(documents_);
    return;
  }
  // A missing launcher fails Launcher::start, not the tests that need none.
  CopyFileW(builtLauncher().c_str(), launcherExe_.c_str(), FALSE);
  if (!copyTree(builtShippedFolder(), shipped_) || !fileExists(join(shipped_, L"DOSBox.exe"))) {
    problem_ = "cannot copy the shipped folder " + narrow(builtShippedFolder());
    return;
  }

  savedUserShellFolder_ = readRegistryString(HKEY_CURRENT_USER, UserShellFolders, L"Personal");
  savedShellFolder_ = readRegistryString(HKEY_CURRENT_USER, ShellFolders, L"Personal");
  ready_ = writeRegistryString(HKEY_CURRENT_USER, UserShellFolders, L"Personal", documents_,
                               REG_EXPAND_SZ) &&
           writeRegistryString(HKEY_CURRENT_USER, ShellFolders, L"Personal", documents_);
  if (!ready_)
    problem_ = "cannot point the shell's Documents folder at " + narrow(documents_);
}

Sandbox::~Sandbox() {
  restoreValue(UserShellFolders, savedUserShellFolder_, REG_EXPAND_SZ);
  restoreValue(ShellFolders, savedShellFolder_, REG_SZ);
  resetDisplayMode();
}

// --- Launcher -------------------------------------------------------------

Launcher::~Launcher() {
  if (!running())
    return;
  close();
  if (!waitForExit(5000))
    kill();
}

bool Launcher::start(const Sandbox &sandbox) {
  if (!fileExists(sandbox.launcherExe()))
    return false;
  process_ = startProcess(sandbox.launcherExe(), L"", sandbox.root());
  return process_.has_value();
}

bool Launcher::waitForWindow(DWORD limitMs) {
  if (!process_)
    return false;
  return waitUntil(
      [&] {
        const auto found = topLevelWindows(process_->pid, {}, LauncherCaption);
        window_ = found.empty() ? nullptr : found.front();
        return window_ != nullptr;
      },
      limitMs);
}

void Launcher::close() {
  if (window_)
    PostMessageW(window_, WM_CLOSE, 0, 0);
}

bool Launcher::waitForExit(DWORD limitMs) {
  return !process_ || e2e::waitForExit(*process_, limitMs);
}

void Launcher::kill() {
  if (!running())
    return;
  TerminateProcess(process_->handle.get(), 99);
  e2e::waitForExit(*process_, 5000);
}

POINT Launcher::clientPoint(float leftTwips, float topTwips) const {
  POINT p{static_cast<LONG>(std::lround(leftTwips / 15.0f)),
          static_cast<LONG>(std::lround(topTwips / 15.0f))};
  ClientToScreen(window_, &p);
  return p;
}

namespace {
// The two list boxes of Form1, left one first.
std::vector<HWND> formLists(HWND form) {
  auto lists = childWindows(form, L"ListBox");
  std::sort(lists.begin(), lists.end(),
            [](HWND a, HWND b) { return screenRect(a).left < screenRect(b).left; });
  return lists;
}
} // namespace

HWND Launcher::list1() const {
  const auto lists = formLists(window_);
  return lists.size() == 2 ? lists[0] : nullptr;
}

HWND Launcher::list2() const {
  const auto lists = formLists(window_);
  return lists.size() == 2 ? lists[1] : nullptr;
}

HWND Launcher::childWithText(std::wstring_view text) const {
  for (HWND child : childWindows(window_))
    if (windowText(child) == text)
      return child;
  return nullptr;
}

bool Launcher::pickListItem(HWND list, int index) {
  // Scroll with the arrows of the list's scroll bar until the item shows;
  // those clicks fall outside the client area and pick nothing.
  for (int step = 0; step < 40; ++step) {
    if (auto point = listItemPoint(list, index)) {
      click(*point);
      return true;
    }
    RECT client{};
    GetClientRect(list, &client);
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT *>(&client), 2);
    const int arrow = GetSystemMetrics(SM_CYVSCROLL);
    const int top = static_cast<int>(sendTo(list, LB_GETTOPINDEX, 0, 0));
    POINT at{client.right + GetSystemMetrics(SM_CXVSCROLL) / 2,
             index < top ? client.top + arrow / 2 : client.bottom - arrow / 2};
    click(at);
  }
  return false;
}

void Launcher::clickOption1() {
  if (HWND option = childWithText(L"32 битов Windows")) {
    const RECT r = screenRect(option);
    click(POINT{r.left + 8, (r.top + r.bottom) / 2});
  } else {
    click(clientPoint(1440 + 120, 240 + 127));
  }
}

void Launcher::clickOption2() {
  if (HWND option = childWithText(L"64 битов Winidows")) {
    const RECT r = screenRect(option);
    click(POINT{r.left + 8, (r.top + r.bottom) / 2});
  } else {
    click(clientPoint(1440 + 120, 1080 + 127));
  }
}

void Launcher::clickChoice() {
  if (HWND button = childWithText(L"Избор"))
    click(centreOf(screenRect(button)));
  else
    click(clientPoint(1560 + 1455 / 2.0f, 1440 + 255 / 2.0f));
}

void Launcher::clickStart() { click(clientPoint(1125 + 2535 / 2.0f, 645 + 375 / 2.0f)); }

} // namespace e2e
