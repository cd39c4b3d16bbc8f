#include "platform/win32/Convert.h"
#include "platform/win32/KeyboardHook.h"
#include "platform/win32/Text.h"
#include "platform/win32/Vocabulary.h"
#include "platform/win32/Win32Port.h"

namespace pexor::win32 {

Hwnd Win32Port::findWindow(const std::string &className) {
  return fromHwnd(FindWindowW(widen(className).c_str(), nullptr));
}

// Requests to a window are posted to its thread, never sent: a program that
// stops answering cannot hold the launcher.
bool Win32Port::showWindow(Hwnd window, ShowCommand command) {
  return ShowWindowAsync(toHwnd(window), toShowCommand(command)) != FALSE;
}

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

// The hook is put in afresh at each opening: the system drops a hook
// without a word once it has waited too long for it (a thread busy
// switching the display, say), and a new watcher should not start deaf.
KeyWatcherId Win32Port::openKeyWatcher() {
  // Put in afresh at each opening: the system drops a hook that timed out.
  // The first waits for the first query, after the window is up, so start-up
  // does not pay for it; the key-state query answers until then.
  if (keyboardHook_) {
    keyboardHook_.reset();
    keyboardHook_ = std::make_unique<KeyboardHook>(presses_);
  } else {
    hookPending_ = true;
  }
  return presses_.open();
}

void Win32Port::closeKeyWatcher(KeyWatcherId watcher) {
  presses_.close(watcher);
  if (presses_.empty()) {
    keyboardHook_.reset();
    hookPending_ = false;
  }
}

// The key-state query gives "down now"; its own "pressed since" bit is one
// for every caller, so it only adds what the hook may have missed (a hook
// not installed, or dropped by the system).
KeyReport Win32Port::queryKey(KeyWatcherId watcher, int vk) {
  if (hookPending_) {
    hookPending_ = false;
    keyboardHook_ = std::make_unique<KeyboardHook>(presses_);
  }
  const SHORT state = vk >= 0 && vk < 256 ? GetAsyncKeyState(vk) : 0;
  const bool pressed = presses_.take(watcher, vk);
  return KeyReport{state < 0, pressed || (state & 1) != 0};
}

std::uint32_t Win32Port::inputIdleMilliseconds() {
  LASTINPUTINFO info{sizeof info, 0};
  if (!GetLastInputInfo(&info))
    return 0; // unknown: as if input had just come
  return GetTickCount() - info.dwTime;
}

void Win32Port::keybdEvent(std::uint8_t vk, std::uint8_t scan, KeyAction flags,
                           std::uint32_t extra) {
  keybd_event(vk, scan, toBits(flags, KeyActionBits), extra);
}

void Win32Port::mouseEvent(MouseAction flags, std::int32_t dx, std::int32_t dy, std::uint32_t data,
                           std::uint32_t extra) {
  mouse_event(toBits(flags, MouseActionBits), static_cast<DWORD>(dx), static_cast<DWORD>(dy), data,
              extra);
}

} // namespace pexor::win32
