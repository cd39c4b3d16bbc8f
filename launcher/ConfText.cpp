#include "launcher/ConfText.h"

#include "platform/Error.h"

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

std::string replaceValue(std::string_view text, std::string_view key, std::string_view oldValue,
                         std::string_view newValue) {
  const std::string from = std::string(key) + std::string(oldValue);
  const std::string to = std::string(key) + std::string(newValue);
  std::string out;
  out.reserve(text.size() + to.size());
  size_t pos = 0;
  for (size_t at = text.find(from); at != std::string_view::npos; at = text.find(from, pos)) {
    out.append(text, pos, at - pos);
    out += to;
    pos = at + from.size();
  }
  out.append(text, pos);
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
