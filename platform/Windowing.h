#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pexor {

// Native handle of any top-level window: the system's own forms and the
// emulator's window alike. 32 bits, as the system stores it.
using Hwnd = std::uint32_t;

enum class ControlKind { Label, Button, OptionButton, ListBox, TextBox, Image, Frame, Shape };

// Classic colour values: &H00BBGGRR, or a system colour with the high bit set.
using Colour = std::uint32_t;
inline constexpr Colour ButtonFace = 0x8000000F;
inline constexpr Colour WindowText = 0x80000008;
inline constexpr Colour WindowBackground = 0x80000005;

struct FontSpec {
  std::string name = "MS Sans Serif";
  float points = 8.25f;
  bool bold = false;
  int charset = 204;
};

// Everything a backend shows of one control. Positions are twips, relative
// to the parent: the form, or the frame named by `parent`; they become pixels
// at the form's DPI, as fonts and pictures scale with them.
struct ControlView {
  int id = 0;
  ControlKind kind = ControlKind::Label;
  int parent = -1;
  std::string name;
  std::string text; // UTF-8
  bool visible = true;
  bool enabled = true;
  float left = 0, top = 0, width = 0, height = 0;
  std::vector<std::string> items;
  int listIndex = -1;
  bool value = false;
  Colour foreColor = WindowText;
  Colour backColor = ButtonFace;
  bool transparent = false;
  bool graphical = false;
  FontSpec font;
  std::string picture; // name of a bitmap resource
};

struct FormView {
  std::string name;
  std::string caption;                     // UTF-8
  float clientWidth = 0, clientHeight = 0; // twips
  bool borderless = false;
  Colour backColor = ButtonFace;
  bool showInTaskbar = true;
  bool activates = true; // false: takes the foreground neither when shown nor when clicked
};

// Outer bounds of a form, twips.
struct FormBounds {
  float left = 0, top = 0, width = 0, height = 0;
};

enum WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

// Events a backend reports upwards, for one form.
class FormSink {
public:
  virtual void onClick(int controlId) = 0;
  virtual void onMouseUp(int controlId) = 0;
  virtual void onListSelected(int controlId, int index) = 0; // the user's pick
  virtual void onCloseRequest() = 0;
  virtual void onResize() = 0;
  virtual void onTimer(int timerId) = 0;
  // The window now draws at another DPI (moved to another monitor, or the
  // scale changed): the backend has already laid it out at the new scale.
  virtual void onDpiChanged() = 0;

protected:
  ~FormSink() = default;
};

// The native side of the window runtime: windows, controls and timers.
class WindowBackend {
public:
  virtual ~WindowBackend() = default;

  // Creates the form's window hidden, with no controls yet.
  virtual Hwnd createForm(const FormView &view, FormSink &sink) = 0;
  virtual void destroyForm(Hwnd form) = 0;
  virtual void setCaption(Hwnd form, const std::string &caption) = 0;
  virtual void showForm(Hwnd form, bool visible) = 0;
  virtual FormBounds formBounds(Hwnd form) = 0;
  virtual void moveForm(Hwnd form, float left, float top) = 0;
  virtual void sizeForm(Hwnd form, float width, float height) = 0;
  virtual int windowState(Hwnd form) = 0;
  virtual void setWindowState(Hwnd form, int state) = 0;
  // Dots per inch the form's window is drawn at (96 at 100 %): its twips
  // become pixels at this scale. The primary display's for a form not known.
  virtual int formDpi(Hwnd form) = 0;

  // Creates the control on first sight, updates it afterwards.
  virtual void putControl(Hwnd form, const ControlView &control) = 0;
  // Draws the form as its controls are now, at once, while the program is
  // busy; no other event of the program runs meanwhile.
  virtual void refreshForm(Hwnd form) = 0;

  // Starting a running timer again restarts its countdown.
  virtual void startTimer(Hwnd form, int timerId, int intervalMs) = 0;
  virtual void stopTimer(Hwnd form, int timerId) = 0;

  // No form is left: the program ends once the current event returns.
  virtual void endProgram() = 0;
};

} // namespace pexor
