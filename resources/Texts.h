#pragma once

#include <string>
#include <string_view>

namespace pexor::resources {

// A window text by key, decoded from code page 1251 to UTF-8. An unknown key
// is a programming error and raises.
const std::string &text(std::string_view key);

// Code page 1251 bytes to UTF-8.
std::string cp1251ToUtf8(std::string_view bytes);

} // namespace pexor::resources
