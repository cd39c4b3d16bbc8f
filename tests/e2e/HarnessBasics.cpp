// Texts, bounded waits and handles: the pieces of the harness that need no
// test framework, so the benchmark driver stands on them too.
#include "tests/e2e/Harness.h"

namespace e2e {

// --- Texts --------------------------------------------------------------

std::wstring widen(std::string_view utf8) {
  if (utf8.empty())
    return {};
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string narrow(std::wstring_view wide) {
  if (wide.empty())
    return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

bool equalNoCase(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// --- Waiting ------------------------------------------------------------

bool waitUntil(const std::function<bool()> &condition, DWORD limitMs) {
  const ULONGLONG end = GetTickCount64() + limitMs;
  for (;;) {
    if (condition())
      return true;
    if (GetTickCount64() >= end)
      return false;
    Sleep(50);
  }
}

void pause(DWORD ms) { Sleep(ms); }

void HandleCloser::operator()(HANDLE handle) const {
  if (handle && handle != INVALID_HANDLE_VALUE)
    CloseHandle(handle);
}

} // namespace e2e
