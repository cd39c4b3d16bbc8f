#include "platform/win32/Convert.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/FormWindow.h"
#include "platform/win32/Text.h"

namespace pexor::win32 {

namespace {

COLORREF textColour(const ControlView &view) {
  return view.enabled ? toColorref(view.foreColor) : GetSysColor(COLOR_GRAYTEXT);
}

void fill(HDC dc, const RECT &area, COLORREF colour) {
  UniqueBrush brush(CreateSolidBrush(colour));
  FillRect(dc, &area, brush.get());
}

} // namespace

HBITMAP FormWindow::picture(const std::string &name) {
  auto found = pictures_.find(name);
  if (found == pictures_.end()) {
    auto *loaded = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), widen(name).c_str(),
                                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    found = pictures_.emplace(name, UniqueBitmap(loaded)).first;
  }
  return found->second.get();
}

// Everything is drawn off screen and copied at once, so nothing flickers.
void FormWindow::paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  RECT client;
  GetClientRect(hwnd_, &client);
  if (client.right > 0 && client.bottom > 0) {
    OffscreenDC canvas(dc, client.right, client.bottom);
    FillRect(canvas.get(), &client, background_.get());
    for (const auto &control : items_) {
      if (control->window != nullptr || windowed(control->view.kind) || !shown(*control))
        continue;
      const int saved = SaveDC(canvas.get());
      for (const Item *parent = item(control->view.parent); parent != nullptr;
           parent = item(parent->view.parent)) {
        const RECT bounds = rectOf(*parent);
        IntersectClipRect(canvas.get(), bounds.left, bounds.top, bounds.right, bounds.bottom);
      }
      paintItem(canvas.get(), *control);
      RestoreDC(canvas.get(), saved);
    }
    BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
           ps.rcPaint.bottom - ps.rcPaint.top, canvas.get(), ps.rcPaint.left, ps.rcPaint.top,
           SRCCOPY);
  }
  EndPaint(hwnd_, &ps);
}

void FormWindow::paintItem(HDC dc, Item &control) {
  const ControlView &view = control.view;
  RECT area = rectOf(control);
  SetBkMode(dc, TRANSPARENT);
  switch (view.kind) {
  case ControlKind::Label: {
    if (!view.transparent)
      FillRect(dc, &area, brushOf(control));
    const Selected font(dc, fontOf(control));
    SetTextColor(dc, textColour(view));
    const std::wstring text = widen(view.text);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, DT_WORDBREAK);
    break;
  }
  case ControlKind::Image: {
    HBITMAP bitmap = picture(view.picture);
    BITMAP info;
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) == 0)
      break;
    HDC source = CreateCompatibleDC(dc);
    {
      const Selected selected(source, bitmap);
      SetStretchBltMode(dc, HALFTONE);
      SetBrushOrgEx(dc, 0, 0, nullptr);
      StretchBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, source, 0,
                 0, info.bmWidth, info.bmHeight, SRCCOPY);
    }
    DeleteDC(source);
    break;
  }
  case ControlKind::Shape: {
    // A transparent shape is its outline; an opaque one is filled too.
    UniquePen pen(CreatePen(PS_SOLID, dpi::scale(1, dpi_), toColorref(view.foreColor)));
    const Selected selectedPen(dc, pen.get());
    const Selected selectedBrush(dc, view.transparent ? GetStockObject(NULL_BRUSH)
                                                      : static_cast<HGDIOBJ>(brushOf(control)));
    Rectangle(dc, area.left, area.top, area.right, area.bottom);
    break;
  }
  case ControlKind::Frame: {
    // A panel in its colour, an etched border, the caption over the border.
    FillRect(dc, &area, brushOf(control));
    const Selected font(dc, fontOf(control));
    const std::wstring caption = widen(view.text);
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    RECT border = area;
    border.top += metrics.tmHeight / 2;
    DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
    if (!caption.empty()) {
      SIZE extent;
      GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
      const int indent = dpi::scale(6, dpi_);
      const int pad = dpi::scale(2, dpi_);
      RECT label{area.left + indent, area.top, area.left + indent + extent.cx + 2 * pad,
                 area.top + metrics.tmHeight};
      FillRect(dc, &label, brushOf(control));
      SetTextColor(dc, textColour(view));
      TextOutW(dc, label.left + pad, label.top, caption.c_str(), static_cast<int>(caption.size()));
    }
    break;
  }
  default:
    break;
  }
}

// A graphical button: drawn in its own colour.
void FormWindow::drawButton(Item &control, const DRAWITEMSTRUCT &draw) {
  const ControlView &view = control.view;
  HDC dc = draw.hDC;
  RECT area = draw.rcItem;
  const bool pressed = (draw.itemState & ODS_SELECTED) != 0;
  fill(dc, area, toColorref(view.backColor));
  DrawEdge(dc, &area, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  const Selected font(dc, fontOf(control));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, textColour(view));
  RECT text = area;
  if (pressed)
    OffsetRect(&text, 1, 1);
  const std::wstring caption = widen(view.text);
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if ((draw.itemState & ODS_FOCUS) != 0) {
    RECT focus = area;
    const int inset = dpi::scale(4, dpi_);
    InflateRect(&focus, -inset, -inset);
    DrawFocusRect(dc, &focus);
  }
}

int FormWindow::labelAt(POINT point) const {
  // NOLINTNEXTLINE(modernize-loop-convert): clang 14 cannot parse views::reverse here
  for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
    const Item &control = **it;
    if (control.view.kind != ControlKind::Label || !shown(control) || !control.view.enabled)
      continue;
    const RECT area = rectOf(control);
    if (PtInRect(&area, point))
      return control.view.id;
  }
  return 0;
}

} // namespace pexor::win32
