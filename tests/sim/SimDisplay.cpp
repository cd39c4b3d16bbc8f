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
    const auto it = std::find_if(modes_.begin(), modes_.end(), [&](const DisplayMode &m) {
      return static_cast<int>(m.dmPelsWidth) == screenW_ &&
             static_cast<int>(m.dmPelsHeight) == screenH_;
    });
    mode = it != modes_.end() ? *it : makeMode(screenW_, screenH_);
    call.result = true;
  } else if (modeNumber >= 0 && static_cast<std::size_t>(modeNumber) < modes_.size()) {
    mode = modes_[static_cast<std::size_t>(modeNumber)];
    call.result = true;
  }
  // Past the end the record is left exactly as it came.
  enumCalls_.push_back(call);
  return call.result;
}

long SimDesktop::changeDisplaySettings(DisplayMode &mode) {
  DisplayChange change{mode, DispChangeBadMode};
  const bool offered = std::any_of(modes_.begin(), modes_.end(), [&](const DisplayMode &m) {
    return m.dmPelsWidth == mode.dmPelsWidth && m.dmPelsHeight == mode.dmPelsHeight;
  });
  if (has(mode.dmFields, DisplayField::PelsWidth | DisplayField::PelsHeight) && offered) {
    screenW_ = static_cast<int>(mode.dmPelsWidth);
    screenH_ = static_cast<int>(mode.dmPelsHeight);
    change.result = DispChangeSuccessful;
  }
  displayChanges_.push_back(change);
  return change.result;
}

} // namespace pexor::sim
