#include "platform/win32/KeyboardHook.h"

#include "platform/win32/Handles.h"
#include "platform/win32/Win32Port.h"

#include <future>
#include <string>
#include <system_error>

namespace pexor::win32 {

namespace {

// The hook procedure carries no context: it runs on the thread that put the
// hook in, which keeps the record it feeds here.
KeyPresses *&hookTarget() {
  // NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables): as said above
  thread_local KeyPresses *target = nullptr;
  return target;
}

// Each key down and up the launcher acts on is traced with the time the
// keyboard gave it: the difference to the trace's own time is how long the
// hook waited. Every other key goes untold, its code and its time alike.
LRESULT CALLBACK onLowLevelKey(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION) {
    const auto &key = *reinterpret_cast<const KBDLLHOOKSTRUCT *>(data);
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    const int vk = static_cast<int>(key.vkCode);
    if (KeyPresses *presses = hookTarget(); presses != nullptr) {
      if (down)
        presses->keyPressed(vk);
      else
        presses->keyReleased(vk);
    }
    if (traceWanted() && traceMayName(vk))
      traceLine("hook: key " + std::to_string(vk) + (down ? " down" : " up") + ", typed at " +
                std::to_string(key.time) + " ms" +
                ((key.flags & LLKHF_INJECTED) != 0 ? ", injected" : ""));
  }
  return CallNextHookEx(nullptr, code, message, data);
}

// The hook's thread: puts the hook in, says so through `started` (its id,
// or 0 when refused), then serves the hook until told to quit.
void runHook(KeyPresses &presses, std::promise<DWORD> started) {
  MSG message;
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE); // the queue the quit is posted to
  // Every keystroke of the desktop waits for this thread, idle otherwise.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
  hookTarget() = &presses;
  const UniqueHook hook(
      SetWindowsHookExW(WH_KEYBOARD_LL, &onLowLevelKey, GetModuleHandleW(nullptr), 0));
  started.set_value(hook ? GetCurrentThreadId() : 0);
  if (!hook)
    return;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // the hook is called inside GetMessageW; nothing else comes
  }
}

} // namespace

KeyboardHook::KeyboardHook(KeyPresses &presses) {
  std::promise<DWORD> started;
  std::future<DWORD> threadId = started.get_future();
  try {
    thread_ = std::jthread(runHook, std::ref(presses), std::move(started));
  } catch (const std::system_error &) {
    return; // no thread to be had: as if the hook were refused
  }
  threadId_ = threadId.get();
}

KeyboardHook::~KeyboardHook() {
  if (threadId_ != 0)
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
  // thread_ is joined as it goes
}

} // namespace pexor::win32
