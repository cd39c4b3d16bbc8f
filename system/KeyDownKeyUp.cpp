#include "system/KeyDownKeyUp.h"

namespace pexor {

namespace {

constexpr std::uint32_t ExtendedKey = 0x0001;
constexpr std::uint32_t KeyUpFlag = 0x0002;

std::uint8_t toByte(std::int32_t vk) {
  if (vk < 0 || vk > 255)
    throw Error(err::Overflow, "Overflow");
  return static_cast<std::uint8_t>(vk);
}

} // namespace

void KeyDown(System &sys, std::int32_t vk) { sys.port.keybdEvent(toByte(vk), 0, ExtendedKey, 0); }

void KeyUp(System &sys, std::int32_t vk) {
  sys.port.keybdEvent(toByte(vk), 0, ExtendedKey | KeyUpFlag, 0);
}

} // namespace pexor
