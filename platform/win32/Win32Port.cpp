#include "platform/win32/Win32Port.h"

#include "platform/win32/FormWindow.h"
#include "platform/win32/KeyboardHook.h"

namespace pexor::win32 {

Win32Port::Win32Port() = default;

Win32Port::~Win32Port() {
  instanceWindow_.reset();
  forms_.clear();
  retired_.clear();
  if (formClassRegistered_)
    FormWindow::unregisterClass(GetModuleHandleW(nullptr));
  // Closing the launch job's last handle ends every process in it, this one
  // too, in the middle of its close (Wine's server does not survive that):
  // the handle goes with the process instead.
  (void)launchJob_.release();
}

void Win32Port::leaveMessage() {
  if (--messageDepth_ == 0 && !retired_.empty()) {
    auto retired = std::move(retired_);
    retired_.clear();
  }
}

} // namespace pexor::win32
