#include "tests/sim/CodePages.h"

#include "resources/Texts.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pexor::sim {

namespace {

// The next code point of UTF-8 text from `pos` on; nullopt when the bytes are
// not UTF-8.
std::optional<std::uint32_t> next(std::string_view text, std::size_t &pos) {
  const auto lead = static_cast<unsigned char>(text[pos++]);
  if (lead < 0x80)
    return lead;
  const int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
  if (more < 0 || lead > 0xF4 || pos + static_cast<std::size_t>(more) > text.size())
    return std::nullopt;
  std::uint32_t cp = lead & (0x3Fu >> more);
  for (int i = 0; i < more; ++i) {
    const auto b = static_cast<unsigned char>(text[pos++]);
    if ((b & 0xC0) != 0x80)
      return std::nullopt;
    cp = (cp << 6) | (b & 0x3Fu);
  }
  return cp;
}

// 0x80 to 0x9F of code page 1252; 0 where it has no character. 0xA0 to 0xFF
// are U+00A0 to U+00FF.
constexpr std::array<std::uint16_t, 32> Western = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The characters above 127 of code page 1251, from the launcher's own table.
const std::vector<std::uint32_t> &cyrillic() {
  static const std::vector<std::uint32_t> points = [] {
    std::string high;
    for (int b = 0x80; b <= 0xFF; ++b)
      high += static_cast<char>(b);
    const std::string utf8 = resources::cp1251ToUtf8(high);
    std::vector<std::uint32_t> found;
    for (std::size_t pos = 0; pos < utf8.size();)
      if (const auto cp = next(utf8, pos); cp && *cp != 0xFFFD)
        found.push_back(*cp);
    std::sort(found.begin(), found.end());
    return found;
  }();
  return points;
}

bool spells(int codePage, std::uint32_t cp) {
  if (cp < 0x80 || codePage == 65001)
    return true;
  if (codePage == 1251)
    return std::binary_search(cyrillic().begin(), cyrillic().end(), cp);
  if (codePage == 1252)
    return (cp >= 0xA0 && cp <= 0xFF) ||
           std::find(Western.begin(), Western.end(), cp) != Western.end();
  return false;
}

} // namespace

bool codePageSpells(int codePage, std::string_view utf8) {
  for (std::size_t pos = 0; pos < utf8.size();) {
    const std::optional<std::uint32_t> cp = next(utf8, pos);
    if (!cp || !spells(codePage, *cp))
      return false;
  }
  return true;
}

} // namespace pexor::sim
