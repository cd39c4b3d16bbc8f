#include "platform/win32/Convert.h"
#include "platform/win32/FormWindow.h"
#include "platform/win32/Text.h"

#include <cstddef>

namespace pexor::win32 {

namespace {

bool sameFont(const FontSpec &a, const FontSpec &b) {
  return a.name == b.name && a.points == b.points && a.bold == b.bold && a.charset == b.charset;
}

bool sameGeometry(const ControlView &a, const ControlView &b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height &&
         a.parent == b.parent;
}

} // namespace

bool FormWindow::windowed(ControlKind kind) {
  return kind == ControlKind::Button || kind == ControlKind::OptionButton ||
         kind == ControlKind::ListBox || kind == ControlKind::TextBox;
}

FormWindow::Item *FormWindow::item(int id) const {
  for (const auto &control : items_)
    if (control->view.id == id)
      return control.get();
  return nullptr;
}

// Pixels in the form's client area; a frame's children are placed relative to it.
RECT FormWindow::rectOf(const Item &control) const {
  int x = px(control.view.left);
  int y = px(control.view.top);
  if (const Item *parent = control.view.parent >= 0 ? item(control.view.parent) : nullptr) {
    const RECT origin = rectOf(*parent);
    x += origin.left;
    y += origin.top;
  }
  return RECT{x, y, x + px(control.view.width), y + px(control.view.height)};
}

bool FormWindow::shown(const Item &control) const {
  if (!control.view.visible)
    return false;
  const Item *parent = control.view.parent >= 0 ? item(control.view.parent) : nullptr;
  return parent == nullptr || shown(*parent);
}

HFONT FormWindow::fontOf(Item &control) const {
  if (!control.font) {
    const FontSpec &look = control.view.font;
    LOGFONTW font{};
    font.lfHeight =
        -static_cast<LONG>(roundHalfEven(static_cast<double>(look.points) * dpi_ / 72.0));
    font.lfWeight = look.bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = static_cast<BYTE>(look.charset);
    const std::wstring face = widen(look.name).substr(0, LF_FACESIZE - 1);
    face.copy(font.lfFaceName, face.size());
    control.font.reset(CreateFontIndirectW(&font));
  }
  return control.font.get();
}

HBRUSH FormWindow::brushOf(Item &control) {
  if (!control.brush)
    control.brush.reset(CreateSolidBrush(toColorref(control.view.backColor)));
  return control.brush.get();
}

void FormWindow::put(const ControlView &view) {
  if (Item *existing = item(view.id)) {
    update(*existing, view);
    return;
  }
  auto control = std::make_unique<Item>();
  control->owner = this;
  control->view = view;
  Item &added = *items_.emplace_back(std::move(control));
  if (windowed(view.kind)) {
    create(added);
    return;
  }
  const RECT area = rectOf(added);
  InvalidateRect(hwnd_, &area, FALSE);
  if (view.kind == ControlKind::Frame)
    placeChildrenOf(view.id);
}

void FormWindow::create(Item &control) {
  const ControlView &view = control.view;
  const wchar_t *windowClass = L"BUTTON";
  DWORD style = WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS;
  switch (view.kind) {
  case ControlKind::Button:
    style |= view.graphical ? BS_OWNERDRAW : BS_PUSHBUTTON;
    break;
  case ControlKind::OptionButton:
    style |= BS_RADIOBUTTON;
    break;
  case ControlKind::ListBox:
    windowClass = L"LISTBOX";
    style |= LBS_NOTIFY | WS_VSCROLL | WS_BORDER;
    break;
  default:
    windowClass = L"EDIT";
    style |= ES_AUTOHSCROLL | ES_LEFT | WS_BORDER;
    break;
  }
  if (!view.enabled)
    style |= WS_DISABLED;
  const RECT r = rectOf(control);
  const std::wstring text = view.kind == ControlKind::ListBox ? std::wstring() : widen(view.text);
  control.window = CreateWindowExW(
      0, windowClass, text.c_str(), style, r.left, r.top, r.right - r.left, r.bottom - r.top, hwnd_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(view.id)), GetModuleHandleW(nullptr), nullptr);
  if (control.window == nullptr)
    return;
  SetWindowLongPtrW(control.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&control));
  control.original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      control.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormWindow::controlProc)));
  SendMessageW(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(control)), FALSE);
  if (view.kind == ControlKind::ListBox) {
    // A list shows whole items: it shrank to those of the system font when it
    // was made, and is sized again for its own.
    SetWindowPos(control.window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    fillList(control);
  }
  if (view.kind == ControlKind::OptionButton)
    SendMessageW(control.window, BM_SETCHECK, view.value ? BST_CHECKED : BST_UNCHECKED, 0);
  if (shown(control))
    ShowWindow(control.window, SW_SHOWNA);
}

void FormWindow::fillList(const Item &control) {
  SendMessageW(control.window, WM_SETREDRAW, FALSE, 0);
  SendMessageW(control.window, LB_RESETCONTENT, 0, 0);
  for (const std::string &entry : control.view.items)
    SendMessageW(control.window, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(entry).c_str()));
  SendMessageW(control.window, LB_SETCURSEL, static_cast<WPARAM>(control.view.listIndex), 0);
  SendMessageW(control.window, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(control.window, nullptr, TRUE);
}

void FormWindow::update(Item &control, const ControlView &view) {
  const ControlView old = control.view;
  if (!windowed(view.kind)) {
    RECT before = rectOf(control);
    InvalidateRect(hwnd_, &before, FALSE);
    control.view = view;
    if (!sameFont(old.font, view.font))
      control.font.reset();
    RECT after = rectOf(control);
    InvalidateRect(hwnd_, &after, FALSE);
    if (view.kind == ControlKind::Frame &&
        (!sameGeometry(old, view) || old.visible != view.visible))
      placeChildrenOf(view.id);
    return;
  }

  control.view = view;
  HWND window = control.window;
  if (window == nullptr)
    return;
  if (old.text != view.text && view.kind != ControlKind::ListBox)
    SetWindowTextW(window, widen(view.text).c_str());
  if (!sameFont(old.font, view.font)) {
    control.font.reset();
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(control)), TRUE);
  }
  if (old.backColor != view.backColor || old.foreColor != view.foreColor) {
    control.brush.reset();
    InvalidateRect(window, nullptr, TRUE);
  }
  if (old.items != view.items)
    fillList(control);
  else if (old.listIndex != view.listIndex)
    SendMessageW(window, LB_SETCURSEL, static_cast<WPARAM>(view.listIndex), 0);
  if (old.value != view.value)
    SendMessageW(window, BM_SETCHECK, view.value ? BST_CHECKED : BST_UNCHECKED, 0);
  if (old.enabled != view.enabled)
    EnableWindow(window, view.enabled ? TRUE : FALSE);
  if (!sameGeometry(old, view) || old.visible != view.visible)
    placeWindowed(control);
}

void FormWindow::placeWindowed(const Item &control) {
  const RECT r = rectOf(control);
  SetWindowPos(control.window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE | (shown(control) ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void FormWindow::placeChildrenOf(int frameId) {
  for (const auto &control : items_) {
    if (control->view.parent != frameId)
      continue;
    if (control->window != nullptr)
      placeWindowed(*control);
    else if (control->view.kind == ControlKind::Frame)
      placeChildrenOf(control->view.id);
  }
}

void FormWindow::focusFirst() {
  if (lastFocus_ != nullptr && IsWindow(lastFocus_) && IsWindowVisible(lastFocus_) &&
      IsWindowEnabled(lastFocus_) && IsChild(hwnd_, lastFocus_)) {
    SetFocus(lastFocus_);
    return;
  }
  for (const auto &control : items_)
    if (control->window != nullptr && shown(*control) && control->view.enabled) {
      SetFocus(control->window);
      return;
    }
}

void FormWindow::focusNext(const Item &from, bool backwards) {
  const auto count = static_cast<std::ptrdiff_t>(items_.size());
  std::ptrdiff_t at = 0;
  while (at < count && items_[static_cast<size_t>(at)].get() != &from)
    ++at;
  for (std::ptrdiff_t step = 1; step < count; ++step) {
    const std::ptrdiff_t next = ((backwards ? at - step : at + step) % count + count) % count;
    const Item &candidate = *items_[static_cast<size_t>(next)];
    if (candidate.window != nullptr && shown(candidate) && candidate.view.enabled) {
      SetFocus(candidate.window);
      return;
    }
  }
}

} // namespace pexor::win32
