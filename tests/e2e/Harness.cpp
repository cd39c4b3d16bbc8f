// Texts, bounded waits, the sandbox of one test and the launcher's process.
#include "tests/e2e/Harness.h"
#include "tests/e2e/HarnessWin32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace e2e {

using namespace detail;

namespace {

std::wstring currentTestName() {
  const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
  if (!info)
    return L"outside-test";
  return widen(std::string(info->test_suite_name()) + "." + info->name());
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
