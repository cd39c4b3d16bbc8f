// Keys and the mouse: the key watchers, and input made as if typed.
#include "platform/win32/KeyboardHook.h"
#include "platform/win32/Vocabulary.h"
#include "platform/win32/Win32Port.h"

#include <string>

namespace pexor::win32 {

// The hook goes in at the first query, after the window is up, so start-up
// does not pay for it; the key-state query answers until then. Once in, it
// stays until the last watcher closes: on its own thread it is never kept
// waiting, so the system has no reason to drop it.
KeyWatcherId Win32Port::openKeyWatcher() { return presses_.open(); }

void Win32Port::closeKeyWatcher(KeyWatcherId watcher) {
  presses_.close(watcher);
  if (presses_.empty())
    keyboardHook_.reset();
}

// The key-state query gives "down now"; its own "pressed since" bit is one
// for every caller of the desktop, so it only adds what the hook may have
// missed (a hook not installed yet, or a keystroke the system let by the
// hook on a loaded machine), and adds it for every watcher: the launcher's
// own 50 ms scan must not take it from the mandatory-action window.
KeyReport Win32Port::queryKey(KeyWatcherId watcher, int vk) {
  if (!keyboardHook_ && !presses_.empty())
    keyboardHook_ = std::make_unique<KeyboardHook>(presses_);
  const SHORT state = vk >= 0 && vk <= LastKeyCode ? GetAsyncKeyState(vk) : SHORT{0};
  // Mouse buttons never pass the keyboard hook: no news in the trace.
  const bool mouseButton = vk == VK_LBUTTON || vk == VK_RBUTTON || vk == VK_MBUTTON ||
                           vk == VK_XBUTTON1 || vk == VK_XBUTTON2;
  if ((state & 1) != 0 && presses_.queryReportedPress(vk) && !mouseButton && traceWanted() &&
      traceMayName(vk))
    traceLine("key-state query: key " + std::to_string(vk) + " pressed, unseen by the hook");
  KeyReport report = presses_.take(watcher, vk);
  report.downNow = state < 0;
  return report;
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
