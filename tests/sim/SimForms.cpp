#include "tests/sim/SimDesktop.h"

#include "platform/Units.h"

#include <algorithm>
#include <stdexcept>

namespace pexor::sim {

namespace {
// A bordered form's frame and caption bar, twips.
constexpr float BorderWidth = 120.0f;
constexpr float BorderHeight = 465.0f;
} // namespace

SimDesktop::FormData *SimDesktop::formData(Hwnd hwnd) {
  Window *window = live(hwnd);
  return window != nullptr && window->form ? &*window->form : nullptr;
}

const SimDesktop::FormData *SimDesktop::formData(Hwnd hwnd) const {
  const Window *window = live(hwnd);
  return window != nullptr && window->form ? &*window->form : nullptr;
}

void SimDesktop::reportResize(Hwnd hwnd) {
  FormData *data = formData(hwnd);
  if (data == nullptr || data->sink == nullptr)
    return;
  ++data->resizeReports;
  data->sink->onResize();
}

void SimDesktop::setFormSize(Hwnd hwnd, float width, float height) {
  FormData *data = formData(hwnd);
  if (data == nullptr)
    return;
  if (data->bounds.width == width && data->bounds.height == height)
    return;
  data->bounds.width = width;
  data->bounds.height = height;
  reportResize(hwnd);
}

// ---- Window backend -----------------------------------------------------------

Hwnd SimDesktop::createForm(const FormView &view, FormSink &sink) {
  const Hwnd hwnd = newHandle();
  Window &window = windows_[hwnd];
  window.className = FormClass;
  window.form = FormData{};
  FormData &data = *window.form;
  data.view = view;
  data.sink = &sink;
  const float frameW = view.borderless ? 0.0f : BorderWidth;
  const float frameH = view.borderless ? 0.0f : BorderHeight;
  data.bounds = FormBounds{0, 0, view.clientWidth + frameW, view.clientHeight + frameH};
  raise(hwnd);
  return hwnd;
}

void SimDesktop::destroyForm(Hwnd form) {
  if (formData(form) == nullptr)
    return;
  for (auto it = timers_.begin(); it != timers_.end();) {
    if (it->first.first == form)
      it = timers_.erase(it);
    else
      ++it;
  }
  dropForeground(form);
  zOrder_.erase(std::remove(zOrder_.begin(), zOrder_.end(), form), zOrder_.end());
  windows_.erase(form);
}

void SimDesktop::setCaption(Hwnd form, const std::string &caption) {
  if (FormData *data = formData(form))
    data->view.caption = caption;
}

void SimDesktop::showForm(Hwnd form, bool visible) {
  Window *window = live(form);
  if (window == nullptr || !window->form)
    return;
  if (!visible) {
    window->visible = false;
    dropForeground(form);
    return;
  }
  const bool wasVisible = window->visible;
  window->visible = true;
  if (!wasVisible) {
    raise(form);
    if (window->form->state != WindowState::Minimized && window->form->view.activates)
      foreground_ = form;
  }
}

FormBounds SimDesktop::formBounds(Hwnd form) {
  const FormData *data = formData(form);
  if (data == nullptr)
    return FormBounds{};
  if (data->state == WindowState::Maximized)
    return FormBounds{0, 0, pixelsToTwips(screenW_, dpi_), pixelsToTwips(screenH_, dpi_)};
  return data->bounds;
}

void SimDesktop::moveForm(Hwnd form, float left, float top) {
  if (FormData *data = formData(form)) {
    data->bounds.left = left;
    data->bounds.top = top;
  }
}

void SimDesktop::sizeForm(Hwnd form, float width, float height) {
  setFormSize(form, width, height);
}

int SimDesktop::windowState(Hwnd form) {
  const FormData *data = formData(form);
  return data != nullptr ? data->state : WindowState::Normal;
}

void SimDesktop::setWindowState(Hwnd form, int state) {
  FormData *data = formData(form);
  if (data == nullptr || data->state == state)
    return;
  const int before = data->state;
  data->state = state;
  if (state == WindowState::Minimized) {
    dropForeground(form);
  } else if (before == WindowState::Minimized && live(form)->visible) {
    raise(form);
    foreground_ = form;
  }
  reportResize(form);
}

void SimDesktop::putControl(Hwnd form, const ControlView &control) {
  if (FormData *data = formData(form))
    data->controls[control.id] = control;
}

void SimDesktop::refreshForm(Hwnd form) {
  Window *window = live(form);
  if (window != nullptr && window->form && window->visible)
    ++window->form->refreshes;
}

// ---- Test side: looking ---------------------------------------------------------

Hwnd SimDesktop::form(const std::string &name) const {
  Hwnd found = 0;
  for (const auto &[hwnd, window] : windows_)
    if (window.form && window.form->view.name == name)
      found = hwnd;
  return found;
}

std::optional<FormInfo> SimDesktop::formInfo(Hwnd form) const {
  const Window *window = live(form);
  if (window == nullptr || !window->form)
    return std::nullopt;
  const FormData &data = *window->form;
  return FormInfo{form,
                  data.view.name,
                  data.view.caption,
                  data.bounds,
                  data.state,
                  window->visible,
                  data.view.borderless,
                  data.view.showInTaskbar,
                  data.view.backColor,
                  data.resizeReports,
                  data.refreshes};
}

bool SimDesktop::hasControl(Hwnd form, const std::string &name) const {
  const FormData *data = formData(form);
  if (data == nullptr)
    return false;
  return std::any_of(data->controls.begin(), data->controls.end(),
                     [&](const auto &entry) { return entry.second.name == name; });
}

ControlView SimDesktop::control(Hwnd form, const std::string &name) const {
  const FormData *data = formData(form);
  if (data != nullptr)
    for (const auto &[id, view] : data->controls)
      if (view.name == name)
        return view;
  throw std::out_of_range("no control " + name + " on that form");
}

WinRect SimDesktop::controlRect(Hwnd form, const std::string &name) const {
  const FormData *data = formData(form);
  if (data == nullptr)
    throw std::out_of_range("no form");
  const ControlView &view = control(form, name);
  std::int32_t x = twipsToPixels(view.left, dpi_);
  std::int32_t y = twipsToPixels(view.top, dpi_);
  for (int parent = view.parent, depth = 0; parent >= 0 && depth < 16; ++depth) {
    const auto found = data->controls.find(parent);
    if (found == data->controls.end())
      break;
    x += twipsToPixels(found->second.left, dpi_);
    y += twipsToPixels(found->second.top, dpi_);
    parent = found->second.parent;
  }
  return WinRect{x, y, x + twipsToPixels(view.width, dpi_), y + twipsToPixels(view.height, dpi_)};
}

// ---- Test side: acting as the user ------------------------------------------------

// The user can reach a control only on a live, visible, not minimised form,
// when it and every frame around it are visible and enabled.
bool SimDesktop::reachable(Hwnd form, const std::string &name, int *id) const {
  if (ended_)
    return false;
  const Window *window = live(form);
  if (window == nullptr || !window->form || !window->visible ||
      window->form->state == WindowState::Minimized)
    return false;
  const auto &controls = window->form->controls;
  const auto found = std::find_if(controls.begin(), controls.end(),
                                  [&](const auto &entry) { return entry.second.name == name; });
  if (found == controls.end())
    return false;
  const ControlView *view = &found->second;
  for (int depth = 0; view != nullptr && depth < 16; ++depth) {
    if (!view->visible || !view->enabled)
      return false;
    if (view->parent < 0)
      break;
    const auto parent = controls.find(view->parent);
    view = parent == controls.end() ? nullptr : &parent->second;
  }
  *id = found->first;
  return true;
}

bool SimDesktop::clickControl(Hwnd form, const std::string &name) {
  int id = 0;
  if (!reachable(form, name, &id))
    return false;
  formData(form)->sink->onClick(id);
  return true;
}

bool SimDesktop::mouseUp(Hwnd form, const std::string &name) {
  int id = 0;
  if (!reachable(form, name, &id))
    return false;
  formData(form)->sink->onMouseUp(id);
  return true;
}

bool SimDesktop::userSelectByKeyboard(Hwnd form, const std::string &listName, int index) {
  int id = 0;
  if (!reachable(form, listName, &id))
    return false;
  ControlView &list = formData(form)->controls[id];
  if (list.kind != ControlKind::ListBox || index < 0 ||
      index >= static_cast<int>(list.items.size()))
    return false;
  // The native list shows the pick at once; the runtime's view follows.
  list.listIndex = index;
  formData(form)->sink->onListSelected(id, index);
  return true;
}

bool SimDesktop::userSelect(Hwnd form, const std::string &listName, int index) {
  if (!userSelectByKeyboard(form, listName, index))
    return false;
  FormData *data = formData(form);
  if (ended_ || data == nullptr)
    return true;
  const auto found = std::find_if(data->controls.begin(), data->controls.end(),
                                  [&](const auto &entry) { return entry.second.name == listName; });
  if (found != data->controls.end())
    data->sink->onMouseUp(found->first);
  return true;
}

bool SimDesktop::userClose(Hwnd form) {
  FormData *data = formData(form);
  if (ended_ || data == nullptr)
    return false;
  data->sink->onCloseRequest();
  return true;
}

bool SimDesktop::userSetWindowState(Hwnd form, int state) {
  if (ended_ || formData(form) == nullptr)
    return false;
  setWindowState(form, state);
  return true;
}

bool SimDesktop::userMove(Hwnd form, float left, float top) {
  FormData *data = formData(form);
  if (ended_ || data == nullptr || data->state != WindowState::Normal)
    return false;
  moveForm(form, left, top);
  return true;
}

bool SimDesktop::userResize(Hwnd form, float width, float height) {
  FormData *data = formData(form);
  if (ended_ || data == nullptr || data->state != WindowState::Normal)
    return false;
  setFormSize(form, width, height);
  return true;
}

} // namespace pexor::sim
