#pragma once

#include "forms/Application.h"
#include "forms/Controls.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pexor::forms {

class FormSlotBase {
public:
  virtual void unload() = 0;

protected:
  ~FormSlotBase() = default;
};

// A window of the system. Controls are members of the derived class and
// register themselves here; each control event has one handler.
class Form : public FormSink {
public:
  Form(Application &app, FormView design);
  Form(const Form &) = delete;
  Form &operator=(const Form &) = delete;
  virtual ~Form();

  Application &app() { return app_; }
  Port &port() { return app_.port(); }
  Hwnd hWnd() const { return hwnd_; }
  bool loaded() const { return hwnd_ != 0; }

  const std::string &caption() const { return view_.caption; }
  void setCaption(const std::string &caption);

  // Outer geometry in twips. Moving or sizing a minimised or maximised form
  // raises error 384.
  float left();
  float top();
  float width();
  float height();
  void setLeft(float left);
  void setTop(float top);
  void setWidth(float width);
  void setHeight(float height);

  int windowState();
  void setWindowState(int state);

  bool visible() const { return visible_; }
  void setVisible(bool visible);
  void show() { setVisible(true); }
  void hide() { setVisible(false); }
  // Draws the window as it is now, in the middle of a long handler.
  void refresh();

  // Unloads this form through its slot; nothing happens when it is not loaded.
  void unload();

  // Screen size of the primary display in twips of this form.
  float screenWidth();
  float screenHeight();
  // Twips per pixel of this form's window: 15 at 96 DPI, 10 at 144 DPI.
  float twipsPerPixel();

protected:
  virtual void Form_Load() {}
  virtual void Form_Unload() {}
  virtual void Form_Resize() {}
  // The window was rescaled to another DPI; a form whose size is fixed in
  // screen pixels places itself again here.
  virtual void Form_DpiChanged() {}
  // "<name>: <step>" in the trace, when it is on, for a form that traces its
  // first steps: the start-up's breakdown.
  void traceStartUp() { tracesStartUp_ = true; }
  void traceStep(const char *step);

private:
  friend class Control;
  friend class OptionButton;
  friend class Timer;
  template <class T> friend class FormSlot;

  int addControl(Control &control);
  int addTimer(Timer &timer);
  void controlChanged(const Control &control);
  void timerChanged(const Timer &timer);
  void create(FormSlotBase &slot);
  void destroy();
  void checkMovable();
  void placeCentred();

  void onClick(int controlId) override;
  void onMouseUp(int controlId) override;
  void onListSelected(int controlId, int index) override;
  void onCloseRequest() override;
  void onResize() override;
  void onTimer(int timerId) override;
  void onDpiChanged() override;

  Application &app_;
  FormView view_;
  std::vector<Control *> controls_;
  std::vector<Timer *> timers_;
  Hwnd hwnd_ = 0;
  bool visible_ = false;
  bool shownOnce_ = false;
  bool showingFirst_ = false;
  bool loading_ = false;
  bool unloading_ = false;
  bool tracesStartUp_ = false;
  FormSlotBase *slot_ = nullptr;
};

// Where a form lives while loaded. Showing an unloaded form creates it anew
// from its design and runs Form_Load before it becomes visible.
template <class T> class FormSlot : public FormSlotBase {
public:
  FormSlot(Application &app, std::function<std::unique_ptr<T>()> factory)
      : app_(app), factory_(std::move(factory)) {}

  T *get() const { return form_.get(); }
  bool loaded() const { return form_ != nullptr; }

  T &load() {
    if (!form_) {
      form_ = factory_();
      app_.formLoaded();
      form_->create(*this);
    }
    return *form_;
  }

  T &show() {
    T &form = load();
    form.show();
    return form;
  }

  void unload() override {
    if (!form_ || form_->unloading_)
      return;
    form_->unloading_ = true;
    // The window goes even when its unload handler fails; the error still
    // reaches the caller.
    struct Teardown {
      FormSlot &slot;
      ~Teardown() {
        slot.form_->destroy();
        slot.app_.retire(std::move(slot.form_));
      }
    } teardown{*this};
    static_cast<Form &>(*form_).Form_Unload();
  }

private:
  Application &app_;
  std::function<std::unique_ptr<T>()> factory_;
  std::unique_ptr<T> form_;
};

} // namespace pexor::forms
