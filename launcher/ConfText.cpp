#include "launcher/ConfText.h"

#include "platform/Error.h"

#include <algorithm>
#include <charconv>

namespace pexor::conf {

std::string keyValue(std::string_view text, std::string_view key) {
  const size_t at = text.find(key);
  if (at == std::string_view::npos)
    return {};
  const size_t start = at + key.size();
  const size_t end = text.find_first_of("\r\n", start);
  return std::string(text.substr(start, end == std::string_view::npos ? end : end - start));
}

std::string setValue(std::string_view text, std::string_view key, std::string_view value) {
  const size_t at = text.find(key);
  if (at == std::string_view::npos)
    return std::string(text);
  const size_t start = at + key.size();
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
