#include "platform/win32/FormWindow.h"
#include "platform/win32/Win32Port.h"

namespace pexor::win32 {

// SetTimer with an id already running restarts its countdown.
void Win32Port::startTimer(Hwnd form, int timerId, int intervalMs) {
  if (FormWindow *window = find(form))
    window->startTimer(timerId, intervalMs);
}

void Win32Port::stopTimer(Hwnd form, int timerId) {
  if (FormWindow *window = find(form))
    window->stopTimer(timerId);
}

void Win32Port::endProgram() { PostQuitMessage(0); }

std::uint64_t Win32Port::tickCount() { return GetTickCount64(); }

} // namespace pexor::win32
