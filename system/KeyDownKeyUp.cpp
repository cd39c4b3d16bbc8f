#include "system/KeyDownKeyUp.h"

namespace pexor {

namespace {

std::uint8_t toByte(std::int32_t vk) {
  if (vk < 0 || vk > LastKeyCode)
    throw Error(err::Overflow, "Overflow");
  return static_cast<std::uint8_t>(vk);
}

} // namespace

void KeyDown(System &sys, std::int32_t vk) {
  sys.port.keybdEvent(toByte(vk), 0, KeyAction::ExtendedKey, 0);
}

void KeyUp(System &sys, std::int32_t vk) {
  sys.port.keybdEvent(toByte(vk), 0, KeyAction::ExtendedKey | KeyAction::Release, 0);
}

} // namespace pexor
