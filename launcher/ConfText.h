#pragma once

#include <string>
#include <string_view>

namespace pexor::conf {

inline constexpr std::string_view ResolutionKey = "fullresolution=";
inline constexpr std::string_view CyclesKey = "cycles=";

// The value the emulator uses: the text after the key on the last line that
// sets it (the key first on its line, after blanks), else after the key's
// first occurrence; up to the first CR or LF (or to the end when no line
// break follows). "" when the key is missing.
std::string keyValue(std::string_view text, std::string_view key);

// The value keyValue finds becomes `value`; every other byte stays as it
// was. The text as it is when the key is missing.
std::string setValue(std::string_view text, std::string_view key, std::string_view value);

// "1024x768" -> 1024 and 768: the numbers before and after the first "x".
struct Size {
  long width = 0;
  long height = 0;
};
Size parseResolution(std::string_view entry);

} // namespace pexor::conf
