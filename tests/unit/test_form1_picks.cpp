#include "tests/unit/LauncherFixture.h"

using namespace pexor;
using namespace pexor::test;

namespace {
const std::string LayersKey =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";
const std::string Refusal =
    "Избраната резолюция е по-голяма от резолюцията при стартиране на програмата!";

std::string withCycles(const std::string &value) {
  std::string conf = StandardConf;
  conf.replace(conf.find("cycles=12000"), 12, "cycles=" + value);
  return conf;
}
std::string withResolution(const std::string &value) {
  std::string conf = StandardConf;
  conf.replace(conf.find("fullresolution=1280x960"), 23, "fullresolution=" + value);
  return conf;
}
} // namespace

TEST_F(LauncherTest, SpeedPickRewritesTheFileAtOnceByMouseOrKeyboard) {
  ship();
  start();
  desk.userSelect(f1(), "List2", 2);
  EXPECT_EQ(installedConf(), withCycles("5000"));
  EXPECT_EQ(picked("List2"), "5000");
  desk.userSelectByKeyboard(f1(), "List2", 3);
  EXPECT_EQ(installedConf(), withCycles("6000"));
  EXPECT_EQ(shown("Text1").text, installedConf());
}

TEST_F(LauncherTest, ResolutionPickIsStoredOnMouseReleaseOnly) {
  ship();
  start();
  desk.userSelectByKeyboard(f1(), "List1", 1);
  EXPECT_EQ(installedConf(), StandardConf);
  EXPECT_EQ(gameSize(), std::make_pair(1280, 960));
  // The next release applies whatever is selected then.
  desk.mouseUp(f1(), "List1");
  EXPECT_EQ(installedConf(), withResolution("800x600"));
  EXPECT_EQ(gameSize(), std::make_pair(800, 600));
  desk.userSelect(f1(), "List1", 5); // refused: back to the accepted size
  EXPECT_EQ(shown("List1").listIndex, 1);
}

TEST_F(LauncherTest, ResolutionLargerThanTheDesktopIsRefusedAndTheEarlierOneKept) {
  ship();
  start(); // desktop 1280 x 1024
  desk.userSelect(f1(), "List1", 5);
  ASSERT_EQ(desk.messageBoxes().size(), 1u);
  EXPECT_EQ(desk.messageBoxes()[0].text, Refusal);
  EXPECT_EQ(desk.messageBoxes()[0].title, "Отказан избор!");
  EXPECT_EQ(desk.messageBoxes()[0].style, MessageBoxStyle::Error);
  EXPECT_EQ(shown("List1").listIndex, 4);
  EXPECT_EQ(gameSize(), std::make_pair(1280, 960));
  EXPECT_EQ(installedConf(), StandardConf);
}

TEST_F(LauncherTest, ResolutionEqualToTheDesktopIsAcceptedAndRewrittenEvenWhenUnchanged) {
  ship();
  desk.setScreen(1280, 960);
  start();
  desk.advance(100);
  desk.userSelect(f1(), "List1", 4);
  EXPECT_TRUE(desk.messageBoxes().empty());
  EXPECT_EQ(installedConf(), StandardConf);
  EXPECT_EQ(desk.fileLastWrite(installed("dosbox-0.73.conf")), sim::FileTimeEpoch + 100LL * 10000);
  // A file gone since is told, never made up from what was read before.
  desk.removeFile(installed("dosbox-0.73.conf"));
  desk.userSelect(f1(), "List1", 4);
  EXPECT_FALSE(desk.fileExists(installed("dosbox-0.73.conf")));
  ASSERT_EQ(desk.messageBoxes().size(), 1u);
  EXPECT_NE(desk.messageBoxes()[0].text.find("файлът липсва"), std::string::npos);
}

TEST_F(LauncherTest, UnknownResolutionValueIsReplacedByTheFirstAcceptedPick) {
  ship(withResolution("desktop"));
  start();
  EXPECT_EQ(shown("List1").listIndex, 5);
  EXPECT_EQ(installedConf(), withResolution("desktop"));
  desk.userSelect(f1(), "List1", 2);
  EXPECT_EQ(installedConf(), withResolution("1024x768"));
}

TEST_F(LauncherTest, FailedWriteIsToldKeepsTheFileAndTheListShowsIt) {
  ship();
  start();
  desk.setReadOnly(installed("dosbox-0.73.conf"));
  desk.userSelect(f1(), "List2", 0);
  ASSERT_EQ(desk.messageBoxes().size(), 1u);
  const auto &box = desk.messageBoxes()[0];
  EXPECT_NE(box.text.find(installed("dosbox-0.73.conf")), std::string::npos);
  EXPECT_NE(box.text.find("само за четене"), std::string::npos);
  EXPECT_EQ(box.style, MessageBoxStyle::Error);
  EXPECT_EQ(installedConf(), StandardConf);
  EXPECT_EQ(shown("List2").listIndex, 9);
  EXPECT_EQ(shown("Text1").text, StandardConf);
  EXPECT_FALSE(desk.programEnded());

  desk.setReadOnly(installed("dosbox-0.73.conf"), false);
  desk.userSelect(f1(), "List1", 0);
  EXPECT_EQ(installedConf(), withResolution("640x480"));
}

// A file held at start-up (a sync client, a virus scanner): the lists show
// the fallbacks; once free, a pick edits the file as it is then, and the
// lists show what it holds. Edits made by someone else meanwhile are kept.
TEST_F(LauncherTest, PickEditsTheFileAsItIsOnDiskNow) {
  ship();
  desk.addFile(installed("dosbox-0.73.conf"), StandardConf);
  desk.setLocked(installed("dosbox-0.73.conf"));
  start();
  EXPECT_EQ(shown("List1").listIndex, 5);
  EXPECT_EQ(shown("List2").listIndex, 27);
  EXPECT_TRUE(desk.messageBoxes().empty());
  desk.setLocked(installed("dosbox-0.73.conf"), false);

  desk.userSelect(f1(), "List1", 1);
  EXPECT_EQ(installedConf(), withResolution("800x600"));
  EXPECT_EQ(shown("List2").listIndex, 9);
  EXPECT_EQ(gameSize(), std::make_pair(800, 600));

  std::string mine = withCycles("7000") + "# mine\r\n";
  desk.addFile(installed("dosbox-0.73.conf"), mine);
  desk.userSelect(f1(), "List1", 0);
  mine.replace(mine.find("1280x960"), 8, "640x480");
  EXPECT_EQ(installedConf(), mine);
  desk.addFile(installed("dosbox-0.73.conf"), withResolution("1024x768"));
  desk.userSelect(f1(), "List2", 0);
  EXPECT_EQ(installedConf(),
            "# DOSBox configuration \xE8\xE7\xE1\xEE\xF0\r\n[sdl]\r\nfullscreen=false\r\n"
            "fullresolution=1024x768\r\noutput=surface\r\n\r\n[cpu]\r\ncore=auto\r\n"
            "cycles=3000\r\ncycleup=500\r\n");
  EXPECT_EQ(shown("List1").listIndex, 2);
  EXPECT_EQ(gameSize(), std::make_pair(1024, 768));
  EXPECT_TRUE(desk.messageBoxes().empty());
}

TEST_F(LauncherTest, LockedFileFailsEveryPickWithoutEndingTheProgram) {
  ship();
  start();
  desk.setLocked(installed("dosbox-0.73.conf"));
  desk.userSelect(f1(), "List2", 1);
  desk.userSelect(f1(), "List1", 0);
  EXPECT_EQ(desk.messageBoxes().size(), 2u);
  EXPECT_FALSE(desk.programEnded());
  desk.setLocked(installed("dosbox-0.73.conf"), false);
  EXPECT_EQ(installedConf(), StandardConf);
}

TEST_F(LauncherTest, SixtyFourBitChoiceFixes640x480AndWritesTheCompatibilityValue) {
  ship();
  start();
  const std::string name = docs + "\\DoxPexor\\DOSBox.exe";
  desk.clickControl(f1(), "Option2");
  EXPECT_TRUE(shown("Option2").value);
  EXPECT_FALSE(shown("Option1").value);
  EXPECT_EQ(shown("List1").listIndex, 0);
  EXPECT_FALSE(shown("List1").enabled);
  EXPECT_EQ(gameSize(), std::make_pair(640, 480));
  EXPECT_EQ(installedConf(), withResolution("640x480"));
  EXPECT_EQ(desk.regValue(RegistryRoot::CurrentUser, LayersKey, name), "256COLOR 640X480");

  // A disabled list takes no picks.
  EXPECT_FALSE(desk.userSelect(f1(), "List1", 3));

  desk.clickControl(f1(), "Option1");
  EXPECT_FALSE(desk.regValue(RegistryRoot::CurrentUser, LayersKey, name).has_value());
  EXPECT_TRUE(shown("List1").enabled);
  EXPECT_EQ(shown("List1").listIndex, 0);
  EXPECT_EQ(installedConf(), withResolution("640x480"));
}

TEST_F(LauncherTest, NextStartRemovesAValueLeftByA64BitRun) {
  ship();
  const std::string name = docs + "\\DoxPexor\\DOSBox.exe";
  desk.setRegValue(RegistryRoot::CurrentUser, LayersKey, name, "256COLOR 640X480");
  start();
  EXPECT_FALSE(desk.regValue(RegistryRoot::CurrentUser, LayersKey, name).has_value());
}

TEST_F(LauncherTest, SixtyFourBitOnATinyDesktopRefusesTheSizeButStillWritesTheValue) {
  ship();
  desk.setModes({{320, 200}, {640, 480}});
  desk.setScreen(320, 200);
  start();
  desk.clickControl(f1(), "Option2");
  ASSERT_EQ(desk.messageBoxes().size(), 1u);
  EXPECT_EQ(desk.messageBoxes()[0].text, Refusal);
  EXPECT_FALSE(shown("List1").enabled);
  EXPECT_EQ(gameSize(), std::make_pair(1280, 960));
  EXPECT_EQ(desk.regValue(RegistryRoot::CurrentUser, LayersKey, docs + "\\DoxPexor\\DOSBox.exe"),
            "256COLOR 640X480");
}
