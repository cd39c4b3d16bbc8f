#include "forms/Form.h"

#include "platform/Units.h"

namespace pexor::forms {

Form::Form(Application &app, FormView design) : app_(app), view_(std::move(design)) {}

Form::~Form() {
  if (hwnd_ != 0)
    destroy();
}

int Form::addControl(Control &control) {
  controls_.push_back(&control);
  return static_cast<int>(controls_.size());
}

int Form::addTimer(Timer &timer) {
  timers_.push_back(&timer);
  return static_cast<int>(timers_.size());
}

void Form::traceStep(const char *step) {
  if (tracesStartUp_ && port().tracing())
    port().trace(view_.name + ": " + step);
}

void Form::create(FormSlotBase &slot) {
  slot_ = &slot;
  hwnd_ = port().createForm(view_, *this);
  traceStep("window made");
  placeCentred();
  for (Timer *timer : timers_)
    if (timer->enabled_)
      timer->arm();
  // The controls reach the native window once, as Form_Load leaves them:
  // filling lists and editing texts during the load costs no native updates.
  loading_ = true;
  struct PutControls {
    Form &form;
    ~PutControls() {
      form.loading_ = false;
      if (form.hwnd_ != 0)
        for (const Control *control : form.controls_)
          form.port().putControl(form.hwnd_, control->view());
      form.traceStep("controls put");
    }
  } putControls{*this};
  Form_Load();
}

// Born where a centring layout puts it, so a form first shown centred neither
// jumps nor paints twice.
void Form::placeCentred() {
  const FormBounds bounds = port().formBounds(hwnd_);
  port().moveForm(hwnd_, static_cast<float>((screenWidth() - bounds.width) / 2.0),
                  static_cast<float>((screenHeight() - bounds.height) / 2.0));
}

void Form::destroy() {
  const Hwnd hwnd = hwnd_;
  hwnd_ = 0;
  visible_ = false;
  for (const Timer *timer : timers_)
    if (timer->enabled_)
      port().stopTimer(hwnd, timer->id());
  port().destroyForm(hwnd);
}

void Form::unload() {
  if (slot_ != nullptr && hwnd_ != 0)
    slot_->unload();
}

void Form::controlChanged(const Control &control) {
  if (hwnd_ != 0 && !loading_)
    port().putControl(hwnd_, control.view());
}

void Form::timerChanged(const Timer &timer) {
  if (hwnd_ == 0)
    return;
  if (timer.enabled_ && timer.interval_ > 0)
    port().startTimer(hwnd_, timer.id(), timer.interval_);
  else
    port().stopTimer(hwnd_, timer.id());
}

void Form::setCaption(const std::string &caption) {
  view_.caption = caption;
  if (hwnd_ != 0)
    port().setCaption(hwnd_, caption);
}

float Form::left() { return hwnd_ != 0 ? port().formBounds(hwnd_).left : 0.0f; }
float Form::top() { return hwnd_ != 0 ? port().formBounds(hwnd_).top : 0.0f; }
float Form::width() { return hwnd_ != 0 ? port().formBounds(hwnd_).width : view_.clientWidth; }
float Form::height() { return hwnd_ != 0 ? port().formBounds(hwnd_).height : view_.clientHeight; }

void Form::checkMovable() {
  if (windowState() != WindowState::Normal)
    throw Error(err::CannotMoveMinimized,
                "A form can't be moved or sized while minimized or maximized");
}

void Form::setLeft(float left) {
  checkMovable();
  port().moveForm(hwnd_, left, top());
}

void Form::setTop(float top) {
  checkMovable();
  port().moveForm(hwnd_, left(), top);
}

void Form::setWidth(float width) {
  checkMovable();
  port().sizeForm(hwnd_, width, height());
}

void Form::setHeight(float height) {
  checkMovable();
  port().sizeForm(hwnd_, width(), height);
}

int Form::windowState() { return hwnd_ != 0 ? port().windowState(hwnd_) : WindowState::Normal; }

void Form::setWindowState(int state) {
  if (hwnd_ != 0)
    port().setWindowState(hwnd_, state);
}

void Form::setVisible(bool visible) {
  if (hwnd_ == 0)
    return;
  visible_ = visible;
  if (!visible || shownOnce_) {
    port().showForm(hwnd_, visible);
    return;
  }
  // The first showing reports one resize, whatever the window reports meanwhile.
  showingFirst_ = true;
  port().showForm(hwnd_, true);
  showingFirst_ = false;
  shownOnce_ = true;
  traceStep("shown");
  onResize();
  traceStep("laid out");
}

void Form::refresh() {
  if (hwnd_ != 0 && visible_)
    port().refreshForm(hwnd_);
}

float Form::twipsPerPixel() { return pexor::twipsPerPixel(port().formDpi(hwnd_)); }

float Form::screenWidth() {
  return static_cast<float>(port().screenWidthPixels()) * twipsPerPixel();
}
float Form::screenHeight() {
  return static_cast<float>(port().screenHeightPixels()) * twipsPerPixel();
}

void Form::onClick(int controlId) {
  if (controlId < 1 || controlId > static_cast<int>(controls_.size()))
    return;
  Control *control = controls_[static_cast<size_t>(controlId - 1)];
  app_.dispatch([control] { control->userClicked(); });
}

void Form::onMouseUp(int controlId) {
  if (controlId < 1 || controlId > static_cast<int>(controls_.size()))
    return;
  Control *control = controls_[static_cast<size_t>(controlId - 1)];
  app_.dispatch([control] {
    if (control->MouseUp)
      control->MouseUp();
  });
}

void Form::onListSelected(int controlId, int index) {
  if (controlId < 1 || controlId > static_cast<int>(controls_.size()))
    return;
  Control *control = controls_[static_cast<size_t>(controlId - 1)];
  app_.dispatch([this, control, index] {
    control->userSelected(index);
    // The model is the truth: the list shows its selection, whatever it made
    // of the pick the native list already shows.
    if (hwnd_ != 0 && control->view().listIndex != index)
      port().putControl(hwnd_, control->view());
  });
}

void Form::onCloseRequest() {
  app_.dispatch([this] { unload(); });
}

// Nothing is reported before the first showing, which reports once itself.
void Form::onResize() {
  if (hwnd_ == 0 || !shownOnce_ || showingFirst_)
    return;
  app_.dispatch([this] { Form_Resize(); });
}

void Form::onDpiChanged() {
  if (hwnd_ == 0)
    return;
  app_.dispatch([this] { Form_DpiChanged(); });
}

void Form::onTimer(int timerId) {
  if (hwnd_ == 0 || timerId < 1 || timerId > static_cast<int>(timers_.size()))
    return;
  Timer *timer = timers_[static_cast<size_t>(timerId - 1)];
  if (!timer->enabled_)
    return;
  app_.dispatch([timer] {
    if (timer->Tick)
      timer->Tick();
  });
}

} // namespace pexor::forms
