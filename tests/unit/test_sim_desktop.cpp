#include "tests/sim/SimDesktop.h"
#include "tests/unit/ErrorOf.h"
#include "tests/unit/ProbeForm.h"

#include <gtest/gtest.h>

namespace pexor {
namespace {

using probe::ProbeForm;
using probe::ProbeWorld;
using sim::SimDesktop;

// ---- Clock and timers ---------------------------------------------------------

TEST(SimClock, TimersFireInTimeOrderAndReArmFromTheirDueTime) {
  ProbeWorld world;
  ProbeForm &form = world.show();
  form.Timer1.setInterval(50);
  form.Timer1.setEnabled(true);
  world.desk.advance(20);
  form.Timer2.setInterval(100);
  form.Timer2.setEnabled(true); // due at 120
  world.desk.advance(155);
  EXPECT_EQ(world.desk.now(), 175);
  EXPECT_EQ(form.log,
            (std::vector<std::string>{"Timer1 1280", "Timer1 1280", "Timer2", "Timer1 1280"}));
  EXPECT_EQ(world.desk.timerDue(form.hWnd(), form.Timer1.id()), 200);
}

TEST(SimClock, TiesFireInTheOrderTheTimersWereArmed) {
  ProbeWorld world;
  ProbeForm &form = world.show();
  form.Timer2.setEnabled(true);
  form.Timer1.setEnabled(true);
  world.desk.advance(100);
  EXPECT_EQ(form.log, (std::vector<std::string>{"Timer2", "Timer1 1280"}));
}

TEST(SimClock, ARestartFromTheHandlerCountsFromNow) {
  ProbeWorld world;
  ProbeForm &form = world.show();
  form.Timer1.Tick = [&] {
    form.log.push_back("tick " + std::to_string(world.desk.now()));
    form.Timer1.setInterval(300);
  };
  form.Timer1.setEnabled(true);
  world.desk.advance(1000);
  EXPECT_EQ(form.log, (std::vector<std::string>{"tick 100", "tick 400", "tick 700", "tick 1000"}));
}

TEST(SimClock, AOneShotTimerStopsItselfAndStartingAgainRestartsTheCountdown) {
  ProbeWorld world;
  ProbeForm &form = world.show();
  form.Timer1.Tick = [&] {
    form.log.emplace_back("once");
    form.Timer1.setEnabled(false);
  };
  form.Timer1.setEnabled(true);
  world.desk.advance(60);
  world.desk.startTimer(form.hWnd(), form.Timer1.id(), 100); // restart at 60: due 160
  world.desk.advance(90);
  EXPECT_TRUE(form.log.empty());
  world.desk.advance(500);
  EXPECT_EQ(form.log, std::vector<std::string>{"once"});
  EXPECT_FALSE(world.desk.timerRunning(form.hWnd(), form.Timer1.id()));
}

TEST(SimClock, NothingFiresOnceTheProgramHasEnded) {
  ProbeWorld world;
  ProbeForm &form = world.show();
  int ticks = 0;
  form.Timer2.Tick = [&] { ++ticks; };
  form.Timer2.setEnabled(true);
  form.Timer1.Tick = [&] { world.slot.unload(); };
  form.Timer1.setInterval(250);
  form.Timer1.setEnabled(true);
  world.desk.advance(1000);
  EXPECT_TRUE(world.desk.programEnded());
  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(world.desk.now(), 1000);
  EXPECT_EQ(world.desk.form("Probe"), 0u);
}

TEST(SimClock, ScheduledActionsInterleaveWithTimers) {
  ProbeWorld world;
  ProbeForm &form = world.show();
  form.Timer1.setEnabled(true);
  world.desk.at(150, [&] { world.desk.setScreen(800, 600); });
  world.desk.advance(300);
  EXPECT_EQ(form.log, (std::vector<std::string>{"Timer1 1280", "Timer1 800", "Timer1 800"}));
}

TEST(SimClock, AdvanceUntilStopsAtTheEventThatSatisfiesTheCondition) {
  ProbeWorld world;
  ProbeForm &form = world.show();
  form.Timer1.setEnabled(true);
  EXPECT_TRUE(world.desk.advanceUntil([&] { return form.log.size() == 3; }, 10000));
  EXPECT_EQ(world.desk.now(), 300);
  EXPECT_FALSE(world.desk.advanceUntil([] { return false; }, 50));
  EXPECT_EQ(world.desk.now(), 350);
}

// ---- Forms --------------------------------------------------------------------

TEST(SimForms, AFormIsCreatedHiddenWithItsFrameAroundTheClientArea) {
  ProbeWorld world;
  ProbeForm &form = world.load();
  const auto info = world.desk.formInfo(form.hWnd());
  ASSERT_TRUE(info);
  EXPECT_FALSE(info->visible);
  EXPECT_EQ(info->bounds.width, 4920.0f);
  EXPECT_EQ(info->bounds.height, 2295.0f);
  EXPECT_EQ(world.desk.windowInfo(form.hWnd())->className, sim::FormClass);
  EXPECT_EQ(world.desk.form("Probe"), form.hWnd());
  EXPECT_EQ(world.desk.control(form.hWnd(), "List1").items.size(), 3u);

  ProbeWorld bare;
  forms::FormSlot<ProbeForm> borderless{
      bare.app, [&] { return std::make_unique<ProbeForm>(bare.app, true); }};
  EXPECT_EQ(bare.desk.formInfo(borderless.load().hWnd())->bounds.width, 4800.0f);
}

TEST(SimForms, ResizeIsReportedOnFirstShowAndOnSizeOrStateChangesButNotOnMoves) {
  ProbeWorld world;
  ProbeForm &form = world.load();
  EXPECT_EQ(form.resizes, 0);
  world.app.dispatch([&] { form.show(); });
  EXPECT_EQ(form.resizes, 1);
  world.app.dispatch([&] {
    form.hide();
    form.show();
    form.setLeft(0);
  });
  EXPECT_EQ(form.resizes, 1);
  world.app.dispatch([&] { form.setWidth(6000); });
  EXPECT_EQ(form.resizes, 2);
  world.app.dispatch([&] { form.setWidth(6000); });
  EXPECT_EQ(form.resizes, 2);
  EXPECT_TRUE(world.desk.userMove(form.hWnd(), 15, 30));
  EXPECT_EQ(form.resizes, 2);
  EXPECT_TRUE(world.desk.userSetWindowState(form.hWnd(), WindowState::Minimized));
  EXPECT_EQ(form.resizes, 3);
  EXPECT_FALSE(world.desk.userMove(form.hWnd(), 0, 0)); // a minimised window stays put
  EXPECT_EQ(world.desk.formInfo(form.hWnd())->bounds.left, 15.0f);
}

TEST(SimForms, AMaximisedFormCoversTheScreen) {
  ProbeWorld world;
  ProbeForm &form = world.show();
  world.desk.userSetWindowState(form.hWnd(), WindowState::Maximized);
  EXPECT_EQ(form.width(), 1280.0f * 15);
  EXPECT_EQ(form.left(), 0.0f);
  WinRect rect;
  ASSERT_TRUE(world.desk.getWindowRect(form.hWnd(), rect));
  EXPECT_EQ(rect.right, 1280);
  world.desk.userSetWindowState(form.hWnd(), WindowState::Normal);
  EXPECT_EQ(form.width(), 4920.0f);
}

TEST(SimForms, TheUserReachesOnlyVisibleEnabledControlsOnAVisibleForm) {
  ProbeWorld world;
  ProbeForm &form = world.load();
  const Hwnd hwnd = form.hWnd();
  EXPECT_FALSE(world.desk.clickControl(hwnd, "Command1")); // form still hidden
  world.app.dispatch([&] { form.show(); });
  form.Command1.setEnabled(false);
  EXPECT_FALSE(world.desk.clickControl(hwnd, "Command1"));
  form.Command1.setEnabled(true);
  form.Frame1.setVisible(false);
  EXPECT_FALSE(world.desk.clickControl(hwnd, "Label1")); // inside a hidden frame
  form.Frame1.setVisible(true);
  EXPECT_FALSE(world.desk.clickControl(hwnd, "NoSuchControl"));
  EXPECT_TRUE(world.desk.clickControl(hwnd, "Label1"));
  EXPECT_TRUE(world.desk.clickControl(hwnd, "Command1"));
  EXPECT_EQ(form.log, (std::vector<std::string>{"Label1_Click", "Command1_Click"}));
}

TEST(SimForms, AMousePickSelectsThenReleasesAndAKeyboardPickOnlySelects) {
  ProbeWorld world;
  ProbeForm &form = world.show();
  EXPECT_TRUE(world.desk.userSelect(form.hWnd(), "List1", 2));
  EXPECT_TRUE(world.desk.userSelectByKeyboard(form.hWnd(), "List1", 0));
  EXPECT_FALSE(world.desk.userSelect(form.hWnd(), "List1", 3)); // no such item
  EXPECT_EQ(form.log,
            (std::vector<std::string>{"List1_Click 2", "List1_MouseUp", "List1_Click 0"}));
  EXPECT_EQ(world.desk.control(form.hWnd(), "List1").listIndex, 0);
}

TEST(SimForms, ClosingTheLastFormEndsTheProgramAndRemovesItsWindowAndTimers) {
  ProbeWorld world;
  ProbeForm &form = world.show();
  const Hwnd hwnd = form.hWnd();
  form.Timer1.setEnabled(true);
  EXPECT_EQ(world.desk.foreground(), hwnd);
  EXPECT_TRUE(world.desk.userClose(hwnd));
  EXPECT_FALSE(world.desk.windowAlive(hwnd));
  EXPECT_FALSE(world.desk.timerRunning(hwnd, 1));
  EXPECT_EQ(world.desk.foreground(), 0u);
  EXPECT_TRUE(world.desk.programEnded());
  EXPECT_FALSE(world.desk.userClose(hwnd));
}

// ---- Display ------------------------------------------------------------------

TEST(SimDisplay, EnumerationPastTheEndLeavesTheRecordAsItCame) {
  SimDesktop desk;
  DisplayMode mode{};
  mode.dmPelsWidth = 4242;
  EXPECT_FALSE(desk.enumDisplaySettings(6, mode));
  EXPECT_EQ(mode.dmPelsWidth, 4242u);
  EXPECT_TRUE(desk.enumDisplaySettings(5, mode));
  EXPECT_EQ(mode.dmPelsWidth, 1280u);
  EXPECT_EQ(mode.dmPelsHeight, 1024u);
  EXPECT_EQ(mode.dmBitsPerPel, 32u);
  EXPECT_EQ(mode.dmSize, sizeof(DisplayMode));
  ASSERT_EQ(desk.enumCalls().size(), 2u);
  EXPECT_EQ(desk.enumCalls()[0].handed.dmPelsWidth, 4242u);
  EXPECT_FALSE(desk.enumCalls()[0].result);
}

TEST(SimDisplay, AChangeAppliesOnlyAnOfferedSizeWithBothSizeFlags) {
  SimDesktop desk;
  DisplayMode mode{};
  mode.dmPelsWidth = 800;
  mode.dmPelsHeight = 600;
  mode.dmFields = DisplayField::PelsWidth; // height not flagged
  EXPECT_EQ(desk.changeDisplaySettings(mode), -2);
  EXPECT_EQ(desk.currentWidth(), 1280);
  mode.dmFields = DisplayField::PelsWidth | DisplayField::PelsHeight;
  mode.dmPelsWidth = 1600;
  mode.dmPelsHeight = 1200;
  EXPECT_EQ(desk.changeDisplaySettings(mode), -2);
  EXPECT_EQ(desk.currentWidth(), 1280);
  mode.dmPelsWidth = 800;
  mode.dmPelsHeight = 600;
  EXPECT_EQ(desk.changeDisplaySettings(mode), 0);
  EXPECT_EQ(desk.screenWidthPixels(), 800);
  EXPECT_EQ(desk.screenHeightPixels(), 600);
  EXPECT_EQ(desk.displayChanges().size(), 3u);
}

// ---- Files --------------------------------------------------------------------

TEST(SimFiles, NamesCompareWithoutCaseInLatinAndCyrillic) {
  SimDesktop desk;
  desk.addFile("C:\\Users\\Иван Петров\\Documents\\Conf.TXT", "abc");
  EXPECT_TRUE(desk.fileExists("c:\\users\\иван петров\\DOCUMENTS\\conf.txt"));
  EXPECT_TRUE(desk.folderExists("C:/Users/ИВАН ПЕТРОВ/Documents/"));
  EXPECT_EQ(desk.readFile("C:\\Users\\x\\..\\Иван Петров\\Documents\\.\\conf.txt"), "abc");
  EXPECT_FALSE(desk.fileExists("C:\\Users\\Иван Петров\\Documents"));
}

TEST(SimFiles, ErrorsCarryTheClassicNumbers) {
  SimDesktop desk;
  desk.addFile("C:\\D\\a.txt", "a");
  EXPECT_EQ(errorOf([&] { desk.readFile("C:\\D\\b.txt"); }), err::FileNotFound);
  EXPECT_EQ(errorOf([&] { desk.readFile("C:\\Nowhere\\b.txt"); }), err::PathNotFound);
  EXPECT_EQ(errorOf([&] { desk.createFolder("C:\\D"); }), 58);
  EXPECT_EQ(errorOf([&] { desk.createFolder("C:\\X\\Y"); }), err::PathNotFound);
  EXPECT_EQ(errorOf([&] { desk.copyFile("C:\\D\\none", "C:\\D\\c"); }), err::FileNotFound);
  EXPECT_EQ(errorOf([&] { desk.copyFile("C:\\D\\a.txt", "C:\\X\\c"); }), err::PathNotFound);
  EXPECT_EQ(errorOf([&] { desk.listFolder("C:\\X"); }), err::PathNotFound);
  desk.setLocked("C:\\D\\a.txt");
  EXPECT_EQ(errorOf([&] { desk.readFile("C:\\D\\a.txt"); }), err::PermissionDenied);
  EXPECT_EQ(errorOf([&] { desk.copyFile("C:\\D\\a.txt", "C:\\D\\c"); }), err::PermissionDenied);
  EXPECT_EQ(desk.copiesMade(), 0);
}

TEST(SimFiles, AFailedReplaceKeepsTheOldBytes) {
  SimDesktop desk;
  desk.addFile("C:\\D\\conf", "old", 7);
  desk.setReadOnly("C:\\D\\conf");
  EXPECT_EQ(errorOf([&] { desk.replaceFile("C:\\D\\conf", "new"); }), err::PermissionDenied);
  desk.setReadOnly("C:\\D\\conf", false);
  desk.setLocked("C:\\D\\conf");
  EXPECT_EQ(errorOf([&] { desk.replaceFile("C:\\D\\conf", "new"); }), err::PermissionDenied);
  EXPECT_EQ(desk.fileBytes("C:\\D\\conf"), "old");
  EXPECT_EQ(desk.fileLastWrite("C:\\D\\conf"), 7);
  desk.setLocked("C:\\D\\conf", false);
  desk.advance(1000);
  desk.replaceFile("C:\\D\\CONF", "new");
  EXPECT_EQ(desk.fileBytes("C:\\D\\conf"), "new");
  EXPECT_EQ(desk.fileLastWrite("C:\\D\\conf"), sim::FileTimeEpoch + 1000LL * 10000);
  EXPECT_EQ(errorOf([&] { desk.replaceFile("C:\\Gone\\conf", "x"); }), err::PathNotFound);
}

TEST(SimFiles, CopiesKeepTheTimeRefuseReadOnlyTargetsAndFailOnDemand) {
  SimDesktop desk;
  desk.addFile("C:\\S\\one", "1", 11);
  desk.addFile("C:\\S\\two", "2", 22);
  desk.addFile("C:\\T\\two", "old");
  desk.setReadOnly("C:\\T\\two");
  desk.copyFile("C:\\S\\one", "C:\\T\\one");
  EXPECT_EQ(desk.fileLastWrite("C:\\T\\one"), 11);
  EXPECT_EQ(errorOf([&] { desk.copyFile("C:\\S\\two", "C:\\T\\two"); }), err::PermissionDenied);
  EXPECT_EQ(desk.fileBytes("C:\\T\\two"), "old");

  desk.failCopyAfter(1);
  desk.copyFile("C:\\S\\one", "C:\\T\\three");
  EXPECT_EQ(errorOf([&] { desk.copyFile("C:\\S\\one", "C:\\T\\four"); }), err::PermissionDenied);
  EXPECT_FALSE(desk.fileExists("C:\\T\\four"));
  EXPECT_EQ(desk.copiesMade(), 2);
  desk.failCopyAfter(-1);
  desk.copyFile("C:\\S\\one", "C:\\T\\four");
  EXPECT_EQ(desk.copiesMade(), 3);
}

// Short names numbered among neighbours of the same stem, usable in paths;
// none on a volume that makes none; times as each volume keeps them.
TEST(SimFiles, VolumesKeepShortNamesAndTimesTheirWay) {
  SimDesktop desk;
  desk.addFile("C:\\Program Files\\a.txt", "1");
  desk.addFile("C:\\Program Data\\b.txt", "2");
  EXPECT_EQ(desk.shortPathName("C:\\Program Data\\b.txt"), "C:\\PROGRA~1\\b.txt");
  EXPECT_EQ(desk.shortPathName("c:\\program files\\A.TXT"), "C:\\PROGRA~2\\a.txt");
  EXPECT_EQ(desk.readFile("C:\\progra~2\\a.txt"), "1");
  desk.setVolume("D:", "NTFS", false);
  desk.addFile("D:\\Моите игри\\Игра.exe", "MZ");
  EXPECT_EQ(desk.shortPathName("D:\\Моите игри\\Игра.exe"), "D:\\Моите игри\\Игра.exe");
  desk.setVolume("E:", "FAT32");
  desk.addFile("C:\\S\\x", "x", sim::FileTimeEpoch + 1);
  desk.copyFile("C:\\S\\x", "E:\\x");
  EXPECT_EQ(desk.fileLastWrite("E:\\x"), sim::FileTimeEpoch + 20000000);
  EXPECT_EQ(desk.fileSystemName("E:\\x"), "FAT32");
  EXPECT_EQ(desk.fileSystemName("C:\\S"), "NTFS");
}

TEST(SimFiles, AListingGivesNamesAsCreatedInNameOrder) {
  SimDesktop desk;
  desk.addFile("C:\\S\\b.txt", "22");
  desk.addFile("C:\\S\\A.txt", "1");
  desk.addFile("C:\\S\\Sub\\deep.txt", "333");
  const auto entries = desk.listFolder("c:\\s");
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "A.txt");
  EXPECT_EQ(entries[1].name, "b.txt");
  EXPECT_EQ(entries[1].size, 2u);
  EXPECT_EQ(entries[2].name, "Sub");
  EXPECT_TRUE(entries[2].isFolder);
}

// ---- Windows ------------------------------------------------------------------

TEST(SimWindows, FindWindowsGivesTheLiveWindowsOfTheClassTopFirstWithTheirProcess) {
  SimDesktop desk;
  const auto pid = desk.startProcess("C:\\Games\\DOSBox.exe");
  const Hwnd first = desk.openWindow("SDL_app", {0, 0, 640, 480}, true, pid);
  const Hwnd second = desk.openWindow("SDL_app", {0, 0, 640, 480}, false);
  desk.openWindow("Other", {0, 0, 10, 10});
  EXPECT_EQ(desk.findWindows("SDL_app"), (std::vector<Hwnd>{second, first}));
  EXPECT_EQ(desk.windowProcess(first), pid);
  EXPECT_EQ(desk.processImagePath(pid), "C:\\Games\\DOSBox.exe");
  desk.closeWindow(second);
  EXPECT_EQ(desk.findWindows("sdl_APP"), std::vector<Hwnd>{first});
  desk.exitProcess(pid);
  EXPECT_TRUE(desk.findWindows("SDL_app").empty());
  EXPECT_EQ(desk.windowProcess(first), 0u);
  EXPECT_EQ(desk.processImagePath(pid), "");
}

TEST(SimWindows, ADeadHandleLeavesTheRectUntouched) {
  SimDesktop desk;
  const Hwnd hwnd = desk.openWindow("SDL_app", {1, 2, 3, 4});
  desk.closeWindow(hwnd);
  WinRect rect{9, 9, 9, 9};
  EXPECT_FALSE(desk.getWindowRect(hwnd, rect));
  EXPECT_EQ(rect.left, 9);
  EXPECT_FALSE(desk.showWindow(hwnd, ShowCommand::ShowNormal));
  EXPECT_FALSE(desk.setWindowPos(hwnd, ZOrder::Topmost, 0, 0, 1, 1, Placement::None));
}

TEST(SimWindows, ShowHideAndForegroundFollowTheWindows) {
  SimDesktop desk;
  const Hwnd back = desk.openWindow("Other", {0, 0, 10, 10});
  const Hwnd emu = desk.openWindow("SDL_app", {0, 0, 640, 480});
  EXPECT_EQ(desk.foreground(), emu);
  EXPECT_TRUE(desk.showWindow(emu, ShowCommand::Hide)); // was visible
  EXPECT_FALSE(desk.windowInfo(emu)->visible);
  EXPECT_EQ(desk.foreground(), back);
  EXPECT_FALSE(desk.showWindow(emu, ShowCommand::ShowNormal));
  EXPECT_EQ(desk.foreground(), emu);
  EXPECT_TRUE(desk.setForegroundWindow(back));
  EXPECT_EQ(desk.foreground(), back);
  ASSERT_EQ(desk.windowCalls().size(), 3u);
  EXPECT_EQ(desk.windowCalls()[0].op, sim::WinOp::Show);
  EXPECT_EQ(desk.windowCalls()[0].command, ShowCommand::Hide);
}

TEST(SimWindows, SetWindowPosHonoursItsFlagsAndTheTopmostBand) {
  SimDesktop desk;
  const Hwnd a = desk.openWindow("A", {10, 20, 110, 220});
  const Hwnd b = desk.openWindow("B", {0, 0, 50, 50}, false);
  desk.setWindowPos(a, ZOrder::Topmost, 0, 0, 0, 0, Placement::NoSize | Placement::NoMove);
  EXPECT_TRUE(desk.windowInfo(a)->topmost);
  EXPECT_EQ(desk.windowInfo(a)->rect.right, 110);
  desk.setForegroundWindow(b);
  EXPECT_EQ(desk.zOrder().front(), a); // a topmost window stays above
  desk.setWindowPos(b, ZOrder::Top, 5, 6, 7, 8, Placement::NoSize | Placement::ShowWindow);
  const auto info = desk.windowInfo(b);
  EXPECT_TRUE(info->visible);
  EXPECT_EQ(info->rect.left, 5);
  EXPECT_EQ(info->rect.top, 6);
  EXPECT_EQ(info->rect.right, 55);
  EXPECT_EQ(info->rect.bottom, 56);
  desk.moveWindow(b, 1, 2, 3, 4, true);
  EXPECT_EQ(desk.windowInfo(b)->rect.bottom, 6);
}

TEST(SimWindows, AWindowThatDoesNotAnswerTakesShowAndPlacementWhenItAnswersAgain) {
  SimDesktop desk;
  const Hwnd back = desk.openWindow("Other", {0, 0, 10, 10});
  const Hwnd emu = desk.openWindow("SDL_app", {0, 0, 640, 480});
  desk.stopAnswering(emu);
  EXPECT_FALSE(desk.windowInfo(emu)->answering);
  EXPECT_TRUE(desk.showWindow(emu, ShowCommand::Hide));
  EXPECT_TRUE(desk.setWindowPos(emu, ZOrder::Topmost, 0, 0, 100, 100, Placement::ShowWindow));
  EXPECT_TRUE(desk.moveWindow(emu, -100, 0, 100, 100, true));
  auto info = desk.windowInfo(emu);
  EXPECT_TRUE(info->visible);
  EXPECT_FALSE(info->topmost);
  EXPECT_EQ(info->rect.right, 640);
  EXPECT_EQ(desk.windowCalls().size(), 3u);
  // The system's own answers go on.
  EXPECT_EQ(desk.findWindows("SDL_app"), std::vector<Hwnd>{emu});
  EXPECT_TRUE(desk.setForegroundWindow(back));
  EXPECT_EQ(desk.foreground(), back);

  desk.answerAgain(emu);
  info = desk.windowInfo(emu);
  EXPECT_TRUE(info->answering);
  EXPECT_TRUE(info->visible); // hidden, then shown by the placement
  EXPECT_TRUE(info->topmost);
  EXPECT_EQ(info->rect.left, -100);
  EXPECT_EQ(info->rect.right, 0);
}

// ---- Keyboard -----------------------------------------------------------------

bool same(KeyReport a, KeyReport b) {
  return a.downNow == b.downNow && a.pressedSince == b.pressedSince;
}

// Each watcher sees a press once, whoever asked before it.
TEST(SimKeyboard, EachWatcherSeesDownNowOrPressedSinceItsOwnLastQuery) {
  SimDesktop desk;
  desk.tap(91); // before any watcher: counts for none
  const KeyWatcherId a = desk.openKeyWatcher();
  const KeyWatcherId b = desk.openKeyWatcher();
  EXPECT_TRUE(same(desk.queryKey(a, 91), {false, false}));
  desk.tap(91);
  EXPECT_TRUE(same(desk.queryKey(a, 91), {false, true}));
  EXPECT_TRUE(same(desk.queryKey(a, 91), {false, false}));
  EXPECT_TRUE(same(desk.queryKey(b, 91), {false, true}));
  desk.press(27);
  EXPECT_TRUE(same(desk.queryKey(a, 27), {true, true}));
  EXPECT_TRUE(same(desk.queryKey(a, 27), {true, false}));
  desk.release(27);
  EXPECT_TRUE(same(desk.queryKey(a, 27), {false, false}));
  EXPECT_TRUE(same(desk.queryKey(b, 27), {false, true}));
  EXPECT_TRUE(same(desk.queryKey(a, 300), {false, false}));
  desk.closeKeyWatcher(b);
  EXPECT_EQ(desk.keyWatchers(), 1);
  EXPECT_FALSE(desk.queryKey(b, 27).any());
}

TEST(SimKeyboard, EitherAltIsAlsoReportedAsTheGenericAlt) {
  SimDesktop desk;
  desk.press(sim::VK_LMENU_KEY);
  EXPECT_TRUE(desk.keyDown(sim::VK_MENU_KEY));
  desk.press(165);
  desk.release(sim::VK_LMENU_KEY);
  EXPECT_TRUE(desk.keyDown(sim::VK_MENU_KEY)); // the right one is still held
  desk.release(165);
  EXPECT_FALSE(desk.keyDown(sim::VK_MENU_KEY));
  const KeyWatcherId w = desk.openKeyWatcher();
  desk.tap(165);
  EXPECT_TRUE(desk.queryKey(w, sim::VK_MENU_KEY).pressedSince);
  EXPECT_FALSE(desk.queryKey(w, sim::VK_LMENU_KEY).any()); // the left one was not pressed
  desk.press(165);
  desk.release(165);
  EXPECT_FALSE(desk.keyDown(sim::VK_MENU_KEY));
}

// The record the Windows hook feeds reports keys as the desktop above does.
TEST(KeyPresses, ASidedKeyCountsForTheEitherSideCodeAndBack) {
  KeyPresses presses;
  const KeyWatcherId w = presses.open();
  presses.keyPressed(165);
  EXPECT_TRUE(presses.take(w, 18).pressedSince);
  EXPECT_FALSE(presses.take(w, 164).pressedSince);
  presses.keyPressed(17);
  EXPECT_TRUE(presses.take(w, 162).pressedSince);
  EXPECT_FALSE(presses.take(w, 163).pressedSince);
  presses.keyPressed(27);
  EXPECT_FALSE(presses.take(w, 18).pressedSince);
  EXPECT_TRUE(presses.take(w, 27).pressedSince);
}

// The key-state query's "pressed since" answer goes to whoever asks first:
// a press the keyboard record missed reaches every watcher through it, and
// one it reported is not counted twice.
TEST(KeyPresses, APressOnlyTheKeyStateQueryReportedReachesEveryWatcherOnce) {
  KeyPresses presses;
  const KeyWatcherId scan = presses.open();
  const KeyWatcherId window = presses.open();
  presses.queryReportedPress(13); // missed by the keyboard record; the scan asked first
  EXPECT_TRUE(presses.take(scan, 13).pressedSince);
  EXPECT_TRUE(presses.take(window, 13).pressedSince);
  EXPECT_FALSE(presses.take(window, 13).pressedSince);

  // Reported by the record, taken, then reported by the query: once.
  presses.keyPressed(164);
  EXPECT_TRUE(presses.take(window, 164).pressedSince);
  presses.queryReportedPress(164);
  presses.queryReportedPress(18); // the either-side Alt, too
  EXPECT_FALSE(presses.take(window, 164).pressedSince);
  EXPECT_TRUE(presses.take(scan, 18).pressedSince);
  EXPECT_FALSE(presses.take(scan, 18).pressedSince);
  // The next press, missed by the record, counts again.
  presses.queryReportedPress(164);
  EXPECT_TRUE(presses.take(window, 164).pressedSince);
}

TEST(SimKeyboard, SynthesisedKeysAreLoggedAndMoveTheState) {
  SimDesktop desk;
  const KeyWatcherId w = desk.openKeyWatcher();
  desk.keybdEvent(164, 0, KeyAction::ExtendedKey, 0);
  EXPECT_TRUE(desk.keyDown(164));
  desk.keybdEvent(164, 0, KeyAction::ExtendedKey | KeyAction::Release, 0);
  EXPECT_FALSE(desk.keyDown(164));
  EXPECT_TRUE(desk.queryKey(w, 164).pressedSince);
  ASSERT_EQ(desk.keyEvents().size(), 2u);
  EXPECT_EQ(desk.keyEvents()[1].flags, KeyAction::ExtendedKey | KeyAction::Release);
}

// ---- Processes and registry ------------------------------------------------------------

TEST(SimProcesses, TerminationRefusesDeadAndUnkillableProcesses) {
  SimDesktop desk;
  const auto a = desk.startProcess("DOSBox.exe");
  const auto b = desk.startProcess("dosbox.EXE");
  const Hwnd window = desk.openWindow("SDL_app", {0, 0, 640, 480}, true, a);
  desk.makeUnkillable(b);
  EXPECT_EQ(desk.runningCount("DOSBOX.exe"), 2);
  EXPECT_TRUE(desk.terminateProcess(a));
  EXPECT_FALSE(desk.windowAlive(window)); // its window went with it
  EXPECT_FALSE(desk.terminateProcess(a));
  EXPECT_FALSE(desk.terminateProcess(b));
  EXPECT_EQ(desk.listProcesses().size(), 1u);
}

TEST(SimProcesses, AProcessCanExitRightAfterBeingListed) {
  SimDesktop desk;
  const auto a = desk.startProcess("DOSBox.exe");
  desk.exitAfterNextListing(a);
  EXPECT_EQ(desk.listProcesses().size(), 1u);
  EXPECT_FALSE(desk.processRunning(a));
  EXPECT_TRUE(desk.listProcesses().empty());
}

TEST(SimRegistry, ReturnCodesAreThoseOfTheOriginals) {
  SimDesktop desk;
  const RegistryRoot hkcu = RegistryRoot::CurrentUser;
  EXPECT_EQ(desk.regDeleteValue(hkcu, "Software\\K", "v"), 2);
  EXPECT_EQ(desk.regSetString(hkcu, "Software\\K", "v", "d"), 2); // no key yet
  EXPECT_EQ(desk.regCreateKey(hkcu, "Software\\K"), 0);
  EXPECT_TRUE(desk.regKeyExists(hkcu, "software"));
  EXPECT_EQ(desk.regSetString(hkcu, "Software\\K", "V", "d"), 0);
  EXPECT_EQ(desk.regValue(hkcu, "SOFTWARE\\k", "v"), "d");
  EXPECT_EQ(desk.regDeleteValue(hkcu, "Software\\K", "v"), 0);
  EXPECT_FALSE(desk.regValue(hkcu, "Software\\K", "v"));
  desk.failRegistry(5);
  EXPECT_EQ(desk.regCreateKey(hkcu, "Software\\Other"), 5);
  EXPECT_FALSE(desk.regKeyExists(hkcu, "Software\\Other"));
  EXPECT_EQ(desk.regCalls().size(), 6u);
}

} // namespace
} // namespace pexor
