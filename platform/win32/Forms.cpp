#include "platform/win32/Convert.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/FormWindow.h"
#include "platform/win32/Win32Port.h"

namespace pexor::win32 {

FormWindow *Win32Port::find(Hwnd form) const {
  const auto found = forms_.find(form);
  return found == forms_.end() ? nullptr : found->second.get();
}

// Registered with the first form, not at start: the class's icon sizes are
// display metrics, and under Wine a process's first look at the display
// records the display's size as it sees it for every process: a guardian
// started while the display switched put the old size back after the
// launcher's restore. A guardian never looks.
Hwnd Win32Port::createForm(const FormView &view, FormSink &sink) {
  if (!formClassRegistered_) {
    FormWindow::registerClass(GetModuleHandleW(nullptr));
    formClassRegistered_ = true;
  }
  auto window = std::make_unique<FormWindow>(*this, view, sink);
  const Hwnd handle = fromHwnd(window->hwnd());
  if (handle == 0)
    throw Error(err::CannotCreateObject, "The window could not be created");
  forms_[handle] = std::move(window);
  return handle;
}

void Win32Port::destroyForm(Hwnd form) {
  const auto found = forms_.find(form);
  if (found == forms_.end())
    return;
  std::unique_ptr<FormWindow> window = std::move(found->second);
  forms_.erase(found);
  window->destroy();
  // A window removed inside one of its own messages lives until that message is done.
  if (messageDepth_ > 0)
    retired_.push_back(std::move(window));
}

void Win32Port::setCaption(Hwnd form, const std::string &caption) {
  if (FormWindow *window = find(form))
    window->setCaption(caption);
}

void Win32Port::showForm(Hwnd form, bool visible) {
  if (FormWindow *window = find(form))
    window->show(visible);
}

FormBounds Win32Port::formBounds(Hwnd form) {
  const FormWindow *window = find(form);
  return window != nullptr ? window->bounds() : FormBounds{};
}

void Win32Port::moveForm(Hwnd form, float left, float top) {
  if (FormWindow *window = find(form))
    window->move(left, top);
}

void Win32Port::sizeForm(Hwnd form, float width, float height) {
  if (FormWindow *window = find(form))
    window->resize(width, height);
}

int Win32Port::windowState(Hwnd form) {
  const FormWindow *window = find(form);
  return window != nullptr ? window->state() : WindowState::Normal;
}

void Win32Port::setWindowState(Hwnd form, int state) {
  if (FormWindow *window = find(form))
    window->setState(state);
}

int Win32Port::formDpi(Hwnd form) {
  const FormWindow *window = find(form);
  return window != nullptr ? window->dpi() : dpi::ofSystem();
}

void Win32Port::putControl(Hwnd form, const ControlView &control) {
  if (FormWindow *window = find(form))
    window->put(control);
}

void Win32Port::refreshForm(Hwnd form) {
  if (FormWindow *window = find(form))
    window->refresh();
}

} // namespace pexor::win32
