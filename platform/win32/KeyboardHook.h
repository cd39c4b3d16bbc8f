#pragma once

#include "platform/KeyWatch.h"
#include "platform/win32/Win32Api.h"

namespace pexor::win32 {

// Records every key press of the desktop as it happens, whichever program
// has the keyboard, for as long as this object lives. It runs on the thread
// that installs it, which pumps messages. Not installed when the system
// refuses it; the watchers then rest on the key-state query alone.
class KeyboardHook {
public:
  explicit KeyboardHook(KeyPresses &presses);
  KeyboardHook(const KeyboardHook &) = delete;
  KeyboardHook &operator=(const KeyboardHook &) = delete;
  ~KeyboardHook();

  bool installed() const { return hook_ != nullptr; }

private:
  HHOOK hook_ = nullptr;
};

} // namespace pexor::win32
