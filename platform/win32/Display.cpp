#include "platform/win32/Win32Port.h"

#include "platform/win32/Vocabulary.h"
#include "platform/win32/Win32Api.h"

#include <cstring>

namespace pexor::win32 {

namespace {

// The Unicode record is the ANSI one with its two names widened: 64 bytes more.
constexpr WORD WideExtra = sizeof(DEVMODEW::dmDeviceName) / 2 + sizeof(DEVMODEW::dmFormName) / 2;

void widenName(const char (&from)[32], WCHAR (&to)[32]) {
  MultiByteToWideChar(CP_ACP, 0, from, static_cast<int>(strnlen(from, 32)), to, 32);
}

void narrowName(const WCHAR (&from)[32], char (&to)[32]) {
  std::memset(to, 0, sizeof to);
  WideCharToMultiByte(CP_ACP, 0, from, static_cast<int>(wcsnlen(from, 32)), to, 32, nullptr,
                      nullptr);
}

DEVMODEW toWide(const DisplayMode &mode) {
  DEVMODEW wide{};
  widenName(mode.dmDeviceName, wide.dmDeviceName);
  wide.dmSpecVersion = mode.dmSpecVersion;
  wide.dmDriverVersion = mode.dmDriverVersion;
  wide.dmSize = sizeof(DEVMODEW);
  wide.dmDriverExtra = 0; // the record has no room for driver data
  wide.dmFields = toBits(mode.dmFields, DisplayFieldBits);
  wide.dmPosition.x = mode.dmPositionX;
  wide.dmPosition.y = mode.dmPositionY;
  wide.dmDisplayOrientation = mode.dmDisplayOrientation;
  wide.dmDisplayFixedOutput = mode.dmDisplayFixedOutput;
  wide.dmColor = mode.dmColor;
  wide.dmDuplex = mode.dmDuplex;
  wide.dmYResolution = mode.dmYResolution;
  wide.dmTTOption = mode.dmTTOption;
  wide.dmCollate = mode.dmCollate;
  widenName(mode.dmFormName, wide.dmFormName);
  wide.dmLogPixels = mode.dmLogPixels;
  wide.dmBitsPerPel = mode.dmBitsPerPel;
  wide.dmPelsWidth = mode.dmPelsWidth;
  wide.dmPelsHeight = mode.dmPelsHeight;
  wide.dmDisplayFlags = mode.dmDisplayFlags;
  wide.dmDisplayFrequency = mode.dmDisplayFrequency;
  return wide;
}

void fromWide(const DEVMODEW &wide, DisplayMode &mode) {
  narrowName(wide.dmDeviceName, mode.dmDeviceName);
  mode.dmSpecVersion = wide.dmSpecVersion;
  mode.dmDriverVersion = wide.dmDriverVersion;
  mode.dmSize = static_cast<std::uint16_t>(wide.dmSize > WideExtra ? wide.dmSize - WideExtra : 0);
  mode.dmDriverExtra = wide.dmDriverExtra;
  mode.dmFields = fromBits(wide.dmFields, DisplayFieldBits);
  mode.dmPositionX = wide.dmPosition.x;
  mode.dmPositionY = wide.dmPosition.y;
  mode.dmDisplayOrientation = wide.dmDisplayOrientation;
  mode.dmDisplayFixedOutput = wide.dmDisplayFixedOutput;
  mode.dmColor = wide.dmColor;
  mode.dmDuplex = wide.dmDuplex;
  mode.dmYResolution = wide.dmYResolution;
  mode.dmTTOption = wide.dmTTOption;
  mode.dmCollate = wide.dmCollate;
  narrowName(wide.dmFormName, mode.dmFormName);
  mode.dmLogPixels = wide.dmLogPixels;
  mode.dmBitsPerPel = wide.dmBitsPerPel;
  mode.dmPelsWidth = wide.dmPelsWidth;
  mode.dmPelsHeight = wide.dmPelsHeight;
  mode.dmDisplayFlags = wide.dmDisplayFlags;
  mode.dmDisplayFrequency = wide.dmDisplayFrequency;
}

} // namespace

bool Win32Port::enumDisplaySettings(std::int32_t modeNumber, DisplayMode &mode) {
  DEVMODEW wide = toWide(mode);
  const BOOL found = EnumDisplaySettingsW(nullptr, static_cast<DWORD>(modeNumber), &wide);
  fromWide(wide, mode);
  return found != FALSE;
}

long Win32Port::changeDisplaySettings(DisplayMode &mode) {
  DEVMODEW wide = toWide(mode);
  const LONG result = ChangeDisplaySettingsW(&wide, 0);
  fromWide(wide, mode);
  return result;
}

int Win32Port::screenWidthPixels() { return GetSystemMetrics(SM_CXSCREEN); }
int Win32Port::screenHeightPixels() { return GetSystemMetrics(SM_CYSCREEN); }

} // namespace pexor::win32
