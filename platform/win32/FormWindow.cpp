#include "platform/win32/FormWindow.h"

#include "platform/win32/Convert.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Port.h"

#include <exception>
#include <utility>

namespace pexor::win32 {

namespace {

constexpr DWORD BorderedStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD BorderlessStyle = WS_POPUP | WS_CLIPCHILDREN;

// Counts the message as running for as long as it is handled.
class MessageScope {
public:
  explicit MessageScope(Win32Port &port) : port_(port) { port_.enterMessage(); }
  MessageScope(const MessageScope &) = delete;
  MessageScope &operator=(const MessageScope &) = delete;
  ~MessageScope() { port_.leaveMessage(); }

private:
  Win32Port &port_;
};

POINT pointOf(LPARAM lParam) {
  return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

} // namespace

void FormWindow::registerClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &FormWindow::formProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  // The program's icon (resources/launcher.rc), in the sizes the caption
  // and the taskbar show; shared images are never destroyed.
  const auto appIcon = [instance](int sizeMetric) {
    return static_cast<HICON>(LoadImageW(instance, L"APP", IMAGE_ICON, GetSystemMetrics(sizeMetric),
                                         GetSystemMetrics(sizeMetric), LR_SHARED));
  };
  windowClass.hIcon = appIcon(SM_CXICON);
  windowClass.hIconSm = appIcon(SM_CXSMICON);
  windowClass.lpszClassName = ClassName;
  RegisterClassExW(&windowClass);
}

void FormWindow::unregisterClass(HINSTANCE instance) { UnregisterClassW(ClassName, instance); }

FormWindow::FormWindow(Win32Port &port, const FormView &view, FormSink &sink)
    : port_(port), sink_(&sink), dpi_(dpi::ofSystem()), activates_(view.activates),
      background_(CreateSolidBrush(toColorref(view.backColor))) {
  const DWORD style = view.borderless ? BorderlessStyle : BorderedStyle;
  const DWORD exStyle = view.showInTaskbar ? 0 : WS_EX_TOOLWINDOW;
  const auto outerOf = [&] {
    RECT outer{0, 0, px(view.clientWidth), px(view.clientHeight)};
    dpi::adjustWindowRect(outer, style, exStyle, dpi_);
    return outer;
  };
  RECT outer = outerOf();
  CreateWindowExW(exStyle, ClassName, widen(view.caption).c_str(), style, 0, 0,
                  outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                  GetModuleHandleW(nullptr), this);
  // On a monitor of another scale than the system's, it takes that scale
  // before it is ever seen.
  if (hwnd_ != nullptr && dpi::ofWindow(hwnd_) != dpi_) {
    dpi_ = dpi::ofWindow(hwnd_);
    outer = outerOf();
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

FormWindow::~FormWindow() { destroy(); }

void FormWindow::destroy() {
  sink_ = nullptr; // the runtime is done with this form: report nothing more
  if (hwnd_ == nullptr)
    return;
  // Detached first, so that the messages of the teardown reach only the
  // default procedures.
  for (const auto &control : items_)
    if (control->window != nullptr) {
      SetWindowLongPtrW(control->window, GWLP_WNDPROC,
                        reinterpret_cast<LONG_PTR>(control->original));
      SetWindowLongPtrW(control->window, GWLP_USERDATA, 0);
    }
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(std::exchange(hwnd_, nullptr));
}

LRESULT CALLBACK FormWindow::formProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto *self =
        static_cast<FormWindow *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto *self = reinterpret_cast<FormWindow *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr)
    return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  MessageScope scope(self->port_);
  try {
    return self->handle(message, wParam, lParam);
  } catch (...) {
    // Exceptions must not cross the system's frames; the runtime traps the
    // handlers' errors, so this one is a defect.
    std::terminate();
  }
}

LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_CLOSE:
    if (sink_ != nullptr)
      sink_->onCloseRequest(); // the runtime decides and removes the window
    return 0;
  case WM_SIZE:
    if (sink_ != nullptr)
      sink_->onResize();
    return 0;
  case WM_TIMER:
    if (sink_ != nullptr)
      sink_->onTimer(static_cast<int>(wParam));
    return 0;
  case WM_DPICHANGED:
    rescale(HIWORD(wParam), *reinterpret_cast<const RECT *>(lParam));
    return 0;
  case WM_ERASEBKGND:
    return 1;
  case WM_PAINT:
    paint();
    return 0;
  case WM_LBUTTONDOWN: {
    pressedLabel_ = labelAt(pointOf(lParam));
    if (pressedLabel_ != 0)
      SetCapture(hwnd_);
    return 0;
  }
  case WM_LBUTTONUP: {
    const int pressed = pressedLabel_;
    pressedLabel_ = 0;
    if (pressed == 0)
      return 0;
    ReleaseCapture();
    if (labelAt(pointOf(lParam)) == pressed && sink_ != nullptr)
      sink_->onClick(pressed);
    return 0;
  }
  case WM_CAPTURECHANGED:
    pressedLabel_ = 0;
    return 0;
  case WM_COMMAND:
    if (lParam != 0)
      return command(LOWORD(wParam), HIWORD(wParam));
    break;
  case WM_DRAWITEM:
    if (Item *control = item(static_cast<int>(wParam))) {
      drawButton(*control, *reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
      return TRUE;
    }
    break;
  case WM_CTLCOLORSTATIC:
  case WM_CTLCOLORLISTBOX:
  case WM_CTLCOLOREDIT:
    return controlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), message,
                         wParam, lParam);
  case WM_ACTIVATE:
    if (LOWORD(wParam) == WA_INACTIVE) {
      HWND focus = GetFocus();
      if (focus != nullptr && IsChild(hwnd_, focus))
        lastFocus_ = focus;
    }
    break;
  case WM_SETFOCUS:
    focusFirst();
    return 0;
  case WM_MOUSEACTIVATE:
    if (!activates_)
      return MA_NOACTIVATE;
    break;
  default:
    break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

// Moved to a monitor of another scale, or the scale changed: the window
// takes the rectangle Windows suggests, the controls and fonts follow, and
// the runtime hears of the resize and then of the change.
void FormWindow::rescale(int dpi, const RECT &outer) {
  dpi_ = dpi > 0 ? dpi : dpi::ofSystem();
  for (const auto &control : items_) {
    control->font.reset();
    if (control->window != nullptr) {
      SendMessageW(control->window, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(*control)), FALSE);
      placeWindowed(*control);
    }
  }
  SetWindowPos(hwnd_, nullptr, outer.left, outer.top, outer.right - outer.left,
               outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd_, nullptr, TRUE);
  if (sink_ != nullptr)
    sink_->onDpiChanged();
}

LRESULT FormWindow::command(WORD id, WORD code) {
  Item *control = item(id);
  if (control == nullptr || sink_ == nullptr)
    return 0;
  const ControlKind kind = control->view.kind;
  if ((kind == ControlKind::Button || kind == ControlKind::OptionButton) && code == BN_CLICKED) {
    sink_->onClick(id);
  } else if (kind == ControlKind::ListBox && code == LBN_SELCHANGE) {
    const auto index = static_cast<int>(SendMessageW(control->window, LB_GETCURSEL, 0, 0));
    control->view.listIndex = index; // what the native list shows now
    sink_->onListSelected(id, index);
  }
  return 0;
}

LRESULT FormWindow::controlColour(HDC dc, HWND child, UINT message, WPARAM wParam, LPARAM lParam) {
  Item *control = item(GetDlgCtrlID(child));
  if (control == nullptr || control->view.kind == ControlKind::Button)
    return DefWindowProcW(hwnd_, message, wParam, lParam);
  SetTextColor(dc, toColorref(control->view.foreColor));
  SetBkColor(dc, toColorref(control->view.backColor));
  return reinterpret_cast<LRESULT>(brushOf(*control));
}

LRESULT CALLBACK FormWindow::controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto *control = reinterpret_cast<Item *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (control == nullptr)
    return DefWindowProcW(hwnd, message, wParam, lParam);
  FormWindow &form = *control->owner;
  MessageScope scope(form.port_);
  try {
    return form.handleControl(*control, message, wParam, lParam);
  } catch (...) {
    std::terminate();
  }
}

LRESULT FormWindow::handleControl(Item &control, UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC original = control.original;
  HWND window = control.window;
  const int id = control.view.id;
  const ControlKind kind = control.view.kind;
  // A focused button is pressed by Enter as by Space.
  if (kind == ControlKind::Button && message == WM_KEYDOWN && wParam == VK_RETURN) {
    if (sink_ != nullptr)
      sink_->onClick(id);
    return 0;
  }
  // Tab moves the focus through the windowed controls in creation order, as
  // in the classic runtime, reaching those that lie out of sight too.
  if ((message == WM_KEYDOWN || message == WM_CHAR) && wParam == VK_TAB) {
    if (message == WM_KEYDOWN)
      focusNext(control, GetKeyState(VK_SHIFT) < 0);
    return 0;
  }
  const LRESULT result = CallWindowProcW(original, window, message, wParam, lParam);
  if (kind == ControlKind::ListBox &&
      (message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP) &&
      sink_ != nullptr)
    sink_->onMouseUp(id);
  return result;
}

void FormWindow::setCaption(const std::string &caption) {
  SetWindowTextW(hwnd_, widen(caption).c_str());
}

void FormWindow::show(bool visible) {
  ShowWindow(hwnd_, !visible ? SW_HIDE : activates_ ? SW_SHOW : SW_SHOWNA);
}

// Painted now, and only painting: the program is busy in the middle of an
// event, so input and timers wait for it. Asking for messages at all also
// keeps the system from taking the window for a hung one, and Wine shows
// what was drawn when it finds nothing more to paint.
void FormWindow::refresh() {
  UpdateWindow(hwnd_);
  MSG message;
  for (int i = 0; i < 16 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT); ++i)
    DispatchMessageW(&message);
}

FormBounds FormWindow::bounds() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return FormBounds{pixelsToTwips(r.left, dpi_), pixelsToTwips(r.top, dpi_),
                    pixelsToTwips(r.right - r.left, dpi_), pixelsToTwips(r.bottom - r.top, dpi_)};
}

void FormWindow::move(float left, float top) {
  const int x = px(left);
  const int y = px(top);
  RECT now{};
  if (GetWindowRect(hwnd_, &now) && now.left == x && now.top == y)
    return; // already there: no repositioning round trip
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::resize(float width, float height) {
  SetWindowPos(hwnd_, nullptr, 0, 0, px(width), px(height),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int FormWindow::state() const {
  if (IsIconic(hwnd_))
    return WindowState::Minimized;
  if (IsZoomed(hwnd_))
    return WindowState::Maximized;
  return WindowState::Normal;
}

void FormWindow::setState(int state) {
  ShowWindow(hwnd_, state == WindowState::Minimized   ? SW_MINIMIZE
                    : state == WindowState::Maximized ? SW_MAXIMIZE
                                                      : SW_RESTORE);
}

void FormWindow::startTimer(int timerId, int intervalMs) {
  SetTimer(hwnd_, static_cast<UINT_PTR>(timerId), static_cast<UINT>(intervalMs), nullptr);
}

void FormWindow::stopTimer(int timerId) { KillTimer(hwnd_, static_cast<UINT_PTR>(timerId)); }

} // namespace pexor::win32
