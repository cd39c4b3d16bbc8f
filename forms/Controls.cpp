#include "forms/Controls.h"

#include "forms/Form.h"
#include "platform/Error.h"

namespace pexor::forms {

Control::Control(Form &owner, ControlView design) : owner_(owner), view_(std::move(design)) {
  view_.id = owner_.addControl(*this);
}

void Control::changed() { owner_.controlChanged(*this); }

void Control::userClicked() {
  if (Click)
    Click();
}

void Control::setVisible(bool visible) {
  if (view_.visible == visible)
    return;
  view_.visible = visible;
  changed();
}

void Control::setEnabled(bool enabled) {
  if (view_.enabled == enabled)
    return;
  view_.enabled = enabled;
  changed();
}

void Control::setLeft(float left) {
  view_.left = left;
  changed();
}

void Control::setTop(float top) {
  view_.top = top;
  changed();
}

void Control::setWidth(float width) {
  if (view_.width == width)
    return;
  view_.width = width;
  changed();
}

void Label::setCaption(const std::string &caption) {
  if (view_.text == caption)
    return;
  view_.text = caption;
  changed();
}

void TextBox::setText(const std::string &text) {
  if (view_.text == text)
    return;
  view_.text = text;
  changed();
}

void OptionButton::setValue(bool value) {
  if (view_.value == value)
    return;
  view_.value = value;
  changed();
  if (!value)
    return;
  for (Control *other : owner_.controls_) {
    auto *option = dynamic_cast<OptionButton *>(other);
    if (option != nullptr && option != this && option->view_.parent == view_.parent &&
        option->view_.value) {
      option->view_.value = false;
      option->changed();
    }
  }
  if (Click)
    Click();
}

void OptionButton::userClicked() { setValue(true); }

void ListBox::addItem(const std::string &item) {
  view_.items.push_back(item);
  changed();
}

const std::string &ListBox::list(int index) const {
  if (index < 0 || index >= listCount())
    throw Error(err::InvalidPropertyArrayIndex, "Invalid property array index");
  return view_.items[static_cast<size_t>(index)];
}

void ListBox::setListIndex(int index) {
  if (index < -1 || index >= listCount())
    throw Error(err::InvalidPropertyValue, "Invalid property value");
  if (view_.listIndex == index)
    return;
  view_.listIndex = index;
  changed();
  if (Click)
    Click();
}

std::string ListBox::text() const {
  return view_.listIndex < 0 ? std::string() : list(view_.listIndex);
}

Timer::Timer(Form &owner, int intervalMs, bool enabled)
    : owner_(owner), interval_(intervalMs), enabled_(enabled) {
  // NOLINTNEXTLINE(cppcoreguidelines-prefer-member-initializer): registered once whole
  id_ = owner_.addTimer(*this);
}

void Timer::arm() { owner_.timerChanged(*this); }

void Timer::setInterval(int intervalMs) {
  interval_ = intervalMs;
  arm();
}

void Timer::setEnabled(bool enabled) {
  if (enabled_ == enabled)
    return;
  enabled_ = enabled;
  arm();
}

} // namespace pexor::forms
