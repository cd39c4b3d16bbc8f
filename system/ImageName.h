#pragma once

#include <cstddef>
#include <string_view>

namespace pexor {

// Image names compare without regard to case, as the process table does.
inline bool sameImageName(std::string_view a, std::string_view b) {
  const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (upper(a[i]) != upper(b[i]))
      return false;
  return true;
}

} // namespace pexor
