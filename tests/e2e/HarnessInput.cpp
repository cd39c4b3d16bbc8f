// Real mouse and keyboard input through SendInput.
#include "tests/e2e/Harness.h"
#include "tests/e2e/HarnessWin32.h"

#include <ranges>

namespace e2e {

using namespace detail;

namespace {

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
  Sleep(KeyPaceMs);
  keyUp(vk);
  Sleep(KeyPaceMs);
}

void pressChord(std::initializer_list<WORD> keys) {
  for (WORD vk : keys) {
    keyDown(vk);
    Sleep(KeyPaceMs);
  }
  for (WORD vk : std::views::reverse(keys)) {
    keyUp(vk);
    Sleep(KeyPaceMs);
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

} // namespace e2e
