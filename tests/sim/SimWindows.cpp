#include "tests/sim/Folding.h"
#include "tests/sim/SimDesktop.h"

#include "platform/Units.h"

#include <algorithm>
#include <stdexcept>

namespace pexor::sim {

namespace {
// The form state a show command leaves; nullopt keeps the current one.
std::optional<int> stateAfter(ShowCommand command) {
  switch (command) {
  case ShowCommand::ShowNormal:
  case ShowCommand::Restore:
    return WindowState::Normal;
  case ShowCommand::ShowMinNoActive:
  case ShowCommand::Minimize:
    return WindowState::Minimized;
  case ShowCommand::Maximize:
    return WindowState::Maximized;
  case ShowCommand::Hide:
    break;
  }
  return std::nullopt;
}
} // namespace

SimDesktop::Window *SimDesktop::live(Hwnd hwnd) {
  const auto it = windows_.find(hwnd);
  return it == windows_.end() ? nullptr : &it->second;
}

const SimDesktop::Window *SimDesktop::live(Hwnd hwnd) const {
  const auto it = windows_.find(hwnd);
  return it == windows_.end() ? nullptr : &it->second;
}

Hwnd SimDesktop::newHandle() {
  const Hwnd hwnd = nextHandle_;
  nextHandle_ += 0x10;
  return hwnd;
}

// Brings the window to the top of its band: topmost windows stay above the
// others.
void SimDesktop::raise(Hwnd hwnd) {
  const Window *window = live(hwnd);
  if (window == nullptr)
    return;
  zOrder_.erase(std::remove(zOrder_.begin(), zOrder_.end(), hwnd), zOrder_.end());
  auto place = zOrder_.begin();
  if (!window->topmost)
    place = std::find_if(zOrder_.begin(), zOrder_.end(),
                         [this](Hwnd other) { return !live(other)->topmost; });
  zOrder_.insert(place, hwnd);
}

// The window loses the foreground to the highest other visible window.
void SimDesktop::dropForeground(Hwnd hwnd) {
  if (foreground_ != hwnd)
    return;
  foreground_ = 0;
  for (const Hwnd other : zOrder_) {
    const Window *window = live(other);
    if (other == hwnd || window == nullptr || !window->visible)
      continue;
    if (window->form && window->form->state == WindowState::Minimized)
      continue;
    foreground_ = other;
    return;
  }
}

WinRect SimDesktop::rectOf(const Window &window) const {
  if (!window.form)
    return window.rect;
  if (window.form->state == WindowState::Maximized)
    return WinRect{0, 0, screenW_, screenH_};
  const FormBounds &b = window.form->bounds;
  const auto px = [this](float twips) { return twipsToPixels(twips, dpi_); };
  return WinRect{px(b.left), px(b.top), px(b.left + b.width), px(b.top + b.height)};
}

// Pixels from the window operations; a form hears of a change of size.
void SimDesktop::setRectPixels(Hwnd hwnd, const WinRect &rect) {
  Window *window = live(hwnd);
  if (window == nullptr)
    return;
  if (!window->form) {
    window->rect = rect;
    return;
  }
  window->form->bounds.left = pixelsToTwips(rect.left, dpi_);
  window->form->bounds.top = pixelsToTwips(rect.top, dpi_);
  setFormSize(hwnd, pixelsToTwips(rect.right - rect.left, dpi_),
              pixelsToTwips(rect.bottom - rect.top, dpi_));
}

// ---- Test side --------------------------------------------------------------

Hwnd SimDesktop::openWindow(const std::string &className, WinRect rect, bool visible,
                            std::uint32_t ownerPid) {
  const Hwnd hwnd = newHandle();
  Window &window = windows_[hwnd];
  window.className = className;
  window.rect = rect;
  window.visible = visible;
  window.ownerPid = ownerPid;
  raise(hwnd);
  if (visible)
    foreground_ = hwnd;
  return hwnd;
}

void SimDesktop::closeWindow(Hwnd window) {
  const Window *w = live(window);
  if (w == nullptr)
    return;
  if (w->form)
    throw std::logic_error("a form is closed through userClose, not closeWindow");
  dropForeground(window);
  zOrder_.erase(std::remove(zOrder_.begin(), zOrder_.end(), window), zOrder_.end());
  windows_.erase(window);
}

void SimDesktop::stopAnswering(Hwnd window) {
  if (Window *w = live(window))
    w->answering = false;
}

void SimDesktop::answerAgain(Hwnd window) {
  Window *w = live(window);
  if (w == nullptr)
    return;
  w->answering = true;
  const std::vector<std::function<void()>> requests = std::move(w->pending);
  w->pending.clear();
  for (const auto &request : requests)
    request();
}

bool SimDesktop::deferred(Hwnd hwnd, std::function<void()> request) {
  Window *w = live(hwnd);
  if (w == nullptr || w->answering)
    return false;
  w->pending.push_back(std::move(request));
  return true;
}

bool SimDesktop::windowAlive(Hwnd window) const { return live(window) != nullptr; }

std::optional<WindowInfo> SimDesktop::windowInfo(Hwnd window) const {
  const Window *w = live(window);
  if (w == nullptr)
    return std::nullopt;
  return WindowInfo{window,      w->className,          rectOf(*w),          w->visible,
                    w->topmost,  foreground_ == window, w->form.has_value(), w->ownerPid,
                    w->answering};
}

// ---- Port -------------------------------------------------------------------

std::vector<Hwnd> SimDesktop::findWindows(const std::string &className) {
  std::vector<Hwnd> found;
  for (const Hwnd hwnd : zOrder_)
    if (sameText(windows_.at(hwnd).className, className))
      found.push_back(hwnd);
  WindowCall call;
  call.op = WinOp::Find;
  call.className = className;
  call.result = found.empty() ? 0 : found.front();
  windowCalls_.push_back(call);
  return found;
}

std::uint32_t SimDesktop::windowProcess(Hwnd window) {
  const Window *w = live(window);
  if (w == nullptr)
    return 0;
  return w->form ? ProgramPid : w->ownerPid;
}

bool SimDesktop::showWindow(Hwnd window, ShowCommand command) {
  WindowCall call;
  call.op = WinOp::Show;
  call.hwnd = window;
  call.command = command;
  const Window *w = live(window);
  if (w == nullptr) {
    windowCalls_.push_back(call);
    return false;
  }
  if (!w->answering) {
    call.result = 1; // the request is on its way
    windowCalls_.push_back(call);
    deferred(window, [this, window, command] { applyShow(window, command); });
    return true;
  }
  const bool wasVisible = w->visible;
  call.result = wasVisible ? 1 : 0;
  windowCalls_.push_back(call);
  applyShow(window, command);
  return wasVisible;
}

void SimDesktop::showsItselfMinimised(Hwnd window) {
  if (Window *w = live(window))
    w->visible = true;
}

bool SimDesktop::isWindowVisible(Hwnd window) {
  const Window *w = live(window);
  return w != nullptr && w->visible;
}

void SimDesktop::applyShow(Hwnd window, ShowCommand command) {
  Window *w = live(window);
  if (w == nullptr)
    return;
  if (command == ShowCommand::Hide) {
    w->visible = false;
    dropForeground(window);
    return;
  }
  w->visible = true;
  bool resized = false;
  if (w->form) {
    const int state = stateAfter(command).value_or(w->form->state);
    resized = state != w->form->state;
    w->form->state = state;
  }
  raise(window);
  if (!w->form || w->form->state != WindowState::Minimized)
    foreground_ = window;
  else
    dropForeground(window);
  if (resized)
    reportResize(window);
}

bool SimDesktop::setForegroundWindow(Hwnd window) {
  WindowCall call;
  call.op = WinOp::SetForeground;
  call.hwnd = window;
  const bool ok = live(window) != nullptr;
  call.result = ok ? 1 : 0;
  windowCalls_.push_back(call);
  if (ok) {
    foreground_ = window;
    raise(window);
  }
  return ok;
}

bool SimDesktop::getWindowRect(Hwnd window, WinRect &rect) {
  WindowCall call;
  call.op = WinOp::GetRect;
  call.hwnd = window;
  const Window *w = live(window);
  if (w != nullptr)
    rect = rectOf(*w);
  call.result = w != nullptr ? 1 : 0;
  windowCalls_.push_back(call);
  return w != nullptr;
}

bool SimDesktop::moveWindow(Hwnd window, std::int32_t x, std::int32_t y, std::int32_t width,
                            std::int32_t height, bool repaint) {
  WindowCall call;
  call.op = WinOp::Move;
  call.hwnd = window;
  call.x = x;
  call.y = y;
  call.cx = width;
  call.cy = height;
  call.repaint = repaint;
  const bool ok = live(window) != nullptr;
  call.result = ok ? 1 : 0;
  windowCalls_.push_back(call);
  const WinRect rect{x, y, x + width, y + height};
  if (ok && !deferred(window, [this, window, rect] { setRectPixels(window, rect); }))
    setRectPixels(window, rect);
  return ok;
}

bool SimDesktop::setWindowPos(Hwnd window, ZOrder insertAfter, std::int32_t x, std::int32_t y,
                              std::int32_t cx, std::int32_t cy, Placement flags) {
  WindowCall call;
  call.op = WinOp::SetPos;
  call.hwnd = window;
  call.insertAfter = insertAfter;
  call.x = x;
  call.y = y;
  call.cx = cx;
  call.cy = cy;
  call.flags = flags;
  call.result = live(window) != nullptr ? 1 : 0;
  windowCalls_.push_back(call);
  if (call.result == 0)
    return false;
  if (!deferred(window, [=, this] { applySetPos(window, insertAfter, x, y, cx, cy, flags); }))
    applySetPos(window, insertAfter, x, y, cx, cy, flags);
  return true;
}

void SimDesktop::applySetPos(Hwnd window, ZOrder insertAfter, std::int32_t x, std::int32_t y,
                             std::int32_t cx, std::int32_t cy, Placement flags) {
  Window *w = live(window);
  if (w == nullptr)
    return;
  if (!has(flags, Placement::NoZOrder)) {
    if (insertAfter == ZOrder::Topmost)
      w->topmost = true;
    else if (insertAfter == ZOrder::NotTopmost)
      w->topmost = false;
    if (insertAfter != ZOrder::Bottom)
      raise(window);
  }
  if (has(flags, Placement::ShowWindow)) {
    w->visible = true;
  } else if (has(flags, Placement::HideWindow)) {
    w->visible = false;
    dropForeground(window);
  }
  WinRect rect = rectOf(*w);
  if (!has(flags, Placement::NoMove)) {
    const std::int32_t width = rect.right - rect.left;
    const std::int32_t height = rect.bottom - rect.top;
    rect = WinRect{x, y, x + width, y + height};
  }
  if (!has(flags, Placement::NoSize)) {
    rect.right = rect.left + cx;
    rect.bottom = rect.top + cy;
  }
  if (!has(flags, Placement::NoMove | Placement::NoSize))
    setRectPixels(window, rect);
}

} // namespace pexor::sim
