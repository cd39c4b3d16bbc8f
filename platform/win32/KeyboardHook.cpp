#include "platform/win32/KeyboardHook.h"

namespace pexor::win32 {

namespace {

// The hook procedure carries no context: the one record it feeds is kept
// here while the hook is installed.
KeyPresses *&hookTarget() {
  // NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables): as said above
  static KeyPresses *target = nullptr;
  return target;
}

LRESULT CALLBACK onLowLevelKey(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION && (message == WM_KEYDOWN || message == WM_SYSKEYDOWN))
    if (KeyPresses *presses = hookTarget())
      presses->keyPressed(
          static_cast<int>(reinterpret_cast<const KBDLLHOOKSTRUCT *>(data)->vkCode));
  return CallNextHookEx(nullptr, code, message, data);
}

} // namespace

KeyboardHook::KeyboardHook(KeyPresses &presses) {
  if (hookTarget() != nullptr)
    return; // one hook feeds one record
  hook_ = SetWindowsHookExW(WH_KEYBOARD_LL, &onLowLevelKey, GetModuleHandleW(nullptr), 0);
  if (hook_ != nullptr)
    hookTarget() = &presses;
}

KeyboardHook::~KeyboardHook() {
  if (hook_ == nullptr)
    return;
  UnhookWindowsHookEx(hook_);
  hookTarget() = nullptr;
}

} // namespace pexor::win32
