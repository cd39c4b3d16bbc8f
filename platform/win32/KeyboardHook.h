#pragma once

#include "platform/KeyWatch.h"
#include "platform/win32/Win32Api.h"

#include <thread>

namespace pexor::win32 {

// Records every key press of the desktop as it happens, whichever program
// has the keyboard, for as long as this object lives. The hook runs on a
// thread of its own that does nothing else, so no keystroke waits for the
// window thread and the system never drops the hook for being slow. Not
// installed when the system refuses it (or a thread for it); the watchers
// then rest on the key-state query alone. `presses` must outlive this object.
class KeyboardHook {
public:
  // Returns once the hook is in or refused.
  explicit KeyboardHook(KeyPresses &presses);
  KeyboardHook(const KeyboardHook &) = delete;
  KeyboardHook &operator=(const KeyboardHook &) = delete;
  ~KeyboardHook();

  bool installed() const { return threadId_ != 0; }

private:
  DWORD threadId_ = 0; // the hook's thread, while its hook is in
  std::jthread thread_;
};

} // namespace pexor::win32
