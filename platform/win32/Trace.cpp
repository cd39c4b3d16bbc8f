#include "platform/win32/Win32Port.h"

#include <cstdio>
#include <string>

namespace pexor::win32 {

namespace {

bool askedForAtStart() {
  wchar_t value[4] = {};
  const DWORD length = GetEnvironmentVariableW(L"PEXOR_TRACE", value, 4);
  return length == 1 && value[0] == L'1';
}

} // namespace

// Read once: the keyboard hook's thread asks at every key.
bool traceWanted() {
  static const bool wanted = askedForAtStart();
  return wanted;
}

// Windows' own channel: without a listener it costs a few microseconds. The
// lines are ASCII, so the narrow call: Wine's +debugstr channel shows only
// its lines.
// The time is the performance counter's, in milliseconds to the microsecond:
// one clock for every program of the session, so a benchmark can place each
// line against the moment it started the program.
void traceLine(std::string_view event) {
  if (!traceWanted())
    return;
  static const double perMs = [] {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  char time[32];
  std::snprintf(time, sizeof time, "%.3f", static_cast<double>(now.QuadPart) / perMs);
  const std::string line = "pexor " + std::string(time) + " ms: " + std::string(event) + "\n";
  OutputDebugStringA(line.c_str());
}

bool Win32Port::tracing() { return traceWanted(); }

void Win32Port::trace(const std::string &event) { traceLine(event); }

} // namespace pexor::win32
