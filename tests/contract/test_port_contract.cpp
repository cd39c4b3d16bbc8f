#include "tests/contract/PortUnderTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace pexor::contract {
namespace {

long errorOf(const std::function<void()> &action) {
  try {
    action();
  } catch (const Error &e) {
    return e.number();
  }
  return 0;
}

// One case per promise; each runs against the simulated desktop and, under
// Wine, against the Win32 adapter.
class PortContract : public ::testing::Test {
protected:
  std::unique_ptr<PortUnderTest> under = makePortUnderTest();
  Port &port = under->port();
  const std::string dir = under->scratch();
};

TEST_F(PortContract, FilesAreWrittenWholeCopiedWithTheirTimeAndListed) {
  const std::string a = dir + "\\a.txt";
  const std::string b = dir + "\\b.txt";
  port.replaceFile(a, "first");
  port.replaceFile(a, "second, longer");
  EXPECT_EQ(port.readFile(a), "second, longer");
  port.copyFile(a, b);
  EXPECT_EQ(port.readFile(b), "second, longer");
  port.createFolder(dir + "\\Sub");
  EXPECT_TRUE(port.folderExists(dir + "\\Sub"));
  EXPECT_FALSE(port.folderExists(dir + "\\a.txt"));
  EXPECT_TRUE(port.fileExists(a));
  EXPECT_FALSE(port.fileExists(dir + "\\Sub"));
  EXPECT_FALSE(port.fileExists(dir + "\\none.txt"));
  std::vector<FolderEntry> entries = port.listFolder(dir);
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry &x, const FolderEntry &y) { return x.name < y.name; });
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "Sub");
  EXPECT_TRUE(entries[0].isFolder);
  EXPECT_EQ(entries[1].name, "a.txt");
  EXPECT_EQ(entries[1].size, 14u);
  EXPECT_EQ(entries[2].lastWrite, entries[1].lastWrite);
}

TEST_F(PortContract, MissingFilesAndFoldersRaiseTheirNumbers) {
  EXPECT_EQ(errorOf([&] { port.readFile(dir + "\\none.txt"); }), err::FileNotFound);
  EXPECT_EQ(errorOf([&] { port.replaceFile(dir + "\\No\\x.txt", "x"); }), err::PathNotFound);
  EXPECT_EQ(errorOf([&] { port.copyFile(dir + "\\none.txt", dir + "\\y.txt"); }),
            err::FileNotFound);
  EXPECT_FALSE(port.folderExists(dir + "\\No"));
  // A copy that fails leaves its target as it was.
  port.replaceFile(dir + "\\kept.txt", "kept");
  EXPECT_NE(errorOf([&] { port.copyFile(dir + "\\none.txt", dir + "\\kept.txt"); }), 0);
  EXPECT_EQ(port.readFile(dir + "\\kept.txt"), "kept");
}

// A copy is the user's to write, whatever the source's read-only flag; the
// source keeps its flag and its bytes.
TEST_F(PortContract, ACopyOfAReadOnlyFileIsWritableAndTheSourceKeepsItsFlag) {
  const std::string source = dir + "\\shipped.txt";
  const std::string copy = dir + "\\installed.txt";
  port.replaceFile(source, "shipped");
  under->setReadOnly(source, true);
  port.copyFile(source, copy);
  EXPECT_FALSE(under->readOnly(copy));
  port.replaceFile(copy, "changed");
  port.copyFile(source, copy); // over a file that is there
  EXPECT_FALSE(under->readOnly(copy));
  EXPECT_EQ(port.readFile(copy), "shipped");
  EXPECT_TRUE(under->readOnly(source));
  EXPECT_EQ(port.readFile(source), "shipped");
  under->setReadOnly(source, false);
}

// The short form names the same file and is spelled by the code page; a name
// that is a short one already stays, and a path that is not has none.
TEST_F(PortContract, AShortPathNamesTheSameFile) {
  port.createFolder(dir + "\\Моите документи");
  const std::string file = dir + "\\Моите документи\\Игра за проба.txt";
  port.replaceFile(file, "game");
  const std::string shortForm = port.shortPathName(file);
  ASSERT_FALSE(shortForm.empty());
  EXPECT_NE(shortForm, file);
  EXPECT_TRUE(port.ansiCodePageHolds(shortForm)) << shortForm;
  EXPECT_EQ(port.readFile(shortForm), "game");
  port.replaceFile(dir + "\\GAME.TXT", "x");
  const std::string plain = port.shortPathName(dir + "\\GAME.TXT");
  ASSERT_GE(plain.size(), 9u);
  EXPECT_EQ(plain.substr(plain.size() - 9), "\\GAME.TXT");
  EXPECT_EQ(port.readFile(plain), "x");
  EXPECT_EQ(port.shortPathName(dir + "\\none.txt"), "");
}

// ASCII is spelled by every code page, a character of none of them only by
// UTF-8; Cyrillic by 1251 alone, and a letter 1252 has only a look-alike of
// (A for Ă) by neither.
TEST_F(PortContract, TheAnsiCodePageHoldsWhatItSpells) {
  const int codePage = under->ansiCodePage();
  EXPECT_TRUE(port.ansiCodePageHolds("C:\\Users\\Ivan\\Documents"));
  EXPECT_TRUE(port.ansiCodePageHolds(""));
  EXPECT_EQ(port.ansiCodePageHolds("\xF0\x9F\x8E\xAE"), codePage == 65001); // a game pad
  if (codePage == 1251 || codePage == 1252) {
    EXPECT_EQ(port.ansiCodePageHolds("Моите документи"), codePage == 1251);
    EXPECT_EQ(port.ansiCodePageHolds("Café"), codePage == 1252);
    EXPECT_FALSE(port.ansiCodePageHolds("Ăla"));
  }
}

TEST_F(PortContract, AVolumeNamesItsFileSystem) {
  const std::string here = port.fileSystemName(dir);
  EXPECT_FALSE(here.empty());
  port.replaceFile(dir + "\\a.txt", "a");
  EXPECT_EQ(port.fileSystemName(dir + "\\a.txt"), here);
  EXPECT_EQ(port.fileSystemName("Q:\\PexorContract"), "") << "no drive Q:";
}

TEST_F(PortContract, AShortcutIsSavedAndRuns) {
  const std::string target = dir + "\\target.txt";
  port.replaceFile(target, "x");
  Shortcut shortcut;
  shortcut.target = target;
  shortcut.arguments = "-a \"b c\"";
  shortcut.iconPath = target;
  const std::string lnk = dir + "\\Start Here.lnk";
  port.saveShortcut(lnk, shortcut);
  EXPECT_TRUE(port.shortcutHolds(lnk, shortcut));
  for (const auto &change : std::vector<std::function<void(Shortcut &)>>{
           [](Shortcut &s) { s.arguments = "-a \"b\""; }, [](Shortcut &s) { s.iconIndex = 1; },
           [](Shortcut &s) { s.windowStyle = ShowCommand::ShowMinNoActive; },
           [&](Shortcut &s) { s.target = dir + "\\other.txt"; },
           [](Shortcut &s) { s.workingDirectory = "C:\\"; }}) {
    Shortcut other = shortcut;
    change(other);
    EXPECT_FALSE(port.shortcutHolds(lnk, other));
  }
  EXPECT_FALSE(port.shortcutHolds(dir + "\\none.lnk", shortcut));
  port.replaceFile(dir + "\\text.lnk", "not a link");
  EXPECT_FALSE(port.shortcutHolds(dir + "\\text.lnk", shortcut));
  const std::vector<FolderEntry> entries = port.listFolder(dir);
  EXPECT_TRUE(std::any_of(entries.begin(), entries.end(),
                          [](const FolderEntry &e) { return e.name == "Start Here.lnk"; }));
  EXPECT_NE(errorOf([&] { port.shellRun(dir + "\\none.lnk", ""); }), 0);
  EXPECT_NE(errorOf([&] { port.saveShortcut(dir + "\\No\\x.lnk", shortcut); }), 0);
}

TEST_F(PortContract, RegistryValuesAreSetAndDeletedWithTheOriginalsCodes) {
  const std::string key = "Software\\PexorContract";
  const RegistryRoot user = RegistryRoot::CurrentUser;
  EXPECT_EQ(port.regCreateKey(user, key), 0);
  EXPECT_EQ(port.regSetString(user, key, "v", "256COLOR"), 0);
  EXPECT_EQ(port.regDeleteValue(user, key, "v"), 0);
  EXPECT_EQ(port.regDeleteValue(user, key, "v"), 2); // not found
  EXPECT_EQ(port.regSetString(user, key + "\\None", "v", "x"), 2);
}

TEST_F(PortContract, DisplayModesAreListedAndTheCurrentSizeIsApplied) {
  DisplayMode mode{};
  ASSERT_TRUE(port.enumDisplaySettings(0, mode));
  EXPECT_TRUE(has(mode.dmFields, DisplayField::PelsWidth | DisplayField::PelsHeight));
  EXPECT_GT(mode.dmPelsWidth, 0u);
  DisplayMode past = mode;
  EXPECT_FALSE(port.enumDisplaySettings(100000, past));
  DisplayMode now{};
  now.dmPelsWidth = static_cast<std::uint32_t>(port.screenWidthPixels());
  now.dmPelsHeight = static_cast<std::uint32_t>(port.screenHeightPixels());
  now.dmFields = DisplayField::PelsWidth | DisplayField::PelsHeight;
  now.dmSize = sizeof now;
  EXPECT_EQ(port.changeDisplaySettings(now), 0);
  EXPECT_EQ(port.screenWidthPixels(), static_cast<int>(now.dmPelsWidth));
}

TEST_F(PortContract, NoWindowNoProcessAnswersFalse) {
  EXPECT_TRUE(port.findWindows("PexorContractNoSuchClass").empty());
  EXPECT_EQ(port.windowProcess(0), 0u);
  EXPECT_EQ(port.processImagePath(0xFFFFFFF0u), "");
  EXPECT_FALSE(port.isLaunchOfProgram(0xFFFFFFF0u));
  WinRect rect{1, 2, 3, 4};
  EXPECT_FALSE(port.getWindowRect(0, rect));
  EXPECT_EQ(rect.left, 1);
  EXPECT_FALSE(port.showWindow(0, ShowCommand::ShowNormal));
  EXPECT_FALSE(port.isWindowVisible(0));
  EXPECT_FALSE(port.setWindowPos(0, ZOrder::Topmost, 0, 0, 0, 0, Placement::NoSize));
  EXPECT_FALSE(port.terminateProcess(0xFFFFFFF0u));
}

struct QuietSink : FormSink {
  int resizes = 0;
  void onClick(int) override {}
  void onMouseUp(int) override {}
  void onListSelected(int, int) override {}
  void onCloseRequest() override {}
  void onResize() override { ++resizes; }
  void onTimer(int) override {}
  void onDpiChanged() override {}
};

TEST_F(PortContract, AFormIsPlacedSizedAndShownWhereItIsTold) {
  QuietSink sink;
  FormView view;
  view.name = "Contract";
  view.caption = "Contract";
  view.clientWidth = 3000;
  view.clientHeight = 1500;
  const Hwnd form = port.createForm(view, sink);
  ASSERT_NE(form, 0u);
  port.moveForm(form, 1500, 750);
  port.sizeForm(form, 4500, 3000);
  const FormBounds bounds = port.formBounds(form);
  EXPECT_EQ(bounds.left, 1500.0f);
  EXPECT_EQ(bounds.top, 750.0f);
  EXPECT_EQ(bounds.width, 4500.0f);
  EXPECT_EQ(bounds.height, 3000.0f);
  EXPECT_FALSE(port.isWindowVisible(form));
  // Hidden, it is found all the same, by a class name in any case, and is
  // this program's.
  const std::vector<Hwnd> found = port.findWindows("pexorlauncherFORM");
  EXPECT_NE(std::find(found.begin(), found.end(), form), found.end());
  EXPECT_EQ(port.processImagePath(port.windowProcess(form)), port.programFile());
  port.showForm(form, true);
  EXPECT_TRUE(port.isWindowVisible(form));
  // Twips become pixels at the form's DPI.
  const int dpi = port.formDpi(form);
  ASSERT_GE(dpi, 96);
  WinRect rect{};
  ASSERT_TRUE(port.getWindowRect(form, rect));
  EXPECT_EQ(rect.left, 1500 * dpi / 1440);
  EXPECT_EQ(rect.right - rect.left, 4500 * dpi / 1440);
  port.setWindowState(form, WindowState::Minimized);
  EXPECT_EQ(port.windowState(form), WindowState::Minimized);
  EXPECT_TRUE(port.isWindowVisible(form));
  port.setWindowState(form, WindowState::Normal);
  EXPECT_EQ(port.windowState(form), WindowState::Normal);
  EXPECT_EQ(port.formBounds(form).left, 1500.0f);
  port.showForm(form, false);
  EXPECT_FALSE(port.isWindowVisible(form));
  port.destroyForm(form);
  EXPECT_FALSE(port.getWindowRect(form, rect));
}

struct TickSink : QuietSink {
  std::vector<int> ticks;
  void onTimer(int timerId) override { ticks.push_back(timerId); }
};

// Margins of a few hundred milliseconds: Wine's timers are coarse.
TEST_F(PortContract, ATimerTicksItsFormUntilStoppedAndARestartWaitsAWholeInterval) {
  TickSink sink;
  const Hwnd form = port.createForm(FormView{}, sink);
  port.startTimer(form, 7, 400);
  under->pass(250);
  port.startTimer(form, 7, 400); // due again 400 ms from now, not 150
  under->pass(250);
  EXPECT_TRUE(sink.ticks.empty());
  under->pass(400);
  EXPECT_EQ(sink.ticks, std::vector<int>{7});
  port.stopTimer(form, 7);
  under->pass(500);
  EXPECT_EQ(sink.ticks.size(), 1u);
  port.destroyForm(form);
}

// A program busy in an event sees the clock go on, and can have a form drawn
// then and there without any other event of its own running (a due timer
// waits). A form that does not activate takes the foreground neither when
// shown nor when clicked.
TEST_F(PortContract, ABusyProgramCountsTimeAndDrawsAFormWithoutOtherEvents) {
  TickSink sink;
  FormView view;
  view.clientWidth = 3000;
  view.clientHeight = 1500;
  view.activates = false;
  const Hwnd form = port.createForm(view, sink);
  ControlView label;
  label.id = 1;
  label.text = "Копирани: 1 от 2";
  label.width = 2000;
  label.height = 300;
  port.putControl(form, label);
  port.startTimer(form, 4, 20);
  port.showForm(form, true);
  EXPECT_NE(under->foreground(), form);
  const std::uint64_t before = port.tickCount();
  under->busy(300);
  EXPECT_GE(port.tickCount() - before, 250u);
  label.text = "Копирани: 2 от 2";
  port.putControl(form, label);
  port.refreshForm(form);
  EXPECT_TRUE(sink.ticks.empty());
  under->pass(200);
  EXPECT_FALSE(sink.ticks.empty());
  // Clicked, it leaves the foreground where it was.
  port.moveForm(form, 1500, 1500);
  const auto normalised = [](int pixel, int span) {
    return static_cast<std::int32_t>((static_cast<std::int64_t>(pixel) * 65536 + span - 1) / span);
  };
  port.mouseEvent(
      MouseAction::Move | MouseAction::LeftDown | MouseAction::LeftUp | MouseAction::Absolute,
      normalised(150, port.screenWidthPixels()), normalised(130, port.screenHeightPixels()), 0, 0);
  under->pass(200);
  EXPECT_NE(under->foreground(), form);
  port.destroyForm(form);
}

// Each watcher has its own record of presses and releases, from its first
// query on; a sided key's press also counts for its either-side code.
TEST_F(PortContract, EachKeyWatcherSeesAPressOnce) {
  constexpr int rightAlt = code(VirtualKey::RightMenu);
  constexpr int eitherAlt = code(VirtualKey::Menu);
  const KeyWatcherId a = port.openKeyWatcher();
  const KeyWatcherId b = port.openKeyWatcher();
  EXPECT_FALSE(port.queryKey(a, rightAlt).any());
  EXPECT_FALSE(port.queryKey(b, eitherAlt).any());
  port.keybdEvent(static_cast<std::uint8_t>(rightAlt), 0, KeyAction::Press, 0);
  under->pass(60);
  port.keybdEvent(static_cast<std::uint8_t>(rightAlt), 0, KeyAction::Release, 0);
  under->pass(60);
  const KeyWatcherId later = port.openKeyWatcher();
  EXPECT_FALSE(port.queryKey(later, rightAlt).any());
  const KeyReport first = port.queryKey(a, rightAlt);
  EXPECT_TRUE(first.pressedSince);
  EXPECT_TRUE(first.releasedSince);
  EXPECT_FALSE(first.downNow);
  EXPECT_FALSE(first.held());
  const KeyReport again = port.queryKey(a, rightAlt);
  EXPECT_FALSE(again.any() || again.releasedSince); // told once
  EXPECT_TRUE(port.queryKey(b, eitherAlt).pressedSince);
  // Held across a query, let go after it. Wine's key state takes the right
  // Alt above, sent without its extended flag, for the left one: asked first.
  constexpr int leftAlt = code(VirtualKey::LeftMenu);
  port.queryKey(a, leftAlt);
  port.keybdEvent(static_cast<std::uint8_t>(leftAlt), 0, KeyAction::Press, 0);
  under->pass(60);
  const KeyReport held = port.queryKey(a, leftAlt);
  EXPECT_TRUE(held.downNow);
  EXPECT_TRUE(held.pressedSince);
  EXPECT_FALSE(held.releasedSince);
  port.keybdEvent(static_cast<std::uint8_t>(leftAlt), 0, KeyAction::Release, 0);
  under->pass(60);
  const KeyReport letGo = port.queryKey(a, leftAlt);
  EXPECT_TRUE(letGo.releasedSince);
  EXPECT_FALSE(letGo.pressedSince || letGo.held());
  port.closeKeyWatcher(later);
  port.closeKeyWatcher(b);
  port.closeKeyWatcher(a);
}

// The presses are recorded whatever the window thread is doing: a display
// switch may hold it for seconds while the player types. The key-state
// query's own "pressed since" bit is one for all: the second watcher sees
// the press only if it was recorded. The recording starts again after the
// last watcher has closed.
TEST_F(PortContract, APressWhileTheWindowThreadIsBusyIsSeenByEachWatcher) {
  constexpr int enter = code(VirtualKey::Return);
  const KeyWatcherId earlier = port.openKeyWatcher();
  EXPECT_FALSE(port.queryKey(earlier, enter).any());
  port.closeKeyWatcher(earlier);
  const KeyWatcherId first = port.openKeyWatcher();
  const KeyWatcherId second = port.openKeyWatcher();
  EXPECT_FALSE(port.queryKey(first, enter).any());
  EXPECT_FALSE(port.queryKey(second, enter).any());
  under->typeWhileBusy(enter, 1000);
  const KeyReport seen = port.queryKey(first, enter);
  EXPECT_TRUE(seen.pressedSince);
  EXPECT_FALSE(seen.downNow);
  EXPECT_TRUE(port.queryKey(second, enter).pressedSince);
  EXPECT_FALSE(port.queryKey(first, enter).any());
  port.closeKeyWatcher(second);
  port.closeKeyWatcher(first);
}

TEST_F(PortContract, DialogsShowTheirWordsAndGiveTheAnswer) {
  const std::string text = "Играта не е намерена.";
  under->answerNextDialog(std::nullopt);
  EXPECT_EQ(port.messageBox(text, "Pexor", MessageBoxStyle::Error), 1); // OK
  EXPECT_EQ(under->shownDialog(), (ShownDialog{"Pexor", text}));

  const std::string game = dir + "\\Игра.exe";
  port.replaceFile(game, "MZ");
  under->answerNextDialog(game);
  EXPECT_EQ(port.openFileDialog("Избор", "Програми|*.exe"), game);
  EXPECT_EQ(under->shownDialog().title, "Избор");
  under->answerNextDialog(std::nullopt);
  EXPECT_EQ(port.openFileDialog("Избор", "Програми|*.exe"), std::nullopt);
}

TEST_F(PortContract, OneHolderOfAnInstanceNameAtATime) {
  const std::string name = "PexorContract";
  port.comeForward(name); // nobody holds it: nothing happens
  ASSERT_TRUE(port.claimInstance(name, [] {}));
  port.releaseInstance(name);
  EXPECT_TRUE(port.claimInstance(name, [] {}));
  port.releaseInstance(name);
}

// Each event is one line of the trace, with the event's words in it, when
// the trace was asked for; none at all when it was not.
TEST_F(PortContract, EachTracedEventIsOneLineOfTheTraceWhenAskedFor) {
  const std::vector<std::string> lines = under->traced([&] {
    port.trace("contract: the first event");
    port.trace("contract: the second event");
  });
  if (!port.tracing()) {
    EXPECT_TRUE(lines.empty());
    return;
  }
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find("contract: the first event"), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find("contract: the second event"), std::string::npos) << lines[1];
}

// A key the launcher does not act on (a letter typed anywhere) stands in no
// line of the trace: neither its code nor that it was typed.
TEST_F(PortContract, TheTraceNamesNoKeyButTheLaunchersOwn) {
  const KeyWatcherId watcher = port.openKeyWatcher();
  (void)port.queryKey(watcher, 'Q'); // the keyboard record starts
  const std::vector<std::string> lines = under->traced([&] {
    for (const int vk : {int{'Q'}, int{'1'}, code(VirtualKey::Shift)}) {
      port.keybdEvent(static_cast<std::uint8_t>(vk), 0, KeyAction::Press, 0);
      under->pass(40);
      port.keybdEvent(static_cast<std::uint8_t>(vk), 0, KeyAction::Release, 0);
      under->pass(40);
      (void)port.queryKey(watcher, vk);
    }
    under->pass(200);
  });
  port.closeKeyWatcher(watcher);
  for (const std::string &line : lines) {
    for (const char *code : {"key 81", "key 49", "key 16"})
      EXPECT_EQ(line.find(code), std::string::npos) << line;
  }
}

// The programs this process starts from now on end with its last process.
TEST_F(PortContract, LaunchesCanBeTiedToTheProgram) {
  EXPECT_TRUE(port.tieLaunchesToProgram());
  EXPECT_TRUE(port.tieLaunchesToProgram()) << "a second call finds it holding";
  EXPECT_FALSE(port.isLaunchOfProgram(0xFFFFFFF0u));
}

// A guardian runs from the file it is given, learns its orders and whether
// the process that started it put things back before it ended; either way
// it ends then too.
TEST_F(PortContract, AGuardianLearnsWhetherItsProcessReleasedItBeforeEnding) {
  EXPECT_EQ(port.guardianOrders(), std::nullopt) << "this process was started plainly";
  EXPECT_FALSE(port.guardedProcessAbandoned());
  const PortUnderTest::Guarded released = under->guardedRun(true);
  EXPECT_EQ(released.ranFrom, released.programGiven);
  EXPECT_EQ(released.ordersSeen, released.ordersGiven);
  EXPECT_FALSE(released.abandoned);
  EXPECT_TRUE(released.guardianEnded);
  const PortUnderTest::Guarded abandoned = under->guardedRun(false);
  EXPECT_EQ(abandoned.ordersSeen, abandoned.ordersGiven);
  EXPECT_TRUE(abandoned.abandoned);
  EXPECT_TRUE(abandoned.guardianEnded);
}

TEST_F(PortContract, ASynthesisedKeyOrMouseMoveIsRecentInput) {
  under->pass(1500);
  EXPECT_GE(port.inputIdleMilliseconds(), 1000u);
  port.keybdEvent(static_cast<std::uint8_t>(code(VirtualKey::Shift)), 0, KeyAction::Press, 0);
  port.keybdEvent(static_cast<std::uint8_t>(code(VirtualKey::Shift)), 0, KeyAction::Release, 0);
  EXPECT_LT(port.inputIdleMilliseconds(), 1000u);
  under->pass(1500);
  port.mouseEvent(MouseAction::Move, 0, 0, 0, 0);
  EXPECT_LT(port.inputIdleMilliseconds(), 1000u);
}

} // namespace
} // namespace pexor::contract
