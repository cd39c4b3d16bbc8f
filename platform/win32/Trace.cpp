#include "platform/win32/Win32Port.h"

#include <string>

namespace pexor::win32 {

// Windows' own channel: without a listener it costs a few microseconds. The
// lines are ASCII, so the narrow call: Wine's +debugstr channel shows only
// its lines.
void traceLine(std::string_view event) {
  const std::string line =
      "pexor " + std::to_string(GetTickCount64()) + " ms: " + std::string(event) + "\n";
  OutputDebugStringA(line.c_str());
}

void Win32Port::trace(const std::string &event) { traceLine(event); }

} // namespace pexor::win32
