#include "launcher/ConfText.h"

#include "platform/Error.h"

#include <algorithm>
#include <charconv>

namespace pexor::conf {

namespace {

// Whether only blanks stand between the line's start and `at`.
bool beginsLine(std::string_view text, size_t at) {
  while (at > 0 && (text[at - 1] == ' ' || text[at - 1] == '\t'))
    --at;
  return at == 0 || text[at - 1] == '\r' || text[at - 1] == '\n';
}

// Where the key's value starts, npos when the key is missing. The emulator
// reads the file line by line and the last line that sets a key wins, so
// that line's value is the one shown and edited; a mention inside a line (a
// comment, say) counts only when no line sets the key.
size_t valueStart(std::string_view text, std::string_view key) {
  size_t first = std::string_view::npos;
  size_t lastSetting = std::string_view::npos;
  for (size_t at = text.find(key); at != std::string_view::npos; at = text.find(key, at + 1)) {
    if (first == std::string_view::npos)
      first = at;
    if (beginsLine(text, at))
      lastSetting = at;
  }
  const size_t at = lastSetting != std::string_view::npos ? lastSetting : first;
  return at == std::string_view::npos ? at : at + key.size();
}

} // namespace

std::string keyValue(std::string_view text, std::string_view key) {
  const size_t start = valueStart(text, key);
  if (start == std::string_view::npos)
    return {};
  const size_t end = text.find_first_of("\r\n", start);
  return std::string(text.substr(start, end == std::string_view::npos ? end : end - start));
}

std::string setValue(std::string_view text, std::string_view key, std::string_view value) {
  const size_t start = valueStart(text, key);
  if (start == std::string_view::npos)
    return std::string(text);
  const size_t end = std::min(text.find_first_of("\r\n", start), text.size());
  std::string out(text.substr(0, start));
  out += value;
  out += text.substr(end);
  return out;
}

namespace {

long wholeNumber(std::string_view digits) {
  // Leading and trailing blanks are allowed, as the classic conversion does.
  while (!digits.empty() && digits.front() == ' ')
    digits.remove_prefix(1);
  while (!digits.empty() && digits.back() == ' ')
    digits.remove_suffix(1);
  long value = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size())
    throw Error(err::TypeMismatch, "Type mismatch");
  return value;
}

} // namespace

Size parseResolution(std::string_view entry) {
  const size_t x = entry.find('x');
  if (x == std::string_view::npos)
    throw Error(err::TypeMismatch, "Type mismatch");
  return {wholeNumber(entry.substr(0, x)), wholeNumber(entry.substr(x + 1))};
}

} // namespace pexor::conf
