#include "tests/unit/LauncherFixture.h"

using namespace pexor;
using namespace pexor::test;

namespace {

// Form1's outer size in the simulated desktop: the client area plus its frame.
constexpr float OuterWidth = 4800 + 120;
constexpr float OuterHeight = 1830 + 465;

} // namespace

TEST_F(LauncherTest, WindowIsCentredWhenShownAndAtEveryResize) {
  ship();
  start();
  auto info = desk.formInfo(f1());
  EXPECT_FLOAT_EQ(info->bounds.left, 1280 * 15 / 2.0f - OuterWidth / 2);
  EXPECT_FLOAT_EQ(info->bounds.top, 1024 * 15 / 2.0f - OuterHeight / 2);

  // Dragged away it stays there until the next resize.
  desk.userMove(f1(), 100, 200);
  EXPECT_FLOAT_EQ(desk.formInfo(f1())->bounds.left, 100);
  desk.userResize(f1(), OuterWidth + 300, OuterHeight);
  info = desk.formInfo(f1());
  EXPECT_FLOAT_EQ(info->bounds.left, 1280 * 15 / 2.0f - (OuterWidth + 300) / 2);
  EXPECT_FLOAT_EQ(info->bounds.top, 1024 * 15 / 2.0f - OuterHeight / 2);
}

TEST_F(LauncherTest, MaximisingEndsNormalAndCentredMinimisingStaysPut) {
  ship();
  start();
  desk.userMove(f1(), 90, 90);
  desk.userSetWindowState(f1(), WindowState::Maximized);
  auto info = desk.formInfo(f1());
  EXPECT_EQ(info->windowState, WindowState::Normal);
  EXPECT_FLOAT_EQ(info->bounds.left, 1280 * 15 / 2.0f - OuterWidth / 2);

  desk.userMove(f1(), 90, 90);
  desk.userSetWindowState(f1(), WindowState::Minimized);
  info = desk.formInfo(f1());
  EXPECT_EQ(info->windowState, WindowState::Minimized);
  EXPECT_FLOAT_EQ(info->bounds.left, 90);
  EXPECT_TRUE(desk.messageBoxes().empty());
}

TEST_F(LauncherTest, Command3AsksFor1024x768Exactly) {
  ship();
  start();
  const size_t before = desk.displayChanges().size();
  desk.clickControl(f1(), "Command3");
  ASSERT_EQ(desk.displayChanges().size(), before + 1);
  EXPECT_EQ(desk.displayChanges().back().mode.dmPelsWidth, 1024u);
  EXPECT_EQ(desk.displayChanges().back().mode.dmPelsHeight, 768u);
  EXPECT_EQ(desk.currentWidth(), 1024);
}

TEST_F(LauncherTest, ChoiceSetsTheCaptionFromTheChosenFileName) {
  ship();
  start();
  // Cancelled before any choice: nothing changes.
  desk.clickControl(f1(), "Command4");
  EXPECT_EQ(launcher->sys().chosenFile, "");
  EXPECT_EQ(caption(), "DOS програма чрез DosBox");
  ASSERT_EQ(desk.dialogs().size(), 1u);
  EXPECT_EQ(desk.dialogs()[0].title, "Open");
  EXPECT_EQ(desk.dialogs()[0].filter, "All Files");

  desk.queueDialog(std::string("C:\\DOS\\GAME.EXE"));
  desk.clickControl(f1(), "Command4");
  EXPECT_EQ(launcher->sys().chosenFile, "C:\\DOS\\GAME.EXE");
  EXPECT_EQ(caption(), "GAME.EXE");

  // Cancelled after a choice: the earlier file's name again.
  desk.setCaption(f1(), "x");
  desk.clickControl(f1(), "Command4");
  EXPECT_EQ(launcher->sys().chosenFile, "C:\\DOS\\GAME.EXE");
  EXPECT_EQ(caption(), "GAME.EXE");

  desk.queueDialog(std::string("C:\\DOS\\"));
  desk.clickControl(f1(), "Command4");
  EXPECT_EQ(caption(), "");
}

TEST_F(LauncherTest, FailingDialogKeepsTheChoiceAndTheProgramRuns) {
  ship();
  start();
  desk.queueDialog(std::string("C:\\DOS\\GAME.EXE"));
  desk.clickControl(f1(), "Command4");
  desk.failDialog();
  desk.clickControl(f1(), "Command4");
  EXPECT_EQ(launcher->sys().chosenFile, "C:\\DOS\\GAME.EXE");
  EXPECT_EQ(caption(), "GAME.EXE");
  EXPECT_TRUE(desk.messageBoxes().empty());
  EXPECT_FALSE(desk.programEnded());
}

// Every emulator of the installed copy ends, one started by hand or left
// from an earlier run too; another folder's emulator is another game.
TEST_F(LauncherTest, ClosingEndsTheInstalledCopysEmulatorsAndRestoresTheStartUpMode) {
  ship();
  start();
  const auto ours = desk.startProcess(installed("DOSBox.exe"));
  const auto byHand = desk.startProcess(installed("dosbox.EXE"));
  const auto anotherGame = desk.startProcess("D:\\Games\\Keen\\DOSBox.exe");
  const auto other = desk.startProcess("C:\\Windows\\notepad.exe");
  desk.clickControl(f1(), "Command3");
  ASSERT_EQ(desk.currentWidth(), 1024);

  desk.userClose(f1());
  EXPECT_FALSE(desk.processRunning(ours));
  EXPECT_FALSE(desk.processRunning(byHand));
  EXPECT_TRUE(desk.processRunning(anotherGame));
  EXPECT_TRUE(desk.processRunning(other));
  EXPECT_EQ(desk.currentWidth(), 1280);
  EXPECT_EQ(desk.currentHeight(), 1024);
  EXPECT_TRUE(desk.programEnded());
  EXPECT_EQ(desk.form("Form1"), 0u);
  EXPECT_TRUE(desk.messageBoxes().empty());
}

TEST_F(LauncherTest, ClosingWithNoEmulatorStillRestoresTheModeSilently) {
  ship();
  start();
  const size_t before = desk.displayChanges().size();
  desk.userClose(f1());
  ASSERT_EQ(desk.displayChanges().size(), before + 1);
  EXPECT_EQ(desk.displayChanges().back().mode.dmPelsWidth, 1280u);
  EXPECT_EQ(desk.displayChanges().back().mode.dmPelsHeight, 1024u);
  EXPECT_TRUE(desk.programEnded());
  EXPECT_TRUE(desk.messageBoxes().empty());
}

TEST_F(LauncherTest, ClosingWithAnEmulatorThatCannotBeEndedGoesOnToTheRest) {
  ship();
  start();
  const auto stuck = desk.startProcess(installed("DOSBox.exe"));
  const auto gone = desk.startProcess(installed("DOSBox.exe"));
  const auto last = desk.startProcess(installed("DOSBox.exe"));
  desk.makeUnkillable(stuck);
  desk.exitAfterNextListing(gone);
  desk.clickControl(f1(), "Command3");
  desk.userClose(f1());
  EXPECT_TRUE(desk.processRunning(stuck));
  EXPECT_FALSE(desk.processRunning(last));
  EXPECT_EQ(desk.currentWidth(), 1280);
  EXPECT_TRUE(desk.programEnded());
}

TEST_F(LauncherTest, ClosingClosesTheGuidanceWindows) {
  ship();
  start();
  desk.clickControl(f1(), "Label2");
  ASSERT_NE(desk.form("Form2"), 0u);
  desk.userClose(f1());
  EXPECT_EQ(desk.form("Form2"), 0u);
  EXPECT_TRUE(desk.runs().empty());
  EXPECT_TRUE(desk.programEnded());
}

TEST_F(LauncherTest, AnErrorEscapingAHandlerIsShownAndStillRestoresTheDesktop) {
  ship();
  start();
  const auto emulator = desk.startProcess(installed("DOSBox.exe"));
  desk.clickControl(f1(), "Label2");
  desk.failRun(true, -2147418113);                   // unexpected
  desk.clickControl(desk.form("Form2"), "Command1"); // OK: the game resolution
  ASSERT_EQ(desk.currentWidth(), 1280);
  ASSERT_EQ(desk.currentHeight(), 960);
  desk.advance(500); // the launch fails
  ASSERT_EQ(desk.messageBoxes().size(), 1u);
  EXPECT_EQ(desk.messageBoxes()[0].text.rfind("Run-time error '", 0), 0u);
  EXPECT_EQ(desk.messageBoxes()[0].display, std::make_pair(1280, 1024));
  EXPECT_TRUE(desk.programEnded());
  EXPECT_FALSE(desk.processRunning(emulator));
  EXPECT_EQ(desk.currentWidth(), 1280);
  EXPECT_EQ(desk.currentHeight(), 1024);
  // Nothing fires after the end.
  desk.advance(5000);
  EXPECT_EQ(desk.messageBoxes().size(), 1u);
}
