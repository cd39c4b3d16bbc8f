#include "tests/sim/SimDesktop.h"

namespace pexor::sim {

namespace {

bool inRange(int vk) { return vk >= 0 && vk < 256; }

// The generic Shift, Ctrl and Alt codes, reported while either side is down.
int genericOf(int vk) {
  if (vk == 160 || vk == 161)
    return VK_SHIFT_KEY;
  if (vk == 162 || vk == 163)
    return VK_CONTROL_KEY;
  if (vk == 164 || vk == 165)
    return VK_MENU_KEY;
  return -1;
}

// The left key a generic code stands for.
int leftOf(int vk) {
  if (vk == VK_SHIFT_KEY)
    return 160;
  if (vk == VK_CONTROL_KEY)
    return 162;
  if (vk == VK_MENU_KEY)
    return 164;
  return -1;
}

} // namespace

void SimDesktop::keyChange(int vk, bool down) {
  const auto set = [this](int code, bool isDown) {
    const auto i = static_cast<std::size_t>(code);
    if (isDown && !down_[i]) {
      presses_.pressed(code);
      pressedAt_[i] = now_;
    }
    down_[i] = isDown;
  };
  if (!inRange(vk))
    return;
  lastInputAt_ = now_;
  // The keyboard tells the release of the key itself, as the real hook does.
  if (!down && down_[static_cast<std::size_t>(vk)])
    presses_.keyReleased(vk);
  if (const int generic = genericOf(vk); generic >= 0) {
    set(vk, down);
    const int left = generic == VK_SHIFT_KEY ? 160 : generic == VK_CONTROL_KEY ? 162 : 164;
    set(generic,
        down_[static_cast<std::size_t>(left)] || down_[static_cast<std::size_t>(left + 1)]);
  } else if (const int left = leftOf(vk); left >= 0) {
    set(left, down);
    set(vk, down || down_[static_cast<std::size_t>(left + 1)]);
  } else {
    set(vk, down);
  }
}

void SimDesktop::press(int vk) { keyChange(vk, true); }
void SimDesktop::release(int vk) { keyChange(vk, false); }

void SimDesktop::tap(int vk) {
  press(vk);
  release(vk);
}

bool SimDesktop::keyDown(int vk) const {
  return inRange(vk) && down_[static_cast<std::size_t>(vk)];
}

std::uint32_t SimDesktop::inputIdleMilliseconds() {
  return static_cast<std::uint32_t>(now_ - lastInputAt_);
}

KeyWatcherId SimDesktop::openKeyWatcher() {
  ++keyWatchers_;
  return presses_.open();
}

void SimDesktop::closeKeyWatcher(KeyWatcherId watcher) {
  --keyWatchers_;
  presses_.close(watcher);
}

KeyReport SimDesktop::queryKey(KeyWatcherId watcher, int vk) {
  ++keyQueries_;
  KeyReport report = presses_.take(watcher, vk);
  report.downNow = keyDown(vk) && !keyStateLags(vk);
  return report;
}

void SimDesktop::keybdEvent(std::uint8_t vk, std::uint8_t scan, KeyAction flags,
                            std::uint32_t extra) {
  keyEvents_.push_back(KeyEvent{vk, scan, flags, extra});
  keyChange(vk, !has(flags, KeyAction::Release));
}

void SimDesktop::mouseEvent(MouseAction flags, std::int32_t dx, std::int32_t dy, std::uint32_t data,
                            std::uint32_t extra) {
  mouseEvents_.push_back(MouseEvent{flags, dx, dy, data, extra});
  lastInputAt_ = now_;
  // A press of the left button activates the window under the pointer, as
  // Windows does, unless it is a form that takes no foreground.
  if (!has(flags, MouseAction::LeftDown) || !has(flags, MouseAction::Absolute))
    return;
  const auto pixel = [](std::int32_t normalised, int span) {
    return static_cast<int>(static_cast<std::int64_t>(normalised) * span / 65536);
  };
  const int x = pixel(dx, screenW_);
  const int y = pixel(dy, screenH_);
  for (const Hwnd hwnd : zOrder_) {
    const Window *window = live(hwnd);
    const WinRect r = rectOf(*window);
    if (!window->visible || x < r.left || x >= r.right || y < r.top || y >= r.bottom)
      continue;
    if (!window->form || window->form->view.activates) {
      raise(hwnd);
      foreground_ = hwnd;
    }
    return;
  }
}

} // namespace pexor::sim
