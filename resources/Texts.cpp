#include "resources/Texts.h"

#include "platform/Error.h"

#include <cstdint>
#include <map>

namespace pexor::resources {

namespace {

constexpr unsigned char Embedded[] = {
#include "texts_cp1251.inc"
};

// Code points of 0x80 to 0xBF; 0xC0 to 0xFF are U+0410 to U+044F in order.
constexpr std::uint16_t High[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

void appendUtf8(std::string &out, std::uint32_t cp) {
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

std::map<std::string, std::string, std::less<>> parse() {
  std::map<std::string, std::string, std::less<>> table;
  const std::string_view all(reinterpret_cast<const char *>(Embedded), sizeof Embedded);
  size_t pos = 0;
  while (pos < all.size()) {
    size_t end = all.find_first_of("\r\n", pos);
    if (end == std::string_view::npos)
      end = all.size();
    const std::string_view line = all.substr(pos, end - pos);
    pos = all.find_first_not_of("\r\n", end);
    if (pos == std::string_view::npos)
      pos = all.size();
    const size_t eq = line.find('=');
    if (line.empty() || line[0] == '#' || eq == std::string_view::npos)
      continue;
    table.emplace(std::string(line.substr(0, eq)), cp1251ToUtf8(line.substr(eq + 1)));
  }
  return table;
}

} // namespace

std::string cp1251ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80)
      out += c;
    else if (b >= 0xC0)
      appendUtf8(out, 0x0410u + (b - 0xC0u));
    else
      appendUtf8(out, High[b - 0x80]);
  }
  return out;
}

const std::string &text(std::string_view key) {
  static const auto table = parse();
  const auto it = table.find(key);
  if (it == table.end())
    throw Error(err::InvalidProcedureCall, "Missing text " + std::string(key));
  return it->second;
}

} // namespace pexor::resources
