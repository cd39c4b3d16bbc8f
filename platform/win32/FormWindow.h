#pragma once

#include "platform/Units.h"
#include "platform/Windowing.h"
#include "platform/win32/Handles.h"

#include "platform/win32/Win32Api.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace pexor::win32 {

class Win32Port;

// The native window of one form, with its controls. Windowed controls
// (buttons, option buttons, list boxes, text boxes) are child windows;
// labels, images, shapes and frames are painted by the form, bottom first,
// as the classic runtime's lightweight controls are.
class FormWindow {
public:
  static constexpr const wchar_t *ClassName = L"PexorLauncherForm";
  static void registerClass(HINSTANCE instance);
  static void unregisterClass(HINSTANCE instance);

  FormWindow(Win32Port &port, const FormView &view, FormSink &sink);
  FormWindow(const FormWindow &) = delete;
  FormWindow &operator=(const FormWindow &) = delete;
  ~FormWindow();

  HWND hwnd() const { return hwnd_; }
  int dpi() const { return dpi_; }

  void destroy();
  void setCaption(const std::string &caption);
  void show(bool visible);
  FormBounds bounds() const;
  void move(float left, float top);
  void resize(float width, float height);
  int state() const;
  void setState(int state);
  void put(const ControlView &view);
  void refresh();
  void startTimer(int timerId, int intervalMs);
  void stopTimer(int timerId);

private:
  struct Item {
    FormWindow *owner = nullptr;
    ControlView view;
    HWND window = nullptr; // windowed kinds only
    WNDPROC original = nullptr;
    UniqueFont font;
    UniqueBrush brush;
  };

  static LRESULT CALLBACK formProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleControl(Item &control, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT command(WORD id, WORD code);
  LRESULT controlColour(HDC dc, HWND child, UINT message, WPARAM wParam, LPARAM lParam);
  void rescale(int dpi, const RECT &outer);
  int px(float twips) const { return twipsToPixels(twips, dpi_); }

  // Controls (FormControls.cpp).
  static bool windowed(ControlKind kind);
  Item *item(int id) const;
  RECT rectOf(const Item &control) const;
  bool shown(const Item &control) const;
  void create(Item &control);
  void update(Item &control, const ControlView &view);
  void placeWindowed(const Item &control);
  void placeChildrenOf(int frameId);
  static void fillList(const Item &control);
  HFONT fontOf(Item &control) const;
  static HBRUSH brushOf(Item &control);
  void focusFirst();
  void focusNext(const Item &from, bool backwards);

  // Painting (FormPaint.cpp).
  void paint();
  void paintItem(HDC dc, Item &control);
  void drawButton(Item &control, const DRAWITEMSTRUCT &draw);
  HBITMAP picture(const std::string &name);
  int labelAt(POINT point) const;

  Win32Port &port_;
  FormSink *sink_;
  HWND hwnd_ = nullptr;
  int dpi_ = 96; // the scale the twips are drawn at
  bool activates_ = true;
  int pressedLabel_ = 0;
  HWND lastFocus_ = nullptr;
  std::vector<std::unique_ptr<Item>> items_; // creation order
  UniqueBrush background_;
  std::map<std::string, UniqueBitmap> pictures_;
};

} // namespace pexor::win32
