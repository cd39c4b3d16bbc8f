#pragma once

#include "platform/Flags.h"

#include <cstdint>

namespace pexor {

// Key codes by the numbers the system uses for them: its windows show them
// and its key scans walk the codes 0 to 255.
enum class VirtualKey : std::uint8_t {
  Tab = 9,
  Return = 13,
  Shift = 16,
  Control = 17,
  Menu = 18, // either Alt
  Escape = 27,
  LeftWin = 91,
  RightWin = 92,
  LeftShift = 160,
  RightShift = 161,
  LeftControl = 162,
  RightControl = 163,
  LeftMenu = 164,
  RightMenu = 165,
};

constexpr int code(VirtualKey key) { return static_cast<int>(key); }

inline constexpr int LastKeyCode = 255;

// The keys the launcher acts on, which its trace may name: the Windows keys,
// Alt, Enter and Esc. Every other key is what a user types, in the game or in
// any other program, and no line ever tells of it.
constexpr bool traceMayName(int vk) {
  switch (vk) {
  case code(VirtualKey::LeftWin):
  case code(VirtualKey::RightWin):
  case code(VirtualKey::Menu):
  case code(VirtualKey::LeftMenu):
  case code(VirtualKey::RightMenu):
  case code(VirtualKey::Return):
  case code(VirtualKey::Escape):
    return true;
  default:
    return false;
  }
}

// What one synthesised key event does.
enum class KeyAction : std::uint8_t {
  Press = 0,
  ExtendedKey = 1 << 0,
  Release = 1 << 1,
};
template <> inline constexpr bool IsFlagSet<KeyAction> = true;

// What one synthesised mouse event does; with Absolute the position is in
// normalised units of the primary display (0 to 65535).
enum class MouseAction : std::uint8_t {
  Move = 1 << 0,
  LeftDown = 1 << 1,
  LeftUp = 1 << 2,
  Absolute = 1 << 3,
};
template <> inline constexpr bool IsFlagSet<MouseAction> = true;

} // namespace pexor
