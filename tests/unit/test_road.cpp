#include "launcher/Guardian.h"
#include "tests/unit/LauncherFixture.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

namespace pexor::test {
namespace {

using sim::KeyEvent;
using sim::WinOp;

constexpr int LeftWin = sim::VK_LWIN_KEY;
constexpr int LeftAlt = sim::VK_LMENU_KEY;
constexpr int Enter = sim::VK_RETURN_KEY;
constexpr int Esc = sim::VK_ESCAPE_KEY;

const std::string RoadConf = "[sdl]\r\n"
                             "fullscreen=false\r\n"
                             "fullresolution=1024x768\r\n"
                             "\r\n"
                             "[cpu]\r\n"
                             "cycles=12000\r\n";

// One run of the game through the whole program, in virtual time. The
// desktop is 1280 x 1024; the game runs at 1024 x 768.
class RoadTest : public LauncherTest {
protected:
  RoadTest() {
    ship(RoadConf);
    // The start shortcut starts the emulator, which opens its window at once.
    desk.setRunHandler([this](const sim::ShellRun &run) {
      runAt = desk.now();
      runFile = run.file;
      emulatorPid =
          desk.startProcess(emulatorImage.empty() ? installed("DOSBox.exe") : emulatorImage);
      if (emulatorOpensWindow)
        emulator = desk.openWindow("SDL_app", WinRect{0, 0, 1024, 768}, true, emulatorPid);
    });
  }

  void advanceTo(std::int64_t t) {
    ASSERT_GE(t, desk.now());
    desk.advance(t - desk.now());
  }

  // The game's window goes at `closedAt`: the watch's next look, half a
  // second on, ends the launcher and the emulator, and not a moment before.
  void expectTheWindowGoingEndsTheGame(std::int64_t closedAt) {
    desk.at(closedAt, [this] { desk.closeWindow(emulator); });
    advanceTo(closedAt + 499);
    EXPECT_FALSE(desk.programEnded());
    advanceTo(closedAt + 500);
    EXPECT_TRUE(desk.programEnded());
    EXPECT_FALSE(desk.processRunning(emulatorPid));
  }

  Hwnd f2() const { return desk.form("Form2"); }
  Hwnd f3() const { return desk.form("Form3"); }
  const System &sys() { return launcher->sys(); }
  int windowState() const { return desk.formInfo(f1())->windowState; }
  bool visible(Hwnd form) const { return desk.formInfo(form)->visible; }
  std::pair<int, int> display() const { return {desk.currentWidth(), desk.currentHeight()}; }

  int findCalls() const {
    int n = 0;
    for (const auto &call : desk.windowCalls())
      n += call.op == WinOp::Find && call.className == "SDL_app" ? 1 : 0;
    return n;
  }

  // START at 1000, "OK" at 3000, the launch at 3500.
  void launch() {
    start();
    advanceTo(1000);
    ASSERT_TRUE(desk.clickControl(f1(), "Label2"));
    advanceTo(3000);
    ASSERT_TRUE(desk.clickControl(f2(), "Command1"));
    advanceTo(3500);
    ASSERT_EQ(runAt, 3500);
  }

  // The left Windows key, seen by the launcher's tick at `t`.
  void windowsKeyAt(std::int64_t t) {
    desk.at(t - 40, [this] { desk.tap(LeftWin); });
    advanceTo(t);
  }

  // START again at `t`, from the minimised launcher.
  void startAgainAt(std::int64_t t) {
    advanceTo(t);
    ASSERT_TRUE(desk.userSetWindowState(f1(), WindowState::Normal));
    ASSERT_TRUE(desk.clickControl(f1(), "Label3"));
  }

  std::int64_t runAt = -1;
  std::string runFile;
  std::uint32_t emulatorPid = 0;
  Hwnd emulator = 0;
  bool emulatorOpensWindow = true;
  std::string emulatorImage; // the path the system reports for it, when not the installed one
};

constexpr KeyAction Down = KeyAction::ExtendedKey;
constexpr KeyAction Up = KeyAction::ExtendedKey | KeyAction::Release;
const std::vector<KeyEvent> AltTab = {
    {164, 0, Down, 0}, {9, 0, Down, 0}, {9, 0, Up, 0}, {164, 0, Up, 0}};

bool sameKeys(const std::vector<KeyEvent> &a, const std::vector<KeyEvent> &b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].vk != b[i].vk || a[i].scan != b[i].scan || a[i].flags != b[i].flags ||
        a[i].extra != b[i].extra)
      return false;
  return true;
}

TEST_F(RoadTest, OneRunOfTheGameFromStartToEnd) {
  start();
  Form1 &f = form1();
  EXPECT_EQ(gameSize(), std::make_pair(1024, 768));
  EXPECT_EQ(desk.timerInterval(f1(), f.Timer1.id()), 50);

  // START: the paths of the run, the choices put away, the reminder in front.
  advanceTo(1000);
  ASSERT_TRUE(desk.clickControl(f1(), "Label2"));
  ASSERT_NE(f2(), 0u);
  EXPECT_TRUE(visible(f2()));
  EXPECT_TRUE(desk.windowInfo(f2())->topmost);
  EXPECT_TRUE(visible(f1()));
  for (const char *hidden : {"Label2", "Command4", "Option1", "Option2", "List1", "List2"})
    EXPECT_FALSE(shown(hidden).visible) << hidden;
  EXPECT_TRUE(shown("Label3").visible);
  EXPECT_EQ(sys().pathGame, "\"" + installed("Pexor\\Pexor.exe") + "\"");
  EXPECT_EQ(sys().pathEmulator, "\"" + installed("DOSBox.exe") + "\"");
  EXPECT_EQ(sys().pathInstall, installed(""));
  EXPECT_EQ(sys().pathConf, "\"" + installed("dosbox-0.73.conf") + "\"");

  // The logo hint 1.5 s after the reminder opened.
  advanceTo(2499);
  EXPECT_FALSE(desk.control(f2(), "Label1").visible);
  advanceTo(2500);
  EXPECT_TRUE(desk.control(f2(), "Label1").visible);

  // "OK": the game resolution at once, the launch half a second later.
  advanceTo(3000);
  ASSERT_TRUE(desk.clickControl(f2(), "Command1"));
  EXPECT_EQ(display(), std::make_pair(1024, 768));
  const int shortcutsBefore = desk.shortcutsSaved();
  advanceTo(3499);
  EXPECT_NE(f2(), 0u);
  EXPECT_TRUE(desk.runs().empty());
  advanceTo(3500);
  EXPECT_EQ(f2(), 0u);
  EXPECT_EQ(desk.shortcutsSaved(), shortcutsBefore) << "the link already says it all";
  const auto lnk = desk.shortcut(installed("StartPexor.lnk"));
  ASSERT_TRUE(lnk.has_value());
  EXPECT_EQ(lnk->arguments,
            sys().pathGame + " -exit -fullscreen -conf " + sys().pathConf + " -noconsole");
  EXPECT_EQ(runAt, 3500);
  EXPECT_EQ(runFile, installed("StartPexor.lnk"));
  EXPECT_TRUE(desk.timerRunning(f1(), f.Timer2.id()));
  EXPECT_TRUE(desk.timerRunning(f1(), f.Timer5.id()));
  EXPECT_EQ(desk.timerDue(f1(), f.Timer2.id()), 5000);
  EXPECT_EQ(desk.timerDue(f1(), f.Timer5.id()), 4500);

  // The window lookup 1500 ms after the launch (the watch looks every second).
  advanceTo(4999);
  EXPECT_EQ(findCalls(), 1);
  advanceTo(5000);
  EXPECT_EQ(findCalls(), 2);
  EXPECT_FALSE(desk.timerRunning(f1(), f.Timer2.id()));
  EXPECT_EQ(sys().hwndEmulator, emulator);

  // The left Windows key: the launcher minimised, Alt+Tab, and one second
  // later the emulator hidden and the desktop mode back.
  desk.at(8010, [this] { desk.tap(LeftWin); });
  advanceTo(8049);
  EXPECT_EQ(windowState(), WindowState::Normal);
  EXPECT_TRUE(desk.keyEvents().empty());
  advanceTo(8050);
  EXPECT_EQ(windowState(), WindowState::Minimized);
  EXPECT_TRUE(visible(f1()));
  EXPECT_TRUE(sameKeys(desk.keyEvents(), AltTab));
  EXPECT_EQ(shown("Label1").text, "1000");
  EXPECT_EQ(desk.timerDue(f1(), f.Timer1.id()), 9050); // next tick after 1000 ms
  EXPECT_EQ(desk.timerDue(f1(), f.Timer3.id()), 9050);
  advanceTo(9049);
  EXPECT_TRUE(desk.windowInfo(emulator)->visible);
  EXPECT_EQ(display(), std::make_pair(1024, 768));
  advanceTo(9050);
  EXPECT_FALSE(desk.windowInfo(emulator)->visible);
  EXPECT_TRUE(desk.processRunning(emulatorPid));
  EXPECT_EQ(display(), std::make_pair(1280, 1024));
  EXPECT_FALSE(desk.timerRunning(f1(), f.Timer3.id()));
  EXPECT_EQ(desk.timerDue(f1(), f.Timer1.id()), 9100); // every 50 ms again
  EXPECT_EQ(desk.timerInterval(f1(), f.Timer1.id()), 50);

  // The emulator shows itself minimised after it was hidden, as it does on
  // losing the keyboard: hidden again at the next tick, while the player is away.
  desk.at(9420, [this] { desk.showsItselfMinimised(emulator); });
  advanceTo(9449);
  EXPECT_TRUE(desk.windowInfo(emulator)->visible);
  advanceTo(9450);
  EXPECT_FALSE(desk.windowInfo(emulator)->visible);

  // START again: the launcher hidden, the game resolution, the
  // mandatory-action window.
  startAgainAt(12000);
  EXPECT_FALSE(visible(f1()));
  EXPECT_EQ(display(), std::make_pair(1024, 768));
  ASSERT_NE(f3(), 0u);
  EXPECT_TRUE(visible(f3()));
  EXPECT_FLOAT_EQ(desk.formInfo(f3())->bounds.width, 15360);

  // Shown again by the first foreground tick, placed 150 ms after opening.
  advanceTo(12099);
  EXPECT_FALSE(desk.windowInfo(emulator)->visible);
  advanceTo(12100);
  EXPECT_TRUE(desk.windowInfo(emulator)->visible);
  EXPECT_EQ(desk.foreground(), emulator);
  advanceTo(12149);
  EXPECT_EQ(desk.windowInfo(emulator)->rect.left, 0);
  advanceTo(12150);
  const auto placed = desk.windowInfo(emulator);
  EXPECT_EQ(placed->rect.left, -100);
  EXPECT_EQ(placed->rect.top, 0);
  EXPECT_EQ(placed->rect.right, 0);
  EXPECT_EQ(placed->rect.bottom, 100);
  EXPECT_TRUE(placed->visible);
  EXPECT_EQ(desk.foreground(), emulator);

  // Alt+Enter typed between two samples, 40 ms a step, while the launcher's
  // watch scans every key: both see it. The window goes 2 s later.
  desk.at(12320, [this] { desk.press(LeftAlt); });
  desk.at(12360, [this] { desk.press(Enter); });
  desk.at(12400, [this] { desk.release(Enter); });
  desk.at(12440, [this] { desk.release(LeftAlt); });
  advanceTo(12599);
  EXPECT_EQ(shown("Label1").text, "164");
  EXPECT_FALSE(launcher->form3()->Timer4.enabled());
  advanceTo(12600);
  EXPECT_FALSE(launcher->form3()->Timer3.enabled());
  EXPECT_TRUE(launcher->form3()->Timer4.enabled());
  advanceTo(14599);
  EXPECT_NE(f3(), 0u);
  advanceTo(14600);
  EXPECT_EQ(f3(), 0u);
  EXPECT_FALSE(visible(f1()));
  EXPECT_EQ(display(), std::make_pair(1024, 768));
  EXPECT_FALSE(desk.programEnded());

  // The game ends: its window goes, and the watch closes the launcher.
  desk.at(20000, [this] { desk.exitProcess(emulatorPid); });
  advanceTo(20499);
  EXPECT_FALSE(desk.programEnded());
  advanceTo(20500);
  EXPECT_TRUE(desk.programEnded());
  EXPECT_EQ(f1(), 0u);
  EXPECT_EQ(display(), std::make_pair(1280, 1024));
  EXPECT_TRUE(desk.messageBoxes().empty());
}

TEST_F(RoadTest, EscInTheMandatoryActionWindowEndsEverything) {
  launch();
  windowsKeyAt(8050);
  startAgainAt(12000);
  ASSERT_NE(f3(), 0u);
  // A 40 ms tap between two samples, the launcher's watch scanning meanwhile.
  desk.at(12320, [this] { desk.press(Esc); });
  desk.at(12360, [this] { desk.release(Esc); });
  advanceTo(12599);
  EXPECT_FALSE(desk.programEnded());
  advanceTo(12600);
  EXPECT_TRUE(desk.programEnded());
  EXPECT_EQ(f1(), 0u);
  EXPECT_EQ(f3(), 0u);
  EXPECT_FALSE(desk.processRunning(emulatorPid));
  EXPECT_EQ(desk.runningCount("DOSBox.exe"), 0);
  EXPECT_EQ(display(), std::make_pair(1280, 1024));
  EXPECT_TRUE(desk.messageBoxes().empty());
}

TEST_F(RoadTest, EscHeldWithAltEnterStillEnds) {
  launch();
  windowsKeyAt(8050);
  startAgainAt(12000);
  desk.at(12200, [this] {
    desk.press(LeftAlt);
    desk.press(Enter);
    desk.press(Esc);
  });
  advanceTo(12300);
  EXPECT_TRUE(desk.programEnded());
  EXPECT_EQ(desk.runningCount("DOSBox.exe"), 0);
}

TEST_F(RoadTest, WindowsKeyInTheChoosingStateOnlyMinimisesAndRestoresTheDesktopMode) {
  start();
  const size_t changes = desk.displayChanges().size();
  windowsKeyAt(550);
  EXPECT_EQ(windowState(), WindowState::Minimized);
  EXPECT_TRUE(sameKeys(desk.keyEvents(), AltTab));
  advanceTo(1549);
  EXPECT_EQ(desk.displayChanges().size(), changes);
  advanceTo(1550);
  ASSERT_EQ(desk.displayChanges().size(), changes + 1);
  EXPECT_EQ(desk.displayChanges().back().mode.dmPelsWidth, 1280u);
  EXPECT_EQ(desk.displayChanges().back().mode.dmPelsHeight, 1024u);
  // A hide of no window at all.
  const auto &last = desk.windowCalls().back();
  EXPECT_EQ(last.op, WinOp::Show);
  EXPECT_EQ(last.hwnd, 0u);
  EXPECT_EQ(last.command, ShowCommand::Hide);
  // Nothing else changed.
  EXPECT_TRUE(shown("Label2").visible);
  EXPECT_TRUE(shown("List1").visible);
  EXPECT_EQ(f2(), 0u);
  EXPECT_EQ(f3(), 0u);
  EXPECT_TRUE(desk.runs().empty());
  advanceTo(5000);
  EXPECT_EQ(desk.keyEvents().size(), 4u);
  EXPECT_FALSE(desk.programEnded());
}

TEST_F(RoadTest, WindowsKeyWithAHigherCodeOrTheRightWindowsKeyDoesNothing) {
  start();
  desk.at(500, [this] { desk.press(160); }); // left Shift
  windowsKeyAt(550);
  EXPECT_EQ(shown("Label1").text, "160");
  EXPECT_EQ(windowState(), WindowState::Normal);
  desk.release(160);
  desk.at(600, [this] { desk.tap(92); });
  advanceTo(650);
  EXPECT_EQ(shown("Label1").text, "92");
  advanceTo(3000);
  EXPECT_EQ(windowState(), WindowState::Normal);
  EXPECT_TRUE(desk.keyEvents().empty());
}

TEST_F(RoadTest, ASlowEmulatorIsWaitedForUntilItsWindowOpens) {
  emulatorOpensWindow = false;
  launch();
  desk.at(9000, [this] {
    emulator = desk.openWindow("SDL_app", WinRect{0, 0, 1024, 768}, true, emulatorPid);
  });
  advanceTo(9499);
  EXPECT_FALSE(desk.programEnded());
  EXPECT_TRUE(desk.processRunning(emulatorPid));
  // Once seen, its window going ends the game at the next look.
  expectTheWindowGoingEndsTheGame(25000);
}

// DOSBox sets SDL's video up twice as it starts: the first window, never
// shown, goes when it sets it up again for DirectX, and the game's window
// comes later. The first one going ends nothing.
TEST_F(RoadTest, TheEmulatorsHiddenFirstWindowGoingEndsNothing) {
  emulatorOpensWindow = false;
  Hwnd first = 0;
  launch();
  desk.at(4000, [&] {
    first = desk.openWindow("SDL_app", WinRect{0, 0, 0, 0}, false, emulatorPid);
  });
  desk.at(4800, [&] { desk.closeWindow(first); });
  desk.at(7200, [this] {
    emulator = desk.openWindow("SDL_app", WinRect{0, 0, 1024, 768}, true, emulatorPid);
  });
  advanceTo(4500);
  EXPECT_EQ(sys().hwndEmulator, first);
  advanceTo(7499);
  EXPECT_FALSE(desk.programEnded());
  EXPECT_TRUE(desk.processRunning(emulatorPid));
  advanceTo(7500);
  EXPECT_EQ(sys().hwndEmulator, emulator);
  // The shown window going is the game's end, at the next look.
  expectTheWindowGoingEndsTheGame(9000);
}

// Nothing the launcher does waits for an emulator that stops answering: the
// Windows key, START again and closing all work, and the emulator's window
// takes what was asked once it answers again.
TEST_F(RoadTest, AFrozenEmulatorStillLetsTheUserAwayBackAndOut) {
  launch();
  desk.at(6000, [this] { desk.stopAnswering(emulator); });
  windowsKeyAt(8050);
  advanceTo(9050);
  EXPECT_EQ(display(), std::make_pair(1280, 1024));
  EXPECT_EQ(windowState(), WindowState::Minimized);
  EXPECT_TRUE(desk.windowInfo(emulator)->visible); // it cannot hide itself yet

  startAgainAt(12000);
  ASSERT_NE(f3(), 0u);
  EXPECT_EQ(display(), std::make_pair(1024, 768));
  advanceTo(12500);
  desk.answerAgain(emulator);
  // Its size was read before it took the 100 x 100: it goes off-screen whole.
  const auto placed = desk.windowInfo(emulator);
  EXPECT_EQ(placed->rect.right, 0);
  EXPECT_EQ(placed->rect.top, 0);
  EXPECT_TRUE(placed->visible);
  desk.stopAnswering(emulator);

  windowsKeyAt(13050);
  advanceTo(14050);
  EXPECT_EQ(display(), std::make_pair(1280, 1024));
  EXPECT_FALSE(desk.programEnded());
  ASSERT_TRUE(desk.userClose(f1()));
  EXPECT_TRUE(desk.programEnded());
  EXPECT_FALSE(desk.processRunning(emulatorPid));
  EXPECT_EQ(display(), std::make_pair(1280, 1024));
}

// A second start installs nothing, changes nothing and ends; the running
// launcher comes to the front, restored when minimised.
TEST_F(RoadTest, ASecondStartBringsTheRunningLauncherForwardAndEnds) {
  start();
  windowsKeyAt(550);
  ASSERT_EQ(windowState(), WindowState::Minimized);
  advanceTo(2000);
  const int copies = desk.copyAttempts();
  const size_t changes = desk.displayChanges().size();
  Launcher second(desk);
  EXPECT_FALSE(second.start());
  EXPECT_EQ(second.form1(), nullptr);
  EXPECT_EQ(desk.copyAttempts(), copies);
  advanceTo(2001);
  EXPECT_EQ(windowState(), WindowState::Normal);
  EXPECT_EQ(desk.foreground(), f1());
  EXPECT_EQ(desk.displayChanges().size(), changes);

  // While the hotkey window is open, that window comes forward.
  ASSERT_TRUE(desk.clickControl(f1(), "Label2"));
  desk.setForegroundWindow(f1());
  EXPECT_FALSE(Launcher(desk).start());
  advanceTo(2002);
  EXPECT_EQ(desk.foreground(), f2());
  EXPECT_FALSE(desk.programEnded());
}

// An emulator started by hand before the launch is not this run's.
TEST_F(RoadTest, AnEmulatorThatNeverOpensAWindowIsEndedAfter15Seconds) {
  emulatorOpensWindow = false;
  const std::uint32_t byHand = desk.startProcess(installed("DOSBox.exe"));
  launch();
  advanceTo(18499);
  EXPECT_FALSE(desk.programEnded());
  advanceTo(18500);
  EXPECT_TRUE(desk.programEnded());
  EXPECT_FALSE(desk.processRunning(emulatorPid));
  EXPECT_FALSE(desk.processRunning(byHand));
  EXPECT_EQ(display(), std::make_pair(1280, 1024));
}

TEST_F(RoadTest, AnEmulatorThatExitsWithoutAWindowEndsTheGameAtTheNextLook) {
  emulatorOpensWindow = false;
  const std::uint32_t byHand = desk.startProcess(installed("dosbox.EXE"));
  launch();
  desk.at(5200, [this] { desk.exitProcess(emulatorPid); });
  advanceTo(5499);
  EXPECT_FALSE(desk.programEnded());
  advanceTo(5500);
  EXPECT_TRUE(desk.programEnded());
  EXPECT_FALSE(desk.processRunning(byHand));
}

// Alt+F4 on the reminder, before or after its "OK": back to the choices, the
// display as before START, and START is a first START again.
TEST_F(RoadTest, TheReminderClosedWithoutItsLaunchGoesBackToTheChoices) {
  start();
  const auto choicesShown = [this] {
    for (const char *name : {"Label2", "Command4", "Option1", "Option2", "List1", "List2"})
      if (!shown(name).visible)
        return false;
    return !shown("Label3").visible;
  };
  advanceTo(1000);
  ASSERT_TRUE(desk.clickControl(f1(), "Label2"));
  ASSERT_FALSE(choicesShown());
  const size_t changes = desk.displayChanges().size();
  ASSERT_TRUE(desk.userClose(f2()));
  EXPECT_EQ(f2(), 0u);
  EXPECT_TRUE(choicesShown());
  EXPECT_EQ(desk.displayChanges().size(), changes);

  advanceTo(2000);
  ASSERT_TRUE(desk.clickControl(f1(), "Label2"));
  ASSERT_NE(f2(), 0u);
  ASSERT_TRUE(desk.clickControl(f2(), "Command1"));
  EXPECT_EQ(display(), std::make_pair(1024, 768));
  advanceTo(2300);
  ASSERT_TRUE(desk.userClose(f2()));
  EXPECT_TRUE(choicesShown());
  EXPECT_EQ(display(), std::make_pair(1280, 1024));
  advanceTo(8000);
  EXPECT_TRUE(desk.runs().empty());
  EXPECT_FALSE(desk.timerRunning(f1(), form1().Timer5.id()));
  EXPECT_FALSE(desk.programEnded());
  EXPECT_EQ(windowState(), WindowState::Normal);
}

TEST_F(RoadTest, WindowsKeyWhileResumingClosesTheWindowAndStartAgainOpensItAfresh) {
  launch();
  windowsKeyAt(8050);
  startAgainAt(12000);
  advanceTo(12150);
  ASSERT_EQ(desk.windowInfo(emulator)->rect.left, -100);
  EXPECT_EQ(desk.control(f3(), "Label100").text, "Label100");

  windowsKeyAt(13050);
  EXPECT_EQ(f3(), 0u);
  EXPECT_EQ(windowState(), WindowState::Minimized);
  EXPECT_TRUE(visible(f1()));
  EXPECT_EQ(desk.keyEvents().size(), 8u);
  advanceTo(14050);
  EXPECT_FALSE(desk.windowInfo(emulator)->visible);
  EXPECT_EQ(display(), std::make_pair(1280, 1024));

  // The emulator's window goes back full-screen on its own, as it might.
  desk.moveWindow(emulator, 0, 0, 1024, 768, true);
  startAgainAt(16000);
  ASSERT_NE(f3(), 0u);
  EXPECT_EQ(desk.control(f3(), "Label100").text, "Label100");
  advanceTo(16150);
  EXPECT_EQ(desk.windowInfo(emulator)->rect.left, -100);
  EXPECT_TRUE(desk.windowInfo(emulator)->visible);
  advanceTo(16300);
  EXPECT_EQ(desk.control(f3(), "Label100").text, "1000");
  EXPECT_EQ(desk.control(f3(), "Label200").text, "1000");
}

TEST_F(RoadTest, AChosenProgramRunsInPlaceOfTheGame) {
  desk.addFile("C:\\DOS\\GAME.EXE", "MZ");
  desk.queueDialog(std::string("C:\\DOS\\GAME.EXE"));
  start();
  ASSERT_TRUE(desk.clickControl(f1(), "Command4"));
  EXPECT_EQ(desk.formInfo(f1())->caption, "GAME.EXE");
  advanceTo(1000);
  ASSERT_TRUE(desk.clickControl(f1(), "Label2"));
  EXPECT_EQ(sys().pathGame, "\"C:\\DOS\\GAME.EXE\"");
  advanceTo(2500);
  EXPECT_FALSE(desk.control(f2(), "Label1").visible); // not the logo's game
  ASSERT_TRUE(desk.clickControl(f2(), "Command1"));
  advanceTo(3000);
  const auto lnk = desk.shortcut(installed("StartPexor.lnk"));
  ASSERT_TRUE(lnk.has_value());
  EXPECT_EQ(lnk->arguments,
            "\"C:\\DOS\\GAME.EXE\" -exit -fullscreen -conf " + sys().pathConf + " -noconsole");
  EXPECT_EQ(runAt, 3000);
}

TEST_F(RoadTest, AChosenFileNamedLikeTheGameShowsTheLogoHint) {
  desk.addFile("D:\\Other\\Pexor.exe", "MZ");
  desk.queueDialog(std::string("D:\\Other\\Pexor.exe"));
  start();
  ASSERT_TRUE(desk.clickControl(f1(), "Command4"));
  ASSERT_TRUE(desk.clickControl(f1(), "Label2"));
  advanceTo(1500);
  EXPECT_TRUE(desk.control(f2(), "Label1").visible);
}

TEST_F(RoadTest, AFailedLaunchIsShownAndLeavesTheDesktopAsItWas) {
  start();
  desk.failShortcuts(true);
  advanceTo(1000);
  ASSERT_TRUE(desk.clickControl(f1(), "Label2"));
  ASSERT_TRUE(desk.clickControl(f2(), "Command1"));
  EXPECT_EQ(display(), std::make_pair(1024, 768));
  advanceTo(1500);
  ASSERT_EQ(desk.messageBoxes().size(), 1u);
  EXPECT_NE(desk.messageBoxes()[0].text.find("429"), std::string::npos);
  EXPECT_TRUE(desk.programEnded());
  EXPECT_EQ(display(), std::make_pair(1280, 1024));
  EXPECT_TRUE(desk.runs().empty());
}

// An emulator gone from the installed copy: told in Bulgarian, naming it,
// with the desktop mode back first; the launcher is back at its choices.
TEST_F(RoadTest, AMissingEmulatorIsToldAndTheChoicesComeBack) {
  start();
  desk.removeFile(installed("DOSBox.exe"));
  advanceTo(1000);
  ASSERT_TRUE(desk.clickControl(f1(), "Label2"));
  ASSERT_TRUE(desk.clickControl(f2(), "Command1"));
  advanceTo(1500);
  ASSERT_EQ(desk.messageBoxes().size(), 1u);
  const auto &box = desk.messageBoxes()[0];
  EXPECT_EQ(box.title, "Играта не може да бъде стартирана");
  EXPECT_EQ(box.text, "Емулаторът DOSBox липсва:\n" + installed("DOSBox.exe"));
  EXPECT_EQ(box.display, std::make_pair(1280, 1024));
  EXPECT_FALSE(desk.programEnded());
  EXPECT_TRUE(desk.runs().empty());
  for (const char *name : {"Label2", "List1", "List2", "Option1", "Option2", "Command4"})
    EXPECT_TRUE(shown(name).visible) << name;
  EXPECT_FALSE(shown("Label3").visible);

  // Put back, the next START is a first one and plays.
  desk.addFile(installed("DOSBox.exe"), "MZ emulator");
  ASSERT_TRUE(desk.clickControl(f1(), "Label2"));
  ASSERT_TRUE(desk.clickControl(f2(), "Command1"));
  advanceTo(3000);
  EXPECT_EQ(desk.runs().size(), 1u);
  EXPECT_NE(emulator, 0u);
}

// Documents whose name the system's ANSI code page cannot spell (a Bulgarian
// user name on a Western Windows): the emulator is handed the short forms,
// on its command line and in the shortcut's target and icon, at start-up
// and at the launch. The compatibility value keeps the long name.
TEST_F(RoadTest, DocumentsTheCodePageCannotSpellAreHandedInTheirShortForm) {
  desk.setAnsiCodePage(1252);
  const std::string emulatorAt = desk.shortPathName(shipped("DOSBox.exe"));
  start();
  afterFirstPaint();
  const std::string emulatorShort = desk.shortPathName(installed("DOSBox.exe"));
  const std::string game = "\"" + desk.shortPathName(installed("Pexor\\Pexor.exe")) + "\"";
  const std::string conf = "\"" + desk.shortPathName(installed("dosbox-0.73.conf")) + "\"";
  EXPECT_TRUE(desk.ansiCodePageHolds(emulatorShort + game + conf)) << emulatorShort << game << conf;
  EXPECT_EQ(sys().pathEmulator, "\"" + emulatorShort + "\"");
  EXPECT_EQ(sys().pathGame, game);
  EXPECT_EQ(sys().pathConf, conf);
  EXPECT_EQ(sys().pathInstall, docs + "\\DoxPexor\\");
  const std::string arguments = game + " -exit -fullscreen -conf " + conf + " -noconsole";
  for (int written = 0; written < 2; ++written) {
    const auto lnk = desk.shortcut(installed("StartPexor.lnk"));
    ASSERT_TRUE(lnk.has_value());
    EXPECT_EQ(lnk->target, emulatorShort);
    EXPECT_EQ(lnk->iconPath, emulatorShort);
    EXPECT_EQ(lnk->arguments, arguments);
    if (written == 0) {
      advanceTo(1000);
      ASSERT_TRUE(desk.clickControl(f1(), "Label2"));
      ASSERT_TRUE(desk.clickControl(f2(), "Command1"));
      advanceTo(1500);
      EXPECT_EQ(desk.shortcutsSaved(), 1) << "OK found the link saying it all";
    }
  }
  EXPECT_EQ(runFile, installed("StartPexor.lnk"));
  EXPECT_NE(emulator, 0u);
  EXPECT_TRUE(desk.messageBoxes().empty());
  EXPECT_EQ(desk.regCalls().front().name, installed("DOSBox.exe"));
  EXPECT_NE(emulatorAt, ""); // the shipped one has a short form too, never handed over
}

// Where no form the emulator can open exists (a volume that keeps no short
// names), the player is told so before the launch, and nothing is started;
// a chosen program likewise, and one that has a short form goes in it.
TEST_F(RoadTest, APathTheEmulatorCannotOpenIsToldBeforeTheLaunch) {
  desk.setAnsiCodePage(1252);
  desk.setVolume("C:\\Users", "NTFS", false);
  start();
  advanceTo(1000);
  ASSERT_TRUE(desk.clickControl(f1(), "Label2"));
  ASSERT_TRUE(desk.clickControl(f2(), "Command1"));
  advanceTo(1500);
  const std::string told = "В пътя има знаци, които емулаторът DOSBox не може да прочете на "
                           "тази система:\n";
  ASSERT_EQ(desk.messageBoxes().size(), 1u);
  EXPECT_EQ(desk.messageBoxes()[0].title, "Играта не може да бъде стартирана");
  EXPECT_EQ(desk.messageBoxes()[0].text, told + installed("DOSBox.exe"));
  EXPECT_EQ(desk.messageBoxes()[0].display, std::make_pair(1280, 1024));
  EXPECT_TRUE(desk.runs().empty());
  EXPECT_EQ(desk.runningCount("DOSBox.exe"), 0);
  EXPECT_TRUE(shown("Label2").visible);
  EXPECT_FALSE(desk.programEnded());
}

// A chosen program goes in its short form where it has one; where it has
// none the emulator could open, that is told before the launch.
TEST_F(RoadTest, AChosenProgramTheCodePageCannotSpellGoesInItsShortFormOrIsTold) {
  desk.setAnsiCodePage(1252);
  desk.setVolume("D:", "NTFS", false);
  const std::string withShortName = "E:\\Игри\\Стара игра.exe";
  const std::string without = "D:\\Игри\\Стара игра.exe";
  desk.addFile(withShortName, "MZ");
  desk.addFile(without, "MZ");
  start();
  desk.queueDialog(withShortName);
  ASSERT_TRUE(desk.clickControl(f1(), "Command4"));
  ASSERT_TRUE(desk.clickControl(f1(), "Label2"));
  EXPECT_EQ(sys().pathGame, "\"" + desk.shortPathName(withShortName) + "\"");
  EXPECT_TRUE(desk.ansiCodePageHolds(sys().pathGame)) << sys().pathGame;
  ASSERT_TRUE(desk.userClose(f2()));

  desk.queueDialog(without);
  ASSERT_TRUE(desk.clickControl(f1(), "Command4"));
  ASSERT_TRUE(desk.clickControl(f1(), "Label2"));
  ASSERT_TRUE(desk.clickControl(f2(), "Command1"));
  advanceTo(500);
  ASSERT_EQ(desk.messageBoxes().size(), 1u);
  EXPECT_EQ(desk.messageBoxes()[0].text,
            "В пътя има знаци, които емулаторът DOSBox не може да прочете на тази система:\n" +
                without);
  EXPECT_TRUE(desk.runs().empty());
}

TEST_F(RoadTest, ClosingTheLauncherWhileTheReminderIsOpenLaunchesNothing) {
  start();
  ASSERT_TRUE(desk.clickControl(f1(), "Label2"));
  ASSERT_TRUE(desk.clickControl(f2(), "Command1"));
  advanceTo(200);
  ASSERT_TRUE(desk.userClose(f1()));
  EXPECT_TRUE(desk.programEnded());
  EXPECT_EQ(f2(), 0u);
  advanceTo(5000);
  EXPECT_TRUE(desk.runs().empty());
  EXPECT_EQ(display(), std::make_pair(1280, 1024));
}

// The mandatory-action window's clicks beside the emulator leave it the
// keyboard: Alt+Enter typed just then reaches the emulator whole.
TEST_F(RoadTest, TheMandatoryActionWindowsClicksLeaveTheKeyboardWithTheEmulator) {
  launch();
  windowsKeyAt(8050);
  startAgainAt(12000);
  advanceTo(12100);
  ASSERT_EQ(desk.foreground(), emulator);
  const size_t clicks = desk.mouseEvents().size();
  for (std::int64_t t = 12110; t <= 12400; t += 10) {
    advanceTo(t);
    ASSERT_EQ(desk.foreground(), emulator) << "at " << t;
  }
  EXPECT_EQ(desk.mouseEvents().size(), clicks + 2) << "Form3 clicked beside the emulator";
  EXPECT_FALSE(visible(f1()));
}

// Another SDL program and another folder's DOSBox stay open through the whole
// road, above the game's window at times: the launcher finds its own
// emulator's window by its program, never touches theirs, sees its game end
// and leaves the other emulator running.
TEST_F(RoadTest, OtherProgramsSdlWindowsAndEmulatorsAreNeverTouched) {
  const auto sdlGame = desk.startProcess("C:\\Games\\Other\\game.exe");
  const auto keen = desk.startProcess("D:\\Games\\Keen\\DOSBox.exe");
  std::vector<Hwnd> others = {desk.openWindow("SDL_app", WinRect{50, 50, 690, 450}, true, keen)};
  launch();
  // Opened after the game's: above it.
  desk.at(4700, [&] {
    others.push_back(desk.openWindow("SDL_app", WinRect{100, 100, 740, 580}, true, sdlGame));
  });
  advanceTo(5000);
  EXPECT_EQ(sys().hwndEmulator, emulator);
  windowsKeyAt(8050);
  advanceTo(9100);
  EXPECT_FALSE(desk.windowInfo(emulator)->visible);
  startAgainAt(12000);
  desk.at(12700, [this] {
    desk.press(LeftAlt);
    desk.tap(Enter);
    desk.release(LeftAlt);
  });
  advanceTo(15000);
  ASSERT_EQ(f3(), 0u) << "Alt+Enter was not taken";
  desk.exitProcess(emulatorPid); // the game ends
  advanceTo(16500);
  EXPECT_TRUE(desk.programEnded());
  EXPECT_TRUE(desk.processRunning(keen));
  EXPECT_TRUE(desk.processRunning(sdlGame));
  for (const Hwnd other : others) {
    ASSERT_TRUE(desk.windowAlive(other));
    EXPECT_TRUE(desk.windowInfo(other)->visible);
    for (const auto &call : desk.windowCalls())
      EXPECT_NE(call.hwnd, other) << "a call reached another program's window";
  }
  EXPECT_EQ(desk.windowInfo(others[0])->rect.left, 50);
}

// An emulator the launcher started whose program the system names by
// another path (Documents on a drive letter of its own, say) is still its own.
TEST_F(RoadTest, ItsOwnLaunchIsItsEmulatorHoweverItsPathReads) {
  emulatorImage = "S:\\DoxPexor\\DOSBox.exe";
  const std::uint32_t lookalike = desk.startProcess(emulatorImage); // not launched: not ours
  launch();
  advanceTo(5000);
  EXPECT_EQ(sys().hwndEmulator, emulator);
  desk.userClose(f1());
  EXPECT_FALSE(desk.processRunning(emulatorPid));
  EXPECT_TRUE(desk.processRunning(lookalike));
}

// The desktop comes back at its own depth and rate, not only its size; where
// that very mode is no longer offered, at its size.
TEST_F(RoadTest, TheDesktopComesBackAtItsOwnDepthAndRate) {
  using sim::SimDesktop;
  desk.setModeList(
      {SimDesktop::makeMode(1024, 768, 32, 60), SimDesktop::makeMode(1280, 1024, 32, 60),
       SimDesktop::makeMode(1280, 1024, 32, 144), SimDesktop::makeMode(1280, 1024, 16, 60)});
  desk.setScreenMode(SimDesktop::makeMode(1280, 1024, 32, 144));
  launch();
  ASSERT_EQ(display(), std::make_pair(1024, 768));
  windowsKeyAt(8050);
  advanceTo(9100);
  EXPECT_EQ(display(), std::make_pair(1280, 1024));
  EXPECT_EQ(desk.currentHertz(), 144u);
  EXPECT_EQ(desk.currentBits(), 32u);
  startAgainAt(12000);
  ASSERT_EQ(desk.currentHertz(), 60u);
  desk.setModeList(
      {SimDesktop::makeMode(1024, 768, 32, 60), SimDesktop::makeMode(1280, 1024, 32, 60)});
  desk.userClose(f1());
  EXPECT_EQ(display(), std::make_pair(1280, 1024));
  EXPECT_EQ(desk.currentHertz(), 60u);
  EXPECT_EQ(desk.displayChanges().back().mode.dmFields,
            DisplayField::PelsWidth | DisplayField::PelsHeight);
}

// A launcher that never read the screen (it read 0 by 0) asks for no display
// switch on its way out.
TEST_F(RoadTest, AScreenReadAsNothingIsNeverSwitchedBackTo) {
  desk.setScreen(0, 0);
  start();
  desk.setScreen(1280, 1024);
  desk.userClose(f1());
  EXPECT_TRUE(desk.displayChanges().empty());
  EXPECT_TRUE(desk.programEnded());
}

// The trace tells the road's events in order, and nothing while the game
// just runs.
TEST_F(RoadTest, TheTraceTellsTheRoadsEventsAndNothingWhileTheGameRuns) {
  start();
  std::vector<std::string> events;
  for (const auto &line : desk.traceLines())
    events.push_back(line.event);
  // The start-up's steps, in the order they are done: a benchmark times each.
  const std::vector<std::string> startUp = {"Form1: window made",
                                            "Form1: Documents found",
                                            "Form1: installed copy up to date",
                                            "Form1: desktop mode read",
                                            "Form1: configuration read",
                                            "Form1: lists filled",
                                            "Form1: controls put",
                                            "Form1: shown",
                                            "Form1: laid out"};
  EXPECT_EQ(events, startUp);
  // The shell's part comes after the first paint, before a player can act.
  afterFirstPaint();
  ASSERT_EQ(desk.traceLines().size(), startUp.size() + 1);
  EXPECT_EQ(desk.traceLines().back().event, "Form1: start shortcut");
  EXPECT_EQ(desk.traceLines().back().at, 10);
  const size_t before = desk.traceLines().size();
  advanceTo(1000);
  ASSERT_TRUE(desk.clickControl(f1(), "Label2"));
  advanceTo(3000);
  ASSERT_TRUE(desk.clickControl(f2(), "Command1"));
  advanceTo(5000);
  events.clear();
  for (size_t i = before; i < desk.traceLines().size(); ++i)
    events.push_back(desk.traceLines()[i].event);
  const std::vector<std::string> road = {"START: the hotkey window", "OK: the game's display mode",
                                         "display: 1024x768", "launch: the start shortcut runs",
                                         "emulator's window: " + std::to_string(emulator)};
  EXPECT_EQ(events, road);
  advanceTo(65000);
  EXPECT_EQ(desk.traceLines().size(), before + road.size()) << desk.traceLines().back().event;
  EXPECT_EQ(desk.traceLines()[before + 2].at, 3000);
}

// The launcher ended without running its code (the task manager's End task,
// a crash): its guardian ends the installed copy's emulators and puts the
// display back, as the shutdown would have. It runs from a copy of the
// program under a name of its own, so that ending the program's processes by
// their name leaves it to its work, and the launches end with the program's
// last process. A normal close releases it, and it then does nothing.
TEST_F(RoadTest, TheGuardianPutsTheDesktopBackAfterTheLauncherIsEndedFromOutside) {
  desk.addFile(std::string(ExeFolder) + "\\PexorLauncher.exe", "MZ launcher");
  start();
  EXPECT_EQ(desk.guardianStarts(), 0) << "start-up pays for no guardian";
  advanceTo(1000);
  ASSERT_TRUE(desk.clickControl(f1(), "Label2"));
  EXPECT_EQ(desk.guardianStarts(), 1);
  EXPECT_TRUE(desk.launchesTied());
  const std::string orders =
      "documents=" + docs + "|emulator=" + installed("DOSBox.exe") + "|display=1280x1024,32,60";
  EXPECT_EQ(desk.guardianOrdersGiven(), orders);
  EXPECT_EQ(desk.guardianProgramGiven(), installed("PexorGuardian.exe"));
  EXPECT_EQ(desk.fileBytes(installed("PexorGuardian.exe")), "MZ launcher");
  ASSERT_TRUE(desk.clickControl(f2(), "Command1"));
  advanceTo(3500);
  const std::uint32_t byHand = desk.startProcess(installed("dosbox.exe"));
  const std::uint32_t anotherGame = desk.startProcess("D:\\Games\\Keen\\DOSBox.exe");
  ASSERT_EQ(display(), std::make_pair(1024, 768));

  launcher.reset(); // ended from outside: none of its code runs
  EXPECT_EQ(display(), std::make_pair(1024, 768));
  EXPECT_TRUE(desk.processRunning(emulatorPid));
  desk.asGuardian();
  ASSERT_EQ(desk.guardianOrders(), orders);
  runGuardian(desk, *desk.guardianOrders());
  EXPECT_FALSE(desk.processRunning(emulatorPid));
  EXPECT_FALSE(desk.processRunning(byHand));
  EXPECT_TRUE(desk.processRunning(anotherGame));
  EXPECT_EQ(display(), std::make_pair(1280, 1024));
  EXPECT_TRUE(desk.messageBoxes().empty());
}

// A guardian copy that is already the program's is not copied again; where
// no copy can be had, the guardian runs from the program's own file.
TEST_F(RoadTest, TheGuardiansCopyIsMadeOnceAndItsLackStopsNoGuardian) {
  const std::string program = std::string(ExeFolder) + "\\PexorLauncher.exe";
  desk.addFile(program, "MZ launcher");
  start();
  desk.addFile(installed("PexorGuardian.exe"), "MZ launcher");
  const int copies = desk.copiesMade();
  ASSERT_TRUE(desk.clickControl(f1(), "Label2"));
  EXPECT_EQ(desk.copiesMade(), copies);
  EXPECT_EQ(desk.guardianProgramGiven(), installed("PexorGuardian.exe"));
  launcher.reset();

  desk.setReadOnly(installed("PexorGuardian.exe"));
  desk.addFile(program, "MZ launcher, version 2", sim::FileTimeEpoch + 1);
  desk.releaseGuardian();
  start();
  ASSERT_TRUE(desk.clickControl(f1(), "Label2"));
  EXPECT_EQ(desk.guardianProgramGiven(), program);
}

TEST_F(RoadTest, EndedWhileAwayTheHiddenEmulatorIsEndedAndTheDisplayLeftAsItIs) {
  launch();
  windowsKeyAt(8050);
  advanceTo(9100);
  ASSERT_FALSE(desk.windowInfo(emulator)->visible);
  const size_t changes = desk.displayChanges().size();
  launcher.reset();
  desk.asGuardian();
  runGuardian(desk, *desk.guardianOrders());
  EXPECT_FALSE(desk.processRunning(emulatorPid));
  EXPECT_EQ(desk.displayChanges().size(), changes) << "the display was already back";
  EXPECT_EQ(display(), std::make_pair(1280, 1024));
}

TEST_F(RoadTest, AClosedLauncherReleasesItsGuardianWhichThenDoesNothing) {
  launch();
  desk.exitProcess(emulatorPid); // the game ends from inside
  advanceTo(5000);
  ASSERT_TRUE(desk.programEnded());
  EXPECT_TRUE(desk.guardianReleased());
  EXPECT_EQ(desk.guardianStarts(), 1);
  const std::uint32_t later = desk.startProcess(installed("DOSBox.exe"));
  desk.setScreen(1024, 768); // switched by hand since
  launcher.reset();
  desk.asGuardian();
  runGuardian(desk, *desk.guardianOrders());
  EXPECT_TRUE(desk.processRunning(later)) << "a released guardian ends nothing";
  EXPECT_EQ(display(), std::make_pair(1024, 768));
}

// Orders that name no mode: the emulators they name still end, the display
// is left; orders that name no installed copy end no emulator at all.
TEST_F(RoadTest, AGuardianWithBadOrdersDoesOnlyWhatTheyName) {
  launch();
  launcher.reset();
  desk.asGuardian();
  runGuardian(desk, "emulator=|display=1280x");
  EXPECT_TRUE(desk.processRunning(emulatorPid));
  const std::string copy = "documents=" + docs + "|emulator=" + installed("DOSBox.exe");
  for (const char *display : {"|display=0x768", "|display=1280x", "|1280x1024",
                              "|display=1280x1024 ", "|display=1280x1024,32", ""})
    runGuardian(desk, copy + display);
  EXPECT_FALSE(desk.processRunning(emulatorPid));
  EXPECT_EQ(display(), std::make_pair(1024, 768));
}

// The road at 100, 125, 150 and 200 %: the designs' twips become pixels at
// the DPI, while what is stated in screen pixels stays as it is.
class ScaledRoadTest : public RoadTest, public ::testing::WithParamInterface<int> {
protected:
  WinRect rect(Hwnd form) const { return desk.windowInfo(form)->rect; }
  WinRect control(Hwnd form, const char *name) const { return desk.controlRect(form, name); }

  // Within a pixel of the design's twips at that DPI.
  static void expectSized(const WinRect &r, double width, double height, int dpi) {
    EXPECT_NEAR(r.right - r.left, width * dpi / 1440.0, 1.0);
    EXPECT_NEAR(r.bottom - r.top, height * dpi / 1440.0, 1.0);
  }
  static void expectScaled(const WinRect &r, double left, double top, double width, double height,
                           int dpi) {
    EXPECT_NEAR(r.left, left * dpi / 1440.0, 0.5);
    EXPECT_NEAR(r.top, top * dpi / 1440.0, 0.5);
    expectSized(r, width, height, dpi);
  }
  static void expectCentred(const WinRect &r, int width, int height) {
    EXPECT_LE(std::abs(r.left + r.right - width), 1);
    EXPECT_LE(std::abs(r.top + r.bottom - height), 1);
  }
  static void expectCovers(const WinRect &r, int width, int height) {
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, width);
    EXPECT_EQ(r.bottom, height);
  }
};

TEST_P(ScaledRoadTest, DesignsScaleScreenPixelsStay) {
  const int dpi = GetParam();
  const int other = dpi == 144 ? 96 : 144;
  desk.setDpi(dpi);
  start();
  // The launcher: its outer size (client plus frame) and controls scale; it
  // sits centred.
  expectSized(rect(f1()), 4800 + 120, 1830 + 465, dpi);
  expectCentred(rect(f1()), 1280, 1024);
  expectScaled(control(f1(), "List1"), 120, 120, 975, 1620, dpi);
  expectScaled(control(f1(), "Option2"), 1440, 1080, 2055, 255, dpi);
  expectScaled(control(f1(), "Image1"), 1125, 600, 2550, 360, dpi);
  expectScaled(control(f1(), "Label2"), 1125, 645, 2535, 375, dpi);

  // The reminder covers the screen, its panel scaled and centred, at this
  // DPI and after a change of scale.
  advanceTo(1000);
  ASSERT_TRUE(desk.clickControl(f1(), "Label2"));
  for (const int now : {dpi, other, dpi}) {
    desk.setDpi(now);
    expectCovers(rect(f2()), 1280, 1024);
    const WinRect panel = control(f2(), "Frame1");
    expectSized(panel, 6975, 3135, now);
    expectCentred(panel, 1280, 1024);
    const WinRect ok = control(f2(), "Command1");
    expectScaled(WinRect{ok.left - panel.left, ok.top - panel.top, ok.right - panel.left,
                         ok.bottom - panel.top},
                 2280, 2400, 2175, 255, now);
    expectCentred(rect(f1()), 1280, 1024);
  }

  advanceTo(3000);
  ASSERT_TRUE(desk.clickControl(f2(), "Command1"));
  advanceTo(5000);
  windowsKeyAt(8050);
  advanceTo(9050);
  EXPECT_EQ(display(), std::make_pair(1280, 1024)); // the desktop, measured in screen pixels

  // The mandatory-action window covers the game screen; the emulator goes to
  // 100 x 100 at the corner; the clicks land on the same screen pixels.
  startAgainAt(12000);
  expectCovers(rect(f3()), 1024, 768);
  expectCentred(control(f3(), "Frame1"), 1024, 768);
  advanceTo(12150);
  const auto &calls = desk.windowCalls();
  const auto putOnTop = std::find_if(calls.begin(), calls.end(), [this](const auto &c) {
    return c.op == WinOp::SetPos && c.hwnd == emulator;
  });
  ASSERT_NE(putOnTop, calls.end());
  EXPECT_EQ(std::make_tuple(putOnTop->x, putOnTop->y, putOnTop->cx, putOnTop->cy),
            std::make_tuple(0, 0, 100, 100));
  ASSERT_EQ(desk.mouseEvents().size(), 2u);
  EXPECT_EQ(desk.mouseEvents()[0].dx, 6400);
  EXPECT_EQ(desk.mouseEvents()[1].dx, 9600);
  EXPECT_EQ(desk.mouseEvents()[1].dy, 8533);

  // Another scale while it is open: still the game screen, the panel
  // rescaled and centred; the hidden launcher centred on the screen now.
  desk.setDpi(other);
  expectCovers(rect(f3()), 1024, 768);
  const WinRect panel = control(f3(), "Frame1");
  expectSized(panel, 6255, 2415, other);
  expectCentred(panel, 1024, 768);
  expectSized(rect(f1()), 4800 + 120, 1830 + 465, other);
  expectCentred(rect(f1()), 1024, 768);
}

INSTANTIATE_TEST_SUITE_P(Dpi, ScaledRoadTest, ::testing::Values(96, 120, 144, 192));

} // namespace
} // namespace pexor::test
