#include "tests/sim/Folding.h"

#include <cstdint>

namespace pexor::sim {

namespace {

std::uint32_t lowerOf(std::uint32_t cp) {
  if (cp >= 'A' && cp <= 'Z')
    return cp + 0x20;
  if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7)
    return cp + 0x20;
  if (cp >= 0x0400 && cp <= 0x040F)
    return cp + 0x50;
  if (cp >= 0x0410 && cp <= 0x042F)
    return cp + 0x20;
  return cp;
}

void append(std::string &out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

} // namespace

std::string fold(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 < 0x80) {
      out += static_cast<char>(lowerOf(b0));
      ++i;
    } else if ((b0 & 0xE0) == 0xC0 && i + 1 < text.size()) {
      const std::uint32_t cp =
          ((b0 & 0x1Fu) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
      append(out, lowerOf(cp));
      i += 2;
    } else {
      // Other sequences have no case the sim folds; copy them as they are.
      out += text[i];
      ++i;
    }
  }
  return out;
}

bool sameText(std::string_view a, std::string_view b) { return fold(a) == fold(b); }

} // namespace pexor::sim
