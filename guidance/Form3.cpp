#include "guidance/Form3.h"

#include "guidance/InFrame.h"
#include "guidance/Int32.h"
#include "platform/Units.h"
#include "resources/Form3Design.h"
#include "system/MouseClick.h"
#include "system/NewOntheTop.h"

#include <cmath>
#include <string>

namespace pexor {

namespace {

constexpr int VkReturn = code(VirtualKey::Return);
constexpr int VkMenu = code(VirtualKey::Menu);
constexpr int VkEscape = code(VirtualKey::Escape);
constexpr int VkLeftMenu = code(VirtualKey::LeftMenu);
constexpr const char *NoKey = "1000";

} // namespace

Form3::Form3(forms::Application &app, System &sys, LauncherLink &launcher)
    : forms::Form(app, design::form3().form), Label100(*this, design::form3().Label100),
      Label200(*this, design::form3().Label200), Frame1(*this, design::form3().Frame1),
      Shape1(*this, inFrame(design::form3().Shape1, Frame1)),
      Label1(*this, inFrame(design::form3().Label1, Frame1)),
      Label2(*this, inFrame(design::form3().Label2, Frame1)), Timer1(*this, 200, true),
      Timer2(*this, 100, true), Timer3(*this, 300, true), Timer4(*this, 2000, false), sys_(sys),
      launcher_(launcher), keys_(sys.port) {
  Timer1.Tick = [this] { Timer1_Timer(); };
  Timer2.Tick = [this] { Timer2_Timer(); };
  Timer3.Tick = [this] { Timer3_Timer(); };
  Timer4.Tick = [this] { Timer4_Timer(); };
}

void Form3::Form_Load() { coverGameScreen(); }

void Form3::Form_DpiChanged() { coverGameScreen(); }

// Covers the game screen, which the launcher has just switched to; the
// screen's own size is not asked, as the switch may not have landed yet.
// The game's pixels are screen pixels: in twips at this window's scale.
void Form3::coverGameScreen() {
  const double width = gameTwips(launcher_.gameWidth());
  setWidth(static_cast<float>(width));
  const double height = gameTwips(launcher_.gameHeight());
  setHeight(static_cast<float>(height));
  setLeft(0);
  setTop(0);
  Frame1.setLeft(static_cast<float>(width / 2.0 - Frame1.width() / 2.0));
  Frame1.setTop(static_cast<float>(height / 2.0 - Frame1.height() / 2.0));
}

// Whole pixels times the twips of one pixel, in 32-bit range or an overflow.
double Form3::gameTwips(std::int32_t pixels) {
  const double twips = pixels * static_cast<double>(twipsPerPixel());
  int32Checked(std::llround(twips));
  return twips;
}

// Once: the emulator's window is shown, put on top at the corner, clicked
// beside, and then moved just off the left edge, keeping its size.
void Form3::Timer1_Timer() {
  Timer1.setEnabled(false);
  Port &port = sys_.port;
  port.showWindow(sys_.hwndEmulator, ShowCommand::ShowNormal);
  PutOnTop(sys_);
  LeftClick1(sys_);
  LeftClick2(sys_);
  WinRect rect{};
  port.getWindowRect(sys_.hwndEmulator, rect);
  const std::int32_t x = sub32(rect.left, rect.right);
  const std::int32_t width = sub32(rect.right, rect.left);
  const std::int32_t height = sub32(rect.bottom, rect.top);
  port.moveWindow(sys_.hwndEmulator, x, 0, width, height, true);
  port.trace("mandatory action: the emulator's window placed, moved to " + std::to_string(x) +
             ",0");
}

// Keeps the keyboard with the emulator; the first tick also brings the
// placing forward to 50 ms from now.
// Traced when the outcome changes, not at every tick.
void Form3::Timer2_Timer() {
  Timer1.setInterval(50);
  const bool shown = sys_.port.showWindow(sys_.hwndEmulator, ShowCommand::ShowNormal);
  const bool forward = sys_.port.setForegroundWindow(sys_.hwndEmulator);
  const int outcome = (shown ? 1 : 0) + (forward ? 2 : 0);
  if (outcome != lastForwardOutcome_)
    sys_.port.trace(std::string("mandatory action: the emulator's window ") +
                    (shown ? "shown" : "not shown") + ", " +
                    (forward ? "brought forward" : "not brought forward"));
  lastForwardOutcome_ = outcome;
}

void Form3::Timer3_Timer() {
  Label100.setCaption(NoKey);
  Label200.setCaption(NoKey);
  // Alt held at the last sample and let go since was down in this interval
  // too: Alt+Enter typed across a sample is still Alt+Enter, as the emulator
  // saw it. Held is the keyboard's word as well as the key state's, which on
  // a busy machine may still read up just after the keyboard told of Alt.
  const KeyReport leftAlt = keys_.report(VkLeftMenu);
  if (leftAlt.any() || leftAltHeldAtLastSample_)
    Label100.setCaption(std::to_string(VkLeftMenu));
  leftAltHeldAtLastSample_ = leftAlt.held();
  // Either Alt reports VK_MENU while held; left out, so that Alt+Enter leaves
  // Enter as the highest code seen.
  for (int code = VkReturn; code <= VkEscape; ++code) {
    if (code == VkMenu)
      continue;
    if (keys_.seen(code))
      Label200.setCaption(std::to_string(code));
  }
  if ((Label100.caption() != NoKey || Label200.caption() != NoKey) && sys_.port.tracing())
    traceSample(leftAlt);
  if (Label200.caption() == std::to_string(VkReturn) &&
      Label100.caption() == std::to_string(VkLeftMenu)) {
    sys_.port.trace("mandatory action: Alt+Enter accepted, closing in 2 s");
    Timer3.setEnabled(false);
    Timer4.setEnabled(true);
  }
  if (Label200.caption() == std::to_string(VkEscape)) {
    sys_.port.trace("mandatory action: Esc, everything closes");
    // The launcher's shutdown closes this window too; the runtime frees it
    // only after this handler, so the second close is a safe no-op.
    launcher_.closeLauncher();
    unload();
  }
}

// Enter and Esc by name; another key of the scan (Shift, Ctrl, ...) only as
// another key: what the player types is never told.
void Form3::traceSample(const KeyReport &leftAlt) {
  const auto named = [](const std::string &record) {
    if (record == NoKey)
      return record;
    const int vk = std::stoi(record);
    return traceMayName(vk) ? record : std::string("another key");
  };
  const char *altNow = leftAlt.downNow  ? ", left Alt down"
                       : leftAlt.held() ? ", left Alt held, its key state not yet down"
                                        : "";
  sys_.port.trace("mandatory action: sample, left Alt " + named(Label100.caption()) + ", key " +
                  named(Label200.caption()) + altNow);
}

void Form3::Timer4_Timer() {
  sys_.port.trace("mandatory action: closed");
  unload();
}

} // namespace pexor
