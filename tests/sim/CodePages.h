#pragma once

#include <string_view>

namespace pexor::sim {

// Whether the code page (1251, 1252 or 65001) spells every character of the
// UTF-8 text, as WideCharToMultiByte without best fit tells it. Text that is
// not UTF-8 is spelled by none.
bool codePageSpells(int codePage, std::string_view utf8);

} // namespace pexor::sim
