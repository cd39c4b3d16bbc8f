#pragma once

#include <type_traits>

namespace pexor {

// An enum class whose enumerators are single bits opts in here to combine
// them with | and test them with has().
template <class E> inline constexpr bool IsFlagSet = false;

template <class E>
requires IsFlagSet<E>
constexpr E operator|(E a, E b) {
  using U = std::underlying_type_t<E>;
  return static_cast<E>(static_cast<U>(static_cast<U>(a) | static_cast<U>(b)));
}

// True when every bit of `flag` is set in `set`.
template <class E>
requires IsFlagSet<E>
constexpr bool has(E set, E flag) {
  using U = std::underlying_type_t<E>;
  return (static_cast<U>(set) & static_cast<U>(flag)) == static_cast<U>(flag);
}

} // namespace pexor
