#include "system/CreateShortcutArgument.h"
#include "system/OpenFile.h"
#include "system/SpecialFolder.h"
#include "tests/sim/SimDesktop.h"
#include "tests/unit/ErrorOf.h"

#include <gtest/gtest.h>

namespace pexor {
namespace {

using sim::SimDesktop;

TEST(GetSpecialFolderPath, GivesThePathAsTheShellReportsIt) {
  SimDesktop desk;
  System sys(desk);
  const SpecialFolder documents = SpecialFolder::Documents;
  EXPECT_EQ(GetSpecialFolderPath(sys, documents), "C:\\Users\\Иван Петров\\Documents");
  desk.setSpecialFolder(documents, "D:\\Docs");
  EXPECT_EQ(GetSpecialFolderPath(sys, documents), "D:\\Docs");
  desk.setSpecialFolder(documents, "");
  EXPECT_EQ(GetSpecialFolderPath(sys, documents), "");
}

class MakeShortcutTest : public ::testing::Test {
protected:
  void SetUp() override { desk.addFolder("D:\\Docs\\DoxPexor"); }

  void write(const std::string &folder, const std::string &arguments = "args") {
    MakeShortcut(sys, target, folder, "StartPexor", arguments, "", ShowCommand::ShowNormal, 0);
  }

  SimDesktop desk;
  System sys{desk};
  const std::string target = "D:\\Docs\\DoxPexor\\DOSBox.exe";
};

TEST_F(MakeShortcutTest, WritesFolderAndNameJoinedWithEveryProperty) {
  MakeShortcut(sys, target, "D:\\Docs\\DoxPexor\\", "StartPexor",
               "\"D:\\Docs\\DoxPexor\\Pexor\\Pexor.exe\" -exit", "", ShowCommand::ShowNormal, 0);
  const auto saved = desk.shortcut("D:\\Docs\\DoxPexor\\StartPexor.lnk");
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->target, target);
  EXPECT_EQ(saved->arguments, "\"D:\\Docs\\DoxPexor\\Pexor\\Pexor.exe\" -exit");
  EXPECT_EQ(saved->workingDirectory, "");
  EXPECT_EQ(saved->windowStyle, ShowCommand::ShowNormal);
  EXPECT_EQ(saved->iconPath, target);
  EXPECT_EQ(saved->iconIndex, 0);
}

TEST_F(MakeShortcutTest, ASecondCallReplacesTheFile) {
  write("D:\\Docs\\DoxPexor\\", "first");
  write("D:\\Docs\\DoxPexor\\", "second");
  EXPECT_EQ(desk.shortcut("D:\\Docs\\DoxPexor\\StartPexor.lnk")->arguments, "second");
  EXPECT_EQ(desk.shortcutsSaved(), 2);
  EXPECT_EQ(desk.listFolder("D:\\Docs\\DoxPexor").size(), 1u);
}

TEST_F(MakeShortcutTest, ALinkThatAlreadySaysItAllIsNotWrittenAgain) {
  const std::string lnk = "D:\\Docs\\DoxPexor\\StartPexor.lnk";
  write("D:\\Docs\\DoxPexor\\");
  const std::int64_t written = desk.fileLastWrite(lnk);
  desk.advance(5000);
  write("D:\\Docs\\DoxPexor\\");
  EXPECT_EQ(desk.shortcutsSaved(), 1);
  EXPECT_EQ(desk.fileLastWrite(lnk), written);
  // Bytes that no longer read as the link: written again.
  desk.replaceFile(lnk, "damaged");
  write("D:\\Docs\\DoxPexor\\");
  EXPECT_EQ(desk.shortcutsSaved(), 2);
  EXPECT_EQ(desk.shortcut(lnk)->arguments, "args");
}

TEST_F(MakeShortcutTest, AFolderWithoutTheFinalBackslashJoinsTheNames) {
  write("D:\\Docs\\DoxPexor");
  EXPECT_TRUE(desk.fileExists("D:\\Docs\\DoxPexorStartPexor.lnk"));
  EXPECT_FALSE(desk.fileExists("D:\\Docs\\DoxPexor\\StartPexor.lnk"));
}

TEST_F(MakeShortcutTest, TheIconIsTheTargetsWithTheIndexGiven) {
  MakeShortcut(sys, "C:\\x.exe", "D:\\Docs\\", "n", "", "C:\\", ShowCommand::ShowMinNoActive, -12);
  const auto saved = desk.shortcut("D:\\Docs\\n.lnk");
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->iconPath, "C:\\x.exe");
  EXPECT_EQ(saved->iconIndex, -12);
  EXPECT_EQ(saved->windowStyle, ShowCommand::ShowMinNoActive);
  EXPECT_EQ(saved->workingDirectory, "C:\\");
}

TEST_F(MakeShortcutTest, FailuresReachTheCallerAndLeaveNoNewShortcut) {
  EXPECT_EQ(errorOf([&] { write("D:\\Missing\\"); }), err::PathNotFound);
  EXPECT_FALSE(desk.fileExists("D:\\Missing\\StartPexor.lnk"));

  write("D:\\Docs\\DoxPexor\\", "old");
  desk.failShortcuts(true);
  EXPECT_NE(errorOf([&] { write("D:\\Docs\\DoxPexor\\", "new"); }), 0);
  EXPECT_EQ(desk.shortcut("D:\\Docs\\DoxPexor\\StartPexor.lnk")->arguments, "old");
}

TEST(ChooseFile, AsksWithTheOpenTitleAndTheAllFilesFilter) {
  SimDesktop desk;
  System sys(desk);
  desk.queueDialog(std::string("C:\\Games\\Other.exe"));
  ChooseFile(sys);
  EXPECT_EQ(sys.chosenFile, "C:\\Games\\Other.exe");
  ASSERT_EQ(desk.dialogs().size(), 1u);
  EXPECT_EQ(desk.dialogs()[0].title, "Open");
  EXPECT_EQ(desk.dialogs()[0].filter, "All Files");
}

TEST(ChooseFile, ACancelKeepsWhatWasChosenBefore) {
  SimDesktop desk;
  System sys(desk);
  desk.queueDialog(std::nullopt);
  ChooseFile(sys);
  EXPECT_EQ(sys.chosenFile, "");
  desk.queueDialog(std::string("C:\\Games\\A.exe"));
  ChooseFile(sys);
  desk.queueDialog(std::nullopt);
  ChooseFile(sys);
  desk.queueDialog(std::string());
  ChooseFile(sys);
  EXPECT_EQ(sys.chosenFile, "C:\\Games\\A.exe");
  EXPECT_EQ(desk.dialogs().size(), 4u);
}

TEST(ChooseFile, ADialogFailureRaisesAndKeepsTheChoice) {
  SimDesktop desk;
  System sys(desk);
  sys.chosenFile = "C:\\Games\\A.exe";
  desk.failDialog();
  desk.queueDialog(std::string("C:\\Games\\B.exe"));
  EXPECT_EQ(errorOf([&] { ChooseFile(sys); }), err::DialogFailed);
  EXPECT_EQ(sys.chosenFile, "C:\\Games\\A.exe");
  ChooseFile(sys); // the queued answer waits for the next dialog
  EXPECT_EQ(sys.chosenFile, "C:\\Games\\B.exe");
}

} // namespace
} // namespace pexor
