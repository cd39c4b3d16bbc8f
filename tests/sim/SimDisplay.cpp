#include "tests/sim/SimDesktop.h"

#include <algorithm>
#include <cstring>

namespace pexor::sim {

namespace {
constexpr long DispChangeSuccessful = 0;
constexpr long DispChangeBadMode = -2;
constexpr std::int32_t EnumCurrentSettings = -1;
} // namespace

DisplayMode SimDesktop::makeMode(int width, int height, int bits, int hertz) {
  DisplayMode mode{};
  std::strcpy(mode.dmDeviceName, "\\\\.\\DISPLAY1");
  mode.dmSpecVersion = 0x0401;
  mode.dmSize = static_cast<std::uint16_t>(sizeof(DisplayMode));
  mode.dmFields = DisplayField::BitsPerPel | DisplayField::PelsWidth | DisplayField::PelsHeight |
                  DisplayField::DisplayFrequency;
  mode.dmBitsPerPel = static_cast<std::uint32_t>(bits);
  mode.dmPelsWidth = static_cast<std::uint32_t>(width);
  mode.dmPelsHeight = static_cast<std::uint32_t>(height);
  mode.dmDisplayFrequency = static_cast<std::uint32_t>(hertz);
  return mode;
}

void SimDesktop::setModes(const std::vector<std::pair<int, int>> &sizes) {
  modes_.clear();
  for (const auto &[width, height] : sizes)
    modes_.push_back(makeMode(width, height));
}

void SimDesktop::setModeList(const std::vector<DisplayMode> &modes) { modes_ = modes; }

void SimDesktop::setScreen(int width, int height) {
  screenW_ = width;
  screenH_ = height;
}

void SimDesktop::setScreenMode(const DisplayMode &mode) {
  setScreen(static_cast<int>(mode.dmPelsWidth), static_cast<int>(mode.dmPelsHeight));
  screenBits_ = mode.dmBitsPerPel;
  screenHertz_ = mode.dmDisplayFrequency;
}

void SimDesktop::setDpi(int dpi) {
  dpi_ = dpi;
  std::vector<Hwnd> forms;
  for (const auto &[hwnd, window] : windows_)
    if (window.form)
      forms.push_back(hwnd);
  // A handler may close forms on the way: each is looked up afresh.
  for (const Hwnd hwnd : forms) {
    reportResize(hwnd);
    if (const FormData *data = formData(hwnd); data != nullptr && data->sink != nullptr)
      data->sink->onDpiChanged();
  }
}

bool SimDesktop::enumDisplaySettings(std::int32_t modeNumber, DisplayMode &mode) {
  EnumCall call{modeNumber, mode, false};
  if (modeNumber == EnumCurrentSettings) {
    mode =
        makeMode(screenW_, screenH_, static_cast<int>(screenBits_), static_cast<int>(screenHertz_));
    call.result = true;
  } else if (modeNumber >= 0 && static_cast<std::size_t>(modeNumber) < modes_.size()) {
    mode = modes_[static_cast<std::size_t>(modeNumber)];
    call.result = true;
  }
  // Past the end the record is left exactly as it came.
  enumCalls_.push_back(call);
  return call.result;
}

// A mode of the list that has the record's size, and its depth and rate
// where its fields name them; of those, one at the depth and rate in effect,
// as the system keeps what it is not told to change.
long SimDesktop::changeDisplaySettings(DisplayMode &mode) {
  DisplayChange change{mode, DispChangeBadMode};
  const bool bits = has(mode.dmFields, DisplayField::BitsPerPel);
  const bool hertz = has(mode.dmFields, DisplayField::DisplayFrequency);
  const DisplayMode *chosen = nullptr;
  for (const DisplayMode &m : modes_) {
    if (m.dmPelsWidth != mode.dmPelsWidth || m.dmPelsHeight != mode.dmPelsHeight ||
        (bits && m.dmBitsPerPel != mode.dmBitsPerPel) ||
        (hertz && m.dmDisplayFrequency != mode.dmDisplayFrequency))
      continue;
    const bool asNow = m.dmBitsPerPel == screenBits_ && m.dmDisplayFrequency == screenHertz_;
    if (chosen == nullptr || asNow)
      chosen = &m;
    if (asNow)
      break;
  }
  if (has(mode.dmFields, DisplayField::PelsWidth | DisplayField::PelsHeight) && chosen != nullptr) {
    setScreenMode(*chosen);
    change.result = DispChangeSuccessful;
  }
  displayChanges_.push_back(change);
  return change.result;
}

} // namespace pexor::sim
