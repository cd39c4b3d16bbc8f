// Another program's windows (the emulator's): found, shown, placed.
#include "platform/win32/Convert.h"
#include "platform/win32/Text.h"
#include "platform/win32/Vocabulary.h"
#include "platform/win32/Win32Port.h"

#include <string>
#include <vector>

namespace pexor::win32 {

namespace {

struct ClassSearch {
  std::wstring className;
  std::vector<Hwnd> found;
};

// Class names compare without regard to case, as the system's own lookup does.
BOOL CALLBACK visitTopLevel(HWND window, LPARAM context) {
  auto &search = *reinterpret_cast<ClassSearch *>(context);
  wchar_t name[257] = {};
  const int length = GetClassNameW(window, name, 257);
  if (length > 0 &&
      CompareStringOrdinal(name, length, search.className.c_str(),
                           static_cast<int>(search.className.size()), TRUE) == CSTR_EQUAL)
    search.found.push_back(fromHwnd(window));
  return TRUE;
}

} // namespace

std::vector<Hwnd> Win32Port::findWindows(const std::string &className) {
  ClassSearch search{widen(className), {}};
  EnumWindows(visitTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::uint32_t Win32Port::windowProcess(Hwnd window) {
  DWORD pid = 0;
  return GetWindowThreadProcessId(toHwnd(window), &pid) != 0 ? pid : 0;
}

// Requests to a window are posted to its thread, never sent: a program that
// stops answering cannot hold the launcher.
bool Win32Port::showWindow(Hwnd window, ShowCommand command) {
  return ShowWindowAsync(toHwnd(window), toShowCommand(command)) != FALSE;
}

bool Win32Port::isWindowVisible(Hwnd window) { return IsWindowVisible(toHwnd(window)) != FALSE; }

bool Win32Port::setForegroundWindow(Hwnd window) {
  return SetForegroundWindow(toHwnd(window)) != FALSE;
}

bool Win32Port::getWindowRect(Hwnd window, WinRect &rect) {
  RECT r;
  if (!GetWindowRect(toHwnd(window), &r))
    return false;
  rect = WinRect{r.left, r.top, r.right, r.bottom};
  return true;
}

bool Win32Port::moveWindow(Hwnd window, std::int32_t x, std::int32_t y, std::int32_t width,
                           std::int32_t height, bool repaint) {
  const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS;
  return SetWindowPos(toHwnd(window), nullptr, x, y, width, height,
                      repaint ? flags : flags | SWP_NOREDRAW) != FALSE;
}

bool Win32Port::setWindowPos(Hwnd window, ZOrder insertAfter, std::int32_t x, std::int32_t y,
                             std::int32_t cx, std::int32_t cy, Placement flags) {
  return SetWindowPos(toHwnd(window), toInsertAfter(insertAfter), x, y, cx, cy,
                      toBits(flags, PlacementBits) | SWP_ASYNCWINDOWPOS) != FALSE;
}

} // namespace pexor::win32
