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
      // Folding keeps a two-byte code point within two bytes.
      const std::uint32_t lower = lowerOf(cp);
      out += static_cast<char>(0xC0 | (lower >> 6));
      out += static_cast<char>(0x80 | (lower & 0x3F));
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
