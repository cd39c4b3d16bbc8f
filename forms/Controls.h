#pragma once

#include "platform/Windowing.h"

#include <functional>
#include <string>
#include <vector>

namespace pexor::forms {

class Form;

// A control of a form: the properties the system uses, reflected to the
// native window at once. The model is the truth; nothing is read back.
class Control {
public:
  Control(Form &owner, ControlView design);
  Control(const Control &) = delete;
  Control &operator=(const Control &) = delete;
  virtual ~Control() = default;

  int id() const { return view_.id; }
  const ControlView &view() const { return view_; }
  const std::string &name() const { return view_.name; }

  bool visible() const { return view_.visible; }
  void setVisible(bool visible);
  bool enabled() const { return view_.enabled; }
  void setEnabled(bool enabled);
  float left() const { return view_.left; }
  float top() const { return view_.top; }
  float width() const { return view_.width; }
  float height() const { return view_.height; }
  void setLeft(float left);
  void setTop(float top);
  void setWidth(float width);

  std::function<void()> Click;
  std::function<void()> MouseUp;

protected:
  friend class Form;
  void changed();
  virtual void userClicked();
  virtual void userSelected(int) {}

  Form &owner_;
  ControlView view_;
};

class Label : public Control {
public:
  using Control::Control;
  const std::string &caption() const { return view_.text; }
  void setCaption(const std::string &caption);
};

class CommandButton : public Control {
public:
  using Control::Control;
  const std::string &caption() const { return view_.text; }
};

class TextBox : public Control {
public:
  using Control::Control;
  const std::string &text() const { return view_.text; }
  void setText(const std::string &text);
};

class Image : public Control {
public:
  using Control::Control;
};

class Frame : public Control {
public:
  using Control::Control;
};

class Shape : public Control {
public:
  using Control::Control;
};

// Switching an option on, from code or by the user, runs its Click at once
// and switches off the other options of the same container.
class OptionButton : public Control {
public:
  using Control::Control;
  bool value() const { return view_.value; }
  void setValue(bool value);

protected:
  void userClicked() override;
};

// A change of ListIndex, from code or by the user, runs Click at once.
class ListBox : public Control {
public:
  using Control::Control;
  void addItem(const std::string &item);
  int listCount() const { return static_cast<int>(view_.items.size()); }
  const std::string &list(int index) const;
  int listIndex() const { return view_.listIndex; }
  void setListIndex(int index);
  // The selected item's text, or "" with none selected.
  std::string text() const;

protected:
  void userClicked() override {}
  void userSelected(int index) override { setListIndex(index); }
};

// Setting the interval of an enabled timer starts its countdown again.
class Timer {
public:
  Timer(Form &owner, int intervalMs, bool enabled);
  Timer(const Timer &) = delete;
  Timer &operator=(const Timer &) = delete;

  int id() const { return id_; }
  int interval() const { return interval_; }
  void setInterval(int intervalMs);
  bool enabled() const { return enabled_; }
  void setEnabled(bool enabled);

  std::function<void()> Tick;

private:
  friend class Form;
  void arm();

  Form &owner_;
  int id_ = 0;
  int interval_;
  bool enabled_;
};

} // namespace pexor::forms
