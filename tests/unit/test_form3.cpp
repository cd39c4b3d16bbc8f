#include "guidance/Int32.h"
#include "tests/unit/GuidanceFixture.h"

#include <ostream>
#include <string>
#include <vector>

namespace pexor::test {
namespace {

using sim::WindowCall;
using sim::WinOp;

constexpr int Enter = sim::VK_RETURN_KEY;
constexpr int Esc = sim::VK_ESCAPE_KEY;
constexpr int LeftAlt = sim::VK_LMENU_KEY;
constexpr int AnyAlt = sim::VK_MENU_KEY;
constexpr int RightAlt = 165;

class Form3Test : public GuidanceTest {
protected:
  Form3Test() {
    desk.setScreen(1024, 768);
    emulator = desk.openWindow("SDL_app", WinRect{0, 0, 1024, 768}, false);
    sys.hwndEmulator = emulator;
  }

  // The desktop reports the either-side code 18 too while left Alt is down.
  void holdLeftAlt() { desk.press(LeftAlt); }

  // Opens the window at `t0` and moves to `t0 + ms`.
  void openAndAdvance(std::int64_t ms) {
    openForm3();
    desk.advance(ms);
  }

  std::vector<WindowCall> callsSince(size_t from) const {
    const auto &all = desk.windowCalls();
    return {all.begin() + static_cast<std::ptrdiff_t>(from), all.end()};
  }

  int countCalls(WinOp op, Hwnd hwnd) const {
    int n = 0;
    for (const auto &call : desk.windowCalls())
      n += call.op == op && call.hwnd == hwnd ? 1 : 0;
    return n;
  }

  std::string record(const char *name) const { return text(hForm3(), name); }

  Hwnd emulator = 0;
};

TEST_F(Form3Test, LoadsOverTheGameScreenWithTheCentredPanel) {
  launcher.width = 640;
  launcher.height = 480;
  desk.setScreen(1280, 1024); // not consulted
  openForm3();
  const Hwnd h = hForm3();
  ASSERT_NE(h, 0u);
  const auto info = desk.formInfo(h);
  EXPECT_TRUE(info->visible);
  EXPECT_TRUE(info->borderless);
  EXPECT_EQ(info->backColor, 0x00000000u);
  EXPECT_FLOAT_EQ(info->bounds.left, 0);
  EXPECT_FLOAT_EQ(info->bounds.top, 0);
  EXPECT_FLOAT_EQ(info->bounds.width, 9600);
  EXPECT_FLOAT_EQ(info->bounds.height, 7200);
  EXPECT_FALSE(desk.windowInfo(h)->topmost);
  EXPECT_EQ(countCalls(WinOp::SetPos, h), 0);
  const ControlView frame = desk.control(h, "Frame1");
  EXPECT_EQ(frame.left, 1672.5f);
  EXPECT_EQ(frame.top, 2392.5f);
  EXPECT_EQ(frame.text, "ЗАДЪЖИТЕЛНО ДЕЙСТВИЕ");
  EXPECT_EQ(frame.backColor, 0x00404040u);
}

TEST_F(Form3Test, PanelHoldsTheDesignedControlsAndHiddenRecords) {
  openForm3();
  const Hwnd h = hForm3();
  const ControlView frame = desk.control(h, "Frame1");
  EXPECT_EQ(frame.width, 6255);
  EXPECT_EQ(frame.height, 2415);
  const ControlView label1 = desk.control(h, "Label1");
  EXPECT_EQ(label1.parent, frame.id);
  EXPECT_EQ(label1.text, "Натиснете:   Alt+Enter   за стартиране на играта!");
  EXPECT_EQ(label1.left, 600);
  EXPECT_EQ(label1.top, 840);
  EXPECT_TRUE(label1.transparent);
  EXPECT_EQ(label1.foreColor, 0x00FFFFFFu);
  EXPECT_TRUE(label1.font.bold);
  const ControlView label2 = desk.control(h, "Label2");
  EXPECT_EQ(label2.parent, frame.id);
  EXPECT_EQ(label2.text, "Esc     за директно затваряне на програмата!");
  EXPECT_EQ(desk.control(h, "Shape1").parent, frame.id);
  for (const char *name : {"Label100", "Label200"}) {
    const ControlView v = desk.control(h, name);
    EXPECT_EQ(v.parent, -1);
    EXPECT_FALSE(v.visible);
    EXPECT_EQ(v.text, name); // the design text until the first sample
  }
}

TEST_F(Form3Test, SizeOverflowIsShownAndEndsTheProgram) {
  launcher.width = 143165577; // x 15 passes the 32-bit range
  openForm3();
  ASSERT_EQ(desk.messageBoxes().size(), 1u);
  EXPECT_NE(desk.messageBoxes()[0].text.find("'6'"), std::string::npos);
  EXPECT_EQ(fatalCleanups, 1);
  EXPECT_TRUE(desk.programEnded());
}

TEST_F(Form3Test, HeightOverflowIsAnErrorToo) {
  launcher.height = -143165578;
  openForm3();
  ASSERT_EQ(desk.messageBoxes().size(), 1u);
  EXPECT_TRUE(desk.programEnded());
}

TEST(Int32Arithmetic, OverflowIsAnErrorNotAWrap) {
  EXPECT_EQ(mul32(143165576, 15), 2147483640);
  EXPECT_EQ(mul32(-143165576, 15), -2147483640);
  EXPECT_EQ(sub32(0, 2147483647), -2147483647);
  EXPECT_EQ(sub32(-1, 2147483647), -2147483647 - 1);
  try {
    mul32(143165577, 15);
    FAIL() << "no overflow";
  } catch (const Error &e) {
    EXPECT_EQ(e.number(), err::Overflow);
  }
  EXPECT_THROW(sub32(-2, 2147483647), Error);
  EXPECT_THROW(sub32(2147483647, -1), Error);
}

TEST_F(Form3Test, PlacesTheEmulatorWindowOnceAt150Milliseconds) {
  openForm3();
  desk.advance(100);
  // The first foreground tick shows the emulator's window and gives it the keyboard.
  EXPECT_TRUE(desk.windowInfo(emulator)->visible);
  EXPECT_EQ(desk.foreground(), emulator);
  desk.advance(49);
  EXPECT_EQ(countCalls(WinOp::Move, emulator), 0);
  EXPECT_TRUE(desk.mouseEvents().empty());
  const size_t from = desk.windowCalls().size();
  desk.advance(1);
  EXPECT_EQ(desk.now(), 150);

  std::vector<WindowCall> placing;
  for (const auto &call : callsSince(from))
    if (call.hwnd == emulator)
      placing.push_back(call);
  ASSERT_EQ(placing.size(), 4u);
  EXPECT_EQ(placing[0].op, WinOp::Show);
  EXPECT_EQ(placing[0].command, ShowCommand::ShowNormal);
  EXPECT_EQ(placing[1].op, WinOp::SetPos);
  EXPECT_EQ(placing[1].insertAfter, ZOrder::Topmost);
  EXPECT_EQ(placing[1].cx, 100);
  EXPECT_EQ(placing[1].cy, 100);
  EXPECT_EQ(placing[1].flags, Placement::ShowWindow);
  EXPECT_EQ(placing[2].op, WinOp::GetRect);
  EXPECT_EQ(placing[3].op, WinOp::Move);
  EXPECT_EQ(placing[3].x, -100);
  EXPECT_EQ(placing[3].y, 0);
  EXPECT_EQ(placing[3].cx, 100);
  EXPECT_EQ(placing[3].cy, 100);
  EXPECT_TRUE(placing[3].repaint);

  // Two clicks beside the emulator's corner, on the game screen.
  ASSERT_EQ(desk.mouseEvents().size(), 2u);
  EXPECT_EQ(desk.mouseEvents()[0].flags, MouseAction::Move | MouseAction::LeftDown |
                                             MouseAction::LeftUp | MouseAction::Absolute);
  EXPECT_EQ(desk.mouseEvents()[0].dx, 6400);
  EXPECT_EQ(desk.mouseEvents()[0].dy, 8533);
  EXPECT_EQ(desk.mouseEvents()[1].dx, 9600);
  EXPECT_EQ(desk.mouseEvents()[1].dy, 8533);

  const auto info = desk.windowInfo(emulator);
  EXPECT_EQ(info->rect.left, -100);
  EXPECT_EQ(info->rect.top, 0);
  EXPECT_EQ(info->rect.right, 0);
  EXPECT_EQ(info->rect.bottom, 100);
  EXPECT_TRUE(info->topmost);
  EXPECT_TRUE(info->visible);

  desk.advance(3000);
  EXPECT_EQ(countCalls(WinOp::Move, emulator), 1);
  EXPECT_EQ(desk.mouseEvents().size(), 2u);
}

TEST_F(Form3Test, KeepsTheEmulatorInTheForegroundEveryTenthOfASecond) {
  openAndAdvance(1000);
  EXPECT_EQ(countCalls(WinOp::SetForeground, emulator), 10);
  EXPECT_EQ(desk.foreground(), emulator);
  // The handle is read afresh at each tick.
  const Hwnd other = desk.openWindow("SDL_app", WinRect{0, 0, 640, 480}, false);
  sys.hwndEmulator = other;
  desk.advance(300);
  EXPECT_EQ(countCalls(WinOp::SetForeground, emulator), 10);
  EXPECT_EQ(countCalls(WinOp::SetForeground, other), 3);
  EXPECT_EQ(desk.foreground(), other);
}

TEST_F(Form3Test, AltEnterIsAcceptedAtTheSampleAndClosesTwoSecondsLater) {
  desk.at(250, [this] {
    holdLeftAlt();
    desk.press(Enter);
  });
  openAndAdvance(299);
  ASSERT_TRUE(desk.keyDown(AnyAlt));
  EXPECT_EQ(record("Label200"), "Label200"); // not sampled while placing
  desk.advance(1);
  EXPECT_EQ(record("Label100"), "164");
  EXPECT_EQ(record("Label200"), "13");
  EXPECT_FALSE(form3.get()->Timer3.enabled());
  EXPECT_TRUE(form3.get()->Timer4.enabled());
  const int foregroundBefore = countCalls(WinOp::SetForeground, emulator);
  desk.advance(1999);
  ASSERT_NE(hForm3(), 0u);
  EXPECT_GE(countCalls(WinOp::SetForeground, emulator) - foregroundBefore, 19);
  desk.advance(1);
  EXPECT_EQ(hForm3(), 0u);
  EXPECT_TRUE(launcher.calls.empty());
  EXPECT_FALSE(desk.programEnded());
}

TEST_F(Form3Test, AltEnterTappedBetweenSamplesStillCounts) {
  desk.at(200, [this] { holdLeftAlt(); });
  desk.at(250, [this] { desk.tap(Enter); });
  openAndAdvance(300);
  EXPECT_TRUE(form3.get()->Timer4.enabled());
}

// Keys 40 ms apart, a sample falling between Alt and Enter: Alt is no longer
// down at the next sample, Enter came after it. On a busy machine the key
// state may still read Alt up at that sample, though the keyboard has told of
// its press: it was held all the same.
TEST_F(Form3Test, AltEnterTypedAcrossASampleCounts) {
  for (const std::int64_t lag : {0, 100}) {
    SCOPED_TRACE("key state " + std::to_string(lag) + " ms behind the keyboard");
    desk.setKeyStateLag(lag);
    const std::int64_t t0 = desk.now();
    desk.at(t0 + 590, [this] { holdLeftAlt(); });
    desk.at(t0 + 630, [this] { desk.press(Enter); });
    desk.at(t0 + 670, [this] { desk.release(Enter); });
    desk.at(t0 + 710, [this] { desk.release(LeftAlt); });
    openAndAdvance(600);
    EXPECT_FALSE(form3.get()->Timer4.enabled());
    desk.advance(300);
    EXPECT_TRUE(form3.get()->Timer4.enabled());
    desk.advance(2000);
    ASSERT_EQ(hForm3(), 0u);
  }
}

// Alt tapped and let go before a sample, then Enter alone: not Alt+Enter,
// even while the key state lags.
TEST_F(Form3Test, AltLetGoBeforeEnterIsNotAltEnter) {
  desk.setKeyStateLag(100);
  desk.at(560, [this] { desk.tap(LeftAlt); });
  desk.at(640, [this] { desk.tap(Enter); });
  openAndAdvance(900);
  EXPECT_EQ(record("Label100"), "1000");
  EXPECT_EQ(record("Label200"), "13");
  EXPECT_FALSE(form3.get()->Timer4.enabled());
}

struct HeldKeys {
  const char *name;
  std::vector<int> keys;
  const char *label100;
  const char *label200;
};

void PrintTo(const HeldKeys &keys, std::ostream *os) { *os << keys.name; }

class Form3RefusedTest : public Form3Test, public ::testing::WithParamInterface<HeldKeys> {};

// Alt+Enter counts only with left Alt reported and Enter the highest code of
// 13 to 27 (either-side Alt left out).
TEST_P(Form3RefusedTest, IsNotAltEnter) {
  desk.at(250, [this] {
    for (const int key : GetParam().keys)
      desk.press(key);
  });
  openAndAdvance(300);
  EXPECT_EQ(record("Label100"), GetParam().label100);
  EXPECT_EQ(record("Label200"), GetParam().label200);
  // The sample's trace names Alt and Enter, any other key only as one.
  for (const auto &line : desk.traceLines())
    if (line.event.starts_with("mandatory action: sample")) {
      const std::string key = line.event.substr(line.event.find(", key ") + 6);
      const std::string said = GetParam().label200;
      EXPECT_EQ(key.substr(0, key.find(',')),
                said == "13" || said == "1000" ? said : "another key");
    }
  EXPECT_TRUE(form3.get()->Timer3.enabled());
  EXPECT_FALSE(form3.get()->Timer4.enabled());
  desk.advance(5000);
  EXPECT_NE(hForm3(), 0u);
  EXPECT_TRUE(launcher.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, Form3RefusedTest,
    ::testing::Values(HeldKeys{"ShiftWithAltEnter", {LeftAlt, 16, Enter}, "164", "16"},
                      HeldKeys{"CtrlWithAltEnter", {LeftAlt, 17, Enter}, "164", "17"},
                      HeldKeys{"RightAltEnter", {RightAlt, Enter}, "1000", "13"},
                      HeldKeys{"EnterAlone", {Enter}, "1000", "13"},
                      HeldKeys{"LeftAltAlone", {LeftAlt}, "164", "1000"},
                      HeldKeys{"AltWithAKeyAboveEnter", {LeftAlt, Enter, 20}, "164", "20"},
                      HeldKeys{"Nothing", {}, "1000", "1000"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Form3Test, ShiftReleasedLetsTheNextSampleAccept) {
  desk.at(250, [this] {
    holdLeftAlt();
    desk.press(16);
    desk.press(Enter);
  });
  desk.at(400, [this] { desk.release(16); });
  openAndAdvance(599);
  EXPECT_FALSE(form3.get()->Timer4.enabled());
  desk.advance(1);
  EXPECT_TRUE(form3.get()->Timer4.enabled());
  desk.advance(2000);
  EXPECT_EQ(hForm3(), 0u);
}

TEST_F(Form3Test, RecordsDescribeTheIntervalSinceTheSampleBefore) {
  desk.at(250, [this] {
    holdLeftAlt();
    desk.press(20);
  });
  desk.at(350, [this] {
    desk.release(LeftAlt);
    desk.release(20);
  });
  openAndAdvance(300);
  EXPECT_EQ(record("Label100"), "164");
  EXPECT_EQ(record("Label200"), "20");
  // Left Alt was still down after that sample; the other key counts once.
  desk.advance(300);
  EXPECT_EQ(record("Label100"), "164");
  EXPECT_EQ(record("Label200"), "1000");
  desk.advance(300);
  EXPECT_EQ(record("Label100"), "1000");
  EXPECT_FALSE(shown(hForm3(), "Label100"));
  EXPECT_FALSE(shown(hForm3(), "Label200"));
}

TEST_F(Form3Test, EscClosesTheLauncherAndWithItThisWindow) {
  desk.at(50, [this] { desk.press(Esc); });
  openAndAdvance(299);
  EXPECT_TRUE(launcher.calls.empty()); // no sample while placing
  desk.advance(1);
  EXPECT_EQ(launcher.calls, std::vector<std::string>{"closeLauncher"});
  EXPECT_EQ(hForm3(), 0u);
  EXPECT_FALSE(form3.loaded());
  EXPECT_EQ(fatalCleanups, 0);
  EXPECT_TRUE(desk.messageBoxes().empty());
}

TEST_F(Form3Test, EscClosesThisWindowEvenWhenTheLauncherLeavesItOpen) {
  launcher.onClose = nullptr;
  desk.at(250, [this] { desk.press(Esc); });
  openAndAdvance(300);
  EXPECT_EQ(launcher.calls, std::vector<std::string>{"closeLauncher"});
  EXPECT_EQ(hForm3(), 0u);
}

TEST_F(Form3Test, EscBeatsAltEnterAtTheSameSample) {
  launcher.onClose = nullptr; // keep the window, to look at it afterwards
  desk.at(250, [this] {
    holdLeftAlt();
    desk.press(Enter);
    desk.press(Esc);
  });
  openAndAdvance(300);
  EXPECT_EQ(launcher.calls, std::vector<std::string>{"closeLauncher"});
  EXPECT_EQ(hForm3(), 0u);
}

TEST_F(Form3Test, EscIsNotWatchedAfterAltEnter) {
  desk.at(250, [this] {
    holdLeftAlt();
    desk.press(Enter);
  });
  desk.at(400, [this] {
    desk.release(LeftAlt);
    desk.release(Enter);
    desk.press(Esc);
  });
  openAndAdvance(2299);
  EXPECT_TRUE(launcher.calls.empty());
  ASSERT_NE(hForm3(), 0u);
  desk.advance(1);
  EXPECT_EQ(hForm3(), 0u);
  EXPECT_TRUE(launcher.calls.empty());
}

TEST_F(Form3Test, OpenedAgainItPlacesTheEmulatorAgainAndSamplesAfresh) {
  desk.at(250, [this] {
    holdLeftAlt();
    desk.press(Enter);
  });
  openAndAdvance(2300);
  ASSERT_EQ(hForm3(), 0u);
  desk.release(LeftAlt);
  desk.release(Enter);
  desk.moveWindow(emulator, 0, 0, 1024, 768, true); // the emulator back full-screen

  desk.advance(700); // 3000
  openForm3();
  EXPECT_EQ(record("Label100"), "Label100");
  EXPECT_TRUE(form3.get()->Timer3.enabled());
  EXPECT_FALSE(form3.get()->Timer4.enabled());
  desk.advance(149);
  EXPECT_EQ(countCalls(WinOp::Move, emulator), 2); // the first placing and the test's own
  desk.advance(1);
  EXPECT_EQ(countCalls(WinOp::Move, emulator), 3);
  EXPECT_EQ(desk.windowInfo(emulator)->rect.left, -100);
  desk.advance(150);
  EXPECT_EQ(record("Label100"), "1000");
  EXPECT_EQ(record("Label200"), "1000");
}

TEST_F(Form3Test, WithoutAnEmulatorWindowItStillSamplesAndEscStillEnds) {
  sys.hwndEmulator = 0;
  desk.at(400, [this] { desk.press(Esc); });
  openAndAdvance(150);
  const auto &calls = desk.windowCalls();
  ASSERT_FALSE(calls.empty());
  const WindowCall &move = calls.back();
  EXPECT_EQ(move.op, WinOp::Move);
  EXPECT_EQ(move.hwnd, 0u);
  EXPECT_EQ(move.x, 0);
  EXPECT_EQ(move.y, 0);
  EXPECT_EQ(move.cx, 0);
  EXPECT_EQ(move.cy, 0);
  desk.advance(450);
  EXPECT_EQ(launcher.calls, std::vector<std::string>{"closeLauncher"});
  EXPECT_EQ(hForm3(), 0u);
}

TEST_F(Form3Test, AStaleHandleGivesAnEmptyRectangleAndNoHarm) {
  desk.closeWindow(emulator);
  openAndAdvance(150);
  int moves = 0;
  for (const auto &call : desk.windowCalls())
    if (call.op == WinOp::Move) {
      ++moves;
      EXPECT_EQ(call.hwnd, emulator);
      EXPECT_EQ(call.x, 0);
      EXPECT_EQ(call.cx, 0);
      EXPECT_EQ(call.cy, 0);
    }
  EXPECT_EQ(moves, 1);
  EXPECT_TRUE(desk.messageBoxes().empty());
  EXPECT_NE(hForm3(), 0u);
}

TEST_F(Form3Test, ClosedFromOutsideStopsEverything) {
  openAndAdvance(120);
  app.dispatch([this] { form3.unload(); });
  const size_t calls = desk.windowCalls().size();
  desk.at(200, [this] { desk.press(Esc); });
  desk.advance(3000);
  EXPECT_EQ(desk.windowCalls().size(), calls);
  EXPECT_TRUE(launcher.calls.empty());
}

} // namespace
} // namespace pexor::test
