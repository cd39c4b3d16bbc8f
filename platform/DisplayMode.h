#pragma once

#include <cstddef>
#include <cstdint>

namespace pexor {

// The leading 124 bytes of the platform's DEVMODEA, field for field.
struct DisplayMode {
  char dmDeviceName[32];
  std::uint16_t dmSpecVersion;
  std::uint16_t dmDriverVersion;
  std::uint16_t dmSize;
  std::uint16_t dmDriverExtra;
  std::uint32_t dmFields;
  std::int32_t dmPositionX;
  std::int32_t dmPositionY;
  std::uint32_t dmDisplayOrientation;
  std::uint32_t dmDisplayFixedOutput;
  std::int16_t dmColor;
  std::int16_t dmDuplex;
  std::int16_t dmYResolution;
  std::int16_t dmTTOption;
  std::int16_t dmCollate;
  char dmFormName[32];
  std::uint16_t dmLogPixels;
  std::uint32_t dmBitsPerPel;
  std::uint32_t dmPelsWidth;
  std::uint32_t dmPelsHeight;
  std::uint32_t dmDisplayFlags;
  std::uint32_t dmDisplayFrequency;
};

static_assert(sizeof(DisplayMode) == 124);
static_assert(offsetof(DisplayMode, dmFields) == 40);
static_assert(offsetof(DisplayMode, dmBitsPerPel) == 104);
static_assert(offsetof(DisplayMode, dmPelsWidth) == 108);
static_assert(offsetof(DisplayMode, dmDisplayFrequency) == 120);

inline constexpr std::uint32_t DM_BITSPERPEL = 0x00040000;
inline constexpr std::uint32_t DM_PELSWIDTH = 0x00080000;
inline constexpr std::uint32_t DM_PELSHEIGHT = 0x00100000;
inline constexpr std::uint32_t DM_DISPLAYFREQUENCY = 0x00400000;

} // namespace pexor
