#pragma once

#include <string>
#include <string_view>

namespace pexor::win32 {

// UTF-8 (the core's strings) to UTF-16 (the Unicode API's) and back.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

} // namespace pexor::win32
