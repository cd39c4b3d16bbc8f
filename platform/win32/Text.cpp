#include "platform/win32/Text.h"

#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Port.h"

namespace pexor::win32 {

std::wstring widen(std::string_view utf8) {
  if (utf8.empty())
    return {};
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring out(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, out.data(), length);
  return out;
}

std::string narrow(std::wstring_view utf16) {
  if (utf16.empty())
    return {};
  const int size = static_cast<int>(utf16.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, out.data(), length, nullptr, nullptr);
  return out;
}

// No character replaced by the default one, none by a look-alike (best fit).
// UTF-8 as the ANSI code page spells everything, and takes neither flag.
bool Win32Port::ansiCodePageHolds(const std::string &text) {
  const std::wstring wide = widen(text);
  if (wide.empty() || GetACP() == CP_UTF8)
    return true;
  BOOL usedDefault = FALSE;
  const int length =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                          nullptr, 0, nullptr, &usedDefault);
  return length > 0 && usedDefault == FALSE;
}

} // namespace pexor::win32
