#pragma once

#include "platform/Flags.h"

#include <cstddef>
#include <cstdint>

namespace pexor {

// Which fields of a display mode are set.
enum class DisplayField : std::uint32_t {
  None = 0,
  BitsPerPel = 1 << 0,
  PelsWidth = 1 << 1,
  PelsHeight = 1 << 2,
  DisplayFrequency = 1 << 3,
};
template <> inline constexpr bool IsFlagSet<DisplayField> = true;

// A display mode, laid out as the leading 124 bytes of the ANSI display-mode
// record, field for field.
struct DisplayMode {
  char dmDeviceName[32];
  std::uint16_t dmSpecVersion;
  std::uint16_t dmDriverVersion;
  std::uint16_t dmSize;
  std::uint16_t dmDriverExtra;
  DisplayField dmFields;
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

} // namespace pexor
