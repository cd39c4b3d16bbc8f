#include "resources/Texts.h"
#include "system/InstalledCopy.h"
#include "tests/unit/GuidanceFixture.h"

#include <ostream>
#include <string>

namespace pexor::test {
namespace {

class Form2Test : public GuidanceTest {
protected:
  std::string lnkPath() const { return sys.pathInstall + "StartPexor.lnk"; }

  // Whether Label1 shows from now until `ms` later, sampled before each event.
  bool hintEverShown(std::int64_t ms) {
    bool seen = false;
    desk.advanceUntil(
        [&] {
          if (const Hwnd h = hForm2())
            seen = seen || shown(h, "Label1");
          return false;
        },
        ms);
    return seen;
  }

  bool hintShownAt1500(const std::string &pathGame, const std::string &caption = "DOS program") {
    sys.pathGame = pathGame;
    launcher.caption = caption;
    openForm2();
    desk.advance(1500);
    return shown(hForm2(), "Label1");
  }
};

TEST_F(Form2Test, LoadsBorderlessBlackTopmostOverTheWholeScreenWithTheCentredPanel) {
  desk.setScreen(1024, 768);
  openForm2();
  const Hwnd h = hForm2();
  ASSERT_NE(h, 0u);
  const auto info = desk.formInfo(h);
  ASSERT_TRUE(info.has_value());
  EXPECT_TRUE(info->visible);
  EXPECT_TRUE(info->borderless);
  EXPECT_EQ(info->backColor, 0x00000000u);
  EXPECT_FLOAT_EQ(info->bounds.left, 0);
  EXPECT_FLOAT_EQ(info->bounds.top, 0);
  EXPECT_FLOAT_EQ(info->bounds.width, 15360);
  EXPECT_FLOAT_EQ(info->bounds.height, 11520);
  EXPECT_TRUE(desk.windowInfo(h)->topmost);
  // Made topmost through its own handle, without being moved or sized.
  bool topmostCall = false;
  for (const auto &call : desk.windowCalls())
    if (call.op == sim::WinOp::SetPos && call.hwnd == h)
      topmostCall = call.insertAfter == ZOrder::Topmost &&
                    call.flags == (Placement::NoSize | Placement::NoMove);
  EXPECT_TRUE(topmostCall);
  // Half twips are kept: 15360 / 2 - 6975 / 2.
  const ControlView frame = desk.control(h, "Frame1");
  EXPECT_EQ(frame.left, 4192.5f);
  EXPECT_EQ(frame.top, 4192.5f);
}

TEST_F(Form2Test, CentresOnWhateverScreenItFinds) {
  desk.setScreen(800, 600);
  openForm2();
  const ControlView frame = desk.control(hForm2(), "Frame1");
  EXPECT_EQ(frame.left, 2512.5f); // 6000 - 3487.5
  EXPECT_EQ(frame.top, 2932.5f);  // 4500 - 1567.5
  EXPECT_FLOAT_EQ(desk.formInfo(hForm2())->bounds.width, 12000);
  EXPECT_FLOAT_EQ(desk.formInfo(hForm2())->bounds.height, 9000);
}

TEST_F(Form2Test, PanelHoldsTheDesignedControls) {
  openForm2();
  const Hwnd h = hForm2();
  const ControlView frame = desk.control(h, "Frame1");
  EXPECT_EQ(frame.kind, ControlKind::Frame);
  EXPECT_EQ(frame.parent, -1);
  EXPECT_EQ(frame.backColor, 0x00404040u);
  EXPECT_EQ(frame.width, 6975);
  EXPECT_EQ(frame.height, 3135);

  struct Expected {
    const char *name;
    float left, top, width, height;
  };
  for (const Expected &e :
       {Expected{"Label4", 350, 120, 6280, 375}, Expected{"Shape1", 360, 480, 6255, 2415},
        Expected{"Label1", 1680, 840, 3345, 240}, Expected{"Label2", 840, 1320, 4980, 240},
        Expected{"Label3", 1440, 1920, 3630, 240}, Expected{"Command1", 2280, 2400, 2175, 255}}) {
    SCOPED_TRACE(e.name);
    const ControlView v = desk.control(h, e.name);
    EXPECT_EQ(v.parent, frame.id);
    EXPECT_EQ(v.left, e.left);
    EXPECT_EQ(v.top, e.top);
    EXPECT_EQ(v.width, e.width);
    EXPECT_EQ(v.height, e.height);
  }

  EXPECT_EQ(text(h, "Label4"), "Запомнете тези основни бързи клавиши:");
  EXPECT_EQ(text(h, "Label1"), "Esc за прекъсване на логото!");
  EXPECT_EQ(text(h, "Label2"), "Esc   за директно затваряне на програмата!");
  EXPECT_EQ(text(h, "Label3"), "Win  клавиша  за минимизиране!");
  EXPECT_EQ(text(h, "Command1"), "OK");
  EXPECT_EQ(desk.control(h, "Label4").foreColor, 0x000000FFu);
  for (const char *name : {"Label1", "Label2", "Label3"}) {
    const ControlView v = desk.control(h, name);
    EXPECT_EQ(v.foreColor, 0x00FFFFFFu);
    EXPECT_TRUE(v.transparent);
    EXPECT_TRUE(v.font.bold);
    EXPECT_EQ(v.font.points, 9.75f);
    EXPECT_EQ(v.font.charset, 204);
  }
  EXPECT_FALSE(shown(h, "Label1"));
  EXPECT_TRUE(shown(h, "Label2"));
  EXPECT_TRUE(shown(h, "Command1"));
  EXPECT_EQ(desk.control(h, "Command1").backColor, 0x00808080u);
}

TEST_F(Form2Test, LogoHintShowsAfterOneAndAHalfSecondsForTheInstalledGame) {
  openForm2();
  const Hwnd h = hForm2();
  desk.advance(1499);
  EXPECT_FALSE(shown(h, "Label1"));
  desk.advance(1);
  EXPECT_TRUE(shown(h, "Label1"));
  EXPECT_FALSE(form2.get()->Timer2.enabled()); // once only
  desk.advance(10000);
  EXPECT_TRUE(shown(h, "Label1"));
  EXPECT_TRUE(launcher.calls.empty()); // nothing starts without "OK"
  EXPECT_EQ(desk.shortcutsSaved(), 0);
}

TEST_F(Form2Test, LogoHintComparesOnlyTheLastNineCharactersOfTheQuotedPath) {
  EXPECT_TRUE(hintShownAt1500("\"C:\\DOS\\Pexor.exe\""));
}

TEST_F(Form2Test, LogoHintShowsForANameThatOnlyEndsInTheGameName) {
  EXPECT_TRUE(hintShownAt1500("\"C:\\DOS\\SuperPexor.exe\""));
}

TEST_F(Form2Test, LogoHintIsCaseSensitive) {
  sys.pathGame = "\"C:\\DOS\\pexor.exe\"";
  openForm2();
  EXPECT_FALSE(hintEverShown(10000));
}

TEST_F(Form2Test, LogoHintStaysHiddenForAnotherGame) {
  sys.pathGame = "\"C:\\DOS\\GAME.EXE\"";
  openForm2();
  EXPECT_FALSE(hintEverShown(10000));
}

TEST_F(Form2Test, LogoHintFollowsTheLauncherCaption) {
  EXPECT_TRUE(hintShownAt1500("\"C:\\DOS\\GAME.EXE\"", "Pexor.exe"));
}

TEST_F(Form2Test, LogoHintCaptionComparisonIsExact) {
  EXPECT_FALSE(hintShownAt1500("\"C:\\DOS\\GAME.EXE\"", "pexor.exe"));
}

TEST_F(Form2Test, LogoHintUsesTheCaptionAlsoWithAnUnquotedPath) {
  EXPECT_TRUE(hintShownAt1500("C:\\DOS\\Pexor.ex", "Pexor.exe"));
}

TEST_F(Form2Test, LogoHintCountsCharactersNotBytes) {
  // The character after the name is Cyrillic, two bytes in UTF-8.
  EXPECT_TRUE(hintShownAt1500("C:\\Игри\\Pexor.exeЖ"));
}

TEST_F(Form2Test, LogoHintWithCyrillicFoldersBeforeTheName) {
  EXPECT_TRUE(hintShownAt1500("\"C:\\Игри\\Пексор\\Pexor.exe\""));
}

struct ShortPath {
  const char *pathGame;
  bool hint;
};

void PrintTo(const ShortPath &path, std::ostream *os) { *os << '[' << path.pathGame << ']'; }

class Form2ShortPathTest : public Form2Test, public ::testing::WithParamInterface<ShortPath> {};

// Shorter than ten characters, the whole path is taken and its first nine
// compared: nothing outside it is ever read.
TEST_P(Form2ShortPathTest, NeverReadsOutsideTheGamePath) {
  EXPECT_EQ(hintShownAt1500(GetParam().pathGame), GetParam().hint);
}

INSTANTIATE_TEST_SUITE_P(Paths, Form2ShortPathTest,
                         ::testing::Values(ShortPath{"", false}, ShortPath{"\"", false},
                                           ShortPath{"\"\"", false}, ShortPath{"exe\"", false},
                                           ShortPath{"Pexor.ex", false},
                                           ShortPath{"Pexor.exe", true},
                                           ShortPath{"Pexor.exe\"", true},
                                           ShortPath{"xPexor.exe", false}, ShortPath{"Ж", false}));

TEST_F(Form2Test, OkSwitchesToTheGameResolutionAndLaunchesHalfASecondLater) {
  desk.setScreen(1280, 1024);
  openForm2();
  const Hwnd h = hForm2();
  desk.advance(2000);
  const size_t changesBefore = desk.displayChanges().size();
  ASSERT_TRUE(desk.clickControl(h, "Command1"));
  ASSERT_EQ(desk.displayChanges().size(), changesBefore + 1);
  EXPECT_EQ(desk.displayChanges().back().mode.dmPelsWidth, 1024u);
  EXPECT_EQ(desk.displayChanges().back().mode.dmPelsHeight, 768u);
  EXPECT_EQ(desk.currentWidth(), 1024);
  EXPECT_EQ(desk.currentHeight(), 768);

  desk.advance(499);
  EXPECT_EQ(hForm2(), h);
  EXPECT_FALSE(desk.shortcut(lnkPath()).has_value());
  EXPECT_TRUE(desk.runs().empty());

  // At the launch, the window is gone before the launcher's timers start.
  Hwnd formAtCall = 1;
  size_t runsAtCall = 0;
  size_t runsAtStarting = 1;
  launcher.onCall = [&] {
    formAtCall = hForm2();
    runsAtCall = desk.runs().size();
    if (launcher.calls.back() == "emulatorStarting")
      runsAtStarting = runsAtCall;
  };
  desk.advance(1);
  EXPECT_EQ(desk.now(), 2500);
  EXPECT_EQ(hForm2(), 0u);
  EXPECT_EQ(formAtCall, 0u);
  EXPECT_EQ(runsAtCall, 1u);
  EXPECT_EQ(runsAtStarting, 0u); // the launcher told before the emulator starts
  EXPECT_FALSE(form2.loaded());

  const auto lnk = desk.shortcut(lnkPath());
  ASSERT_TRUE(lnk.has_value());
  EXPECT_EQ(lnk->target, InstalledCopy(sys).emulator());
  EXPECT_EQ(lnk->arguments,
            sys.pathGame + " -exit -fullscreen -conf " + sys.pathConf + " -noconsole");
  EXPECT_EQ(lnk->workingDirectory, "");
  EXPECT_EQ(lnk->windowStyle, ShowCommand::ShowNormal);
  EXPECT_EQ(lnk->iconPath, InstalledCopy(sys).emulator());
  EXPECT_EQ(lnk->iconIndex, 0);
  EXPECT_EQ(desk.shortcutsSaved(), 1);
  ASSERT_EQ(desk.runs().size(), 1u);
  EXPECT_EQ(desk.runs()[0].file, std::string(Docs) + "\\DoxPexor\\StartPexor.lnk");
  EXPECT_EQ(desk.runs()[0].parameters, "");
  EXPECT_EQ(launcher.calls, (std::vector<std::string>{"emulatorStarting", "lookUpEmulatorWindow",
                                                      "watchForGameOver"}));
  EXPECT_EQ(fatalCleanups, 0);
  EXPECT_TRUE(desk.messageBoxes().empty());

  // The launch happens once.
  desk.advance(5000);
  EXPECT_EQ(desk.runs().size(), 1u);
  EXPECT_FALSE(desk.programEnded()); // the keeper is still there
}

TEST_F(Form2Test, TheShortcutCarriesTheChosenProgram) {
  sys.pathGame = "\"D:\\Игри\\GAME.EXE\"";
  desk.addFile("D:\\Игри\\GAME.EXE", "MZ");
  openForm2();
  desk.clickControl(hForm2(), "Command1");
  desk.advance(500);
  const auto lnk = desk.shortcut(lnkPath());
  ASSERT_TRUE(lnk.has_value());
  EXPECT_EQ(lnk->arguments,
            "\"D:\\Игри\\GAME.EXE\" -exit -fullscreen -conf " + sys.pathConf + " -noconsole");
}

TEST_F(Form2Test, OkWithinTheFirstSecondClosesBeforeTheHint) {
  openForm2();
  desk.advance(400);
  desk.clickControl(hForm2(), "Command1");
  EXPECT_FALSE(hintEverShown(3000));
  EXPECT_EQ(hForm2(), 0u);
  EXPECT_EQ(desk.runs().size(), 1u);
}

TEST_F(Form2Test, HintStillShowsWhileTheLaunchIsPending) {
  openForm2();
  desk.advance(1200);
  desk.clickControl(hForm2(), "Command1");
  desk.advance(300); // 1500: the hint's tick comes first
  ASSERT_NE(hForm2(), 0u);
  EXPECT_TRUE(shown(hForm2(), "Label1"));
  EXPECT_TRUE(desk.runs().empty());
  desk.advance(200); // 1700: the launch
  EXPECT_EQ(hForm2(), 0u);
  EXPECT_EQ(desk.runs().size(), 1u);
}

TEST_F(Form2Test, SecondOkSwitchesAgainButLaunchesOnce) {
  openForm2();
  desk.advance(2000);
  const size_t changesBefore = desk.displayChanges().size();
  desk.clickControl(hForm2(), "Command1");
  desk.advance(300);
  desk.clickControl(hForm2(), "Command1");
  EXPECT_EQ(desk.displayChanges().size(), changesBefore + 2);
  desk.advance(199);
  EXPECT_TRUE(desk.runs().empty());
  desk.advance(1); // the first click's half second
  EXPECT_EQ(desk.runs().size(), 1u);
  desk.advance(2000);
  EXPECT_EQ(desk.runs().size(), 1u);
  EXPECT_EQ(desk.shortcutsSaved(), 1);
  EXPECT_EQ(launcher.calls, (std::vector<std::string>{"emulatorStarting", "lookUpEmulatorWindow",
                                                      "watchForGameOver"}));
}

TEST_F(Form2Test, GameResolutionTheDisplayCannotShowChangesNothingButStillLaunches) {
  desk.setScreen(1280, 1024);
  launcher.width = 1600;
  launcher.height = 1200;
  openForm2();
  desk.clickControl(hForm2(), "Command1");
  EXPECT_EQ(desk.currentWidth(), 1280);
  desk.advance(500);
  EXPECT_EQ(desk.runs().size(), 1u);
}

TEST_F(Form2Test, ClosedFromOutsideLaunchesNothingAndTellsTheLauncher) {
  openForm2();
  desk.advance(1000);
  desk.clickControl(hForm2(), "Command1");
  desk.advance(100);
  app.dispatch([this] { form2.unload(); }); // the launcher closing
  EXPECT_EQ(hForm2(), 0u);
  desk.advance(5000);
  EXPECT_FALSE(desk.shortcut(lnkPath()).has_value());
  EXPECT_TRUE(desk.runs().empty());
  EXPECT_EQ(launcher.calls, std::vector<std::string>{"reminderDismissed(switched)"});

  // Alt+F4 before "OK": nothing was switched.
  launcher.calls.clear();
  openForm2();
  ASSERT_TRUE(desk.userClose(hForm2()));
  EXPECT_EQ(hForm2(), 0u);
  EXPECT_EQ(launcher.calls, std::vector<std::string>{"reminderDismissed"});
}

TEST_F(Form2Test, AShortcutThatCannotBeWrittenIsShownAndEndsTheProgram) {
  desk.failShortcuts(true);
  openForm2();
  desk.clickControl(hForm2(), "Command1");
  desk.advance(500);
  EXPECT_EQ(hForm2(), 0u); // closed before the failure
  ASSERT_EQ(desk.messageBoxes().size(), 1u);
  EXPECT_NE(desk.messageBoxes()[0].text.find("429"), std::string::npos);
  EXPECT_EQ(fatalCleanups, 1);
  EXPECT_TRUE(desk.programEnded());
  EXPECT_TRUE(desk.runs().empty());
  EXPECT_TRUE(launcher.calls.empty());
}

TEST_F(Form2Test, AnEmulatorThatCannotRunIsToldInTheUsersWords) {
  desk.failRun(true, -2147024703); // bad EXE format
  openForm2();
  desk.clickControl(hForm2(), "Command1");
  desk.advance(500);
  EXPECT_TRUE(desk.shortcut(lnkPath()).has_value());
  EXPECT_EQ(launcher.calls, (std::vector<std::string>{"emulatorStarting", "launchFailed"}));
  EXPECT_EQ(launcher.told[0], "Емулаторът DOSBox не може да бъде стартиран:\n" + std::string(Docs) +
                                  "\\DoxPexor\\DOSBox.exe\n\nфайлът не е програма, "
                                  "която Windows може да стартира.");
  EXPECT_TRUE(desk.messageBoxes().empty());
  EXPECT_FALSE(desk.programEnded());
}

TEST_F(Form2Test, MissingFilesAreToldBeforeAnythingIsWrittenOrRun) {
  const std::string emulator = std::string(Docs) + "\\DoxPexor\\DOSBox.exe";
  const std::string game = std::string(Docs) + "\\DoxPexor\\Pexor\\Pexor.exe";
  const auto launch = [&] {
    openForm2();
    desk.clickControl(hForm2(), "Command1");
    desk.advance(500);
  };
  desk.removeFile(game);
  launch();
  desk.removeFile(emulator);
  launch();
  desk.removeFolder(std::string(Docs) + "\\DoxPexor");
  launch();
  EXPECT_EQ(launcher.told,
            (std::vector<std::string>{"Файлът на играта липсва:\n" + game,
                                      "Емулаторът DOSBox липсва:\n" + emulator,
                                      "Папката на играта в Документи липсва или не е достъпна:\n" +
                                          std::string(Docs) + "\\DoxPexor"}));
  EXPECT_FALSE(desk.shortcut(lnkPath()).has_value());
  EXPECT_TRUE(desk.runs().empty());
}

TEST_F(Form2Test, ShownAgainItStartsFromItsDesign) {
  openForm2();
  desk.advance(1500);
  ASSERT_TRUE(shown(hForm2(), "Label1"));
  app.dispatch([this] { form2.unload(); });
  openForm2();
  EXPECT_FALSE(shown(hForm2(), "Label1"));
  EXPECT_TRUE(form2.get()->Timer2.enabled());
  EXPECT_FALSE(form2.get()->Timer1.enabled());
}

} // namespace
} // namespace pexor::test
