#pragma once

#include <string>
#include <string_view>

namespace pexor::sim {

// Upper and lower case made equal, as NTFS compares names: ASCII, Latin-1
// and Cyrillic letters of UTF-8 text.
std::string fold(std::string_view text);

bool sameText(std::string_view a, std::string_view b);

} // namespace pexor::sim
