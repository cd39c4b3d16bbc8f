// The sandbox of one test and the launcher's process.
#include "tests/e2e/Harness.h"
#include "tests/e2e/HarnessWin32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

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

// --- Sandbox --------------------------------------------------------------

Sandbox::Sandbox(const std::wstring &documentsName) {
  resetDisplayMode();
  root_ = join(exeFolder(), L"run\\" + currentTestName());
  removeTree(root_);
  launcherExe_ = join(root_, L"PexorLauncher.exe");
  shipped_ = join(root_, L"DoxPexor");
  // A name with a drive is a folder elsewhere (a small disk of its own).
  documents_ =
      documentsName.find(L':') != std::wstring::npos ? documentsName : join(root_, documentsName);
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

  ready_ = documentsRedirect_.emplace(documents_).ok();
  if (!ready_)
    problem_ = "cannot point the shell's Documents folder at " + narrow(documents_);
}

Sandbox::~Sandbox() {
  documentsRedirect_.reset();
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
  if (!fileExists(sandbox.launcherExe())) {
    startError_ = ERROR_FILE_NOT_FOUND; // the build's, not Wine's
    return false;
  }
  process_ = startProcess(sandbox.launcherExe(), L"", sandbox.root());
  startError_ = process_ ? 0 : GetLastError();
  return process_.has_value();
}

std::string Launcher::wineDidNotStart() const {
  constexpr const char *Words = "Wine did not start the launcher: ";
  if (!process_)
    return startError_ == ERROR_FILE_NOT_FOUND
               ? std::string()
               : Words + std::string("CreateProcess failed with error ") +
                     std::to_string(startError_);
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_->handle.get(), &code);
  // The loader's own ends, before any of the program's code ran.
  constexpr DWORD LoaderEnds[] = {0xC0000135 /* DLL not found */, 0xC0000139 /* entry point */,
                                  0xC0000142 /* DLL initialisation */, 0xC000007B /* image */};
  if (std::ranges::find(LoaderEnds, code) == std::end(LoaderEnds))
    return {};
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(code));
  return Words + std::string("it ended with ") + hex + " before its first window";
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
  const double pixelsPerTwip = windowDpi(window_) / 1440.0;
  POINT p{static_cast<LONG>(std::lround(leftTwips * pixelsPerTwip)),
          static_cast<LONG>(std::lround(topTwips * pixelsPerTwip))};
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

// NOLINTNEXTLINE(readability-convert-member-functions-to-static): asked of the launcher
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

void Launcher::clickOption1() const {
  if (HWND option = childWithText(L"32 битов Windows")) {
    const RECT r = screenRect(option);
    click(POINT{r.left + 8, (r.top + r.bottom) / 2});
  } else {
    click(clientPoint(1440 + 120, 240 + 127));
  }
}

void Launcher::clickOption2() const {
  if (HWND option = childWithText(L"64 битов Windows")) {
    const RECT r = screenRect(option);
    click(POINT{r.left + 8, (r.top + r.bottom) / 2});
  } else {
    click(clientPoint(1440 + 120, 1080 + 127));
  }
}

void Launcher::clickChoice() const {
  if (HWND button = childWithText(L"Избор"))
    click(centreOf(screenRect(button)));
  else
    click(clientPoint(1560 + 1455 / 2.0f, 1440 + 255 / 2.0f));
}

void Launcher::clickStart() const { click(clientPoint(1125 + 2535 / 2.0f, 645 + 375 / 2.0f)); }

} // namespace e2e
