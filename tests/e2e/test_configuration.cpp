// Picks in the two lists, made with the mouse, and what they do to the
// installed configuration file.
#include "tests/e2e/LauncherTest.h"

namespace e2e {
namespace {

using Configuration = LauncherTest;

constexpr int Index640x480 = 0;
constexpr int Index800x600 = 1;
constexpr int Index1024x768 = 2;
constexpr int Index1280x960 = 4;
constexpr int Index1600x1200 = 5;

// The refusal: its title and text, one OK button and the error icon.
void expectRefusal(const MessageBoxInfo &box) {
  EXPECT_EQ(narrow(box.title), narrow(RefusalTitle));
  EXPECT_EQ(narrow(box.text), narrow(RefusalText));
  EXPECT_EQ(childWindows(box.hwnd, L"Button").size(), 1u);
  bool icon = false;
  for (HWND child : childWindows(box.hwnd, L"Static"))
    icon = icon || (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
  EXPECT_TRUE(icon) << "the refusal shows no icon";
}

TEST_F(Configuration, SpeedPickRewritesOnlyTheCyclesValueAtOnce) {
  ASSERT_NO_FATAL_FAILURE(open());
  ASSERT_TRUE(launcher.pickListItem(list2, 17));
  EXPECT_EQ(narrow(listSelectedText(list2)), "20000");
  EXPECT_TRUE(confBecomes(withValue(shippedConf(), "cycles=", "12000", "20000")));

  ASSERT_TRUE(launcher.pickListItem(list2, 0));
  EXPECT_TRUE(confBecomes(withValue(shippedConf(), "cycles=", "12000", "3000")));
}

TEST_F(Configuration, ResolutionPickIsWrittenAtOnce) {
  ASSERT_NO_FATAL_FAILURE(open());
  ASSERT_TRUE(launcher.pickListItem(list1, Index800x600));
  EXPECT_EQ(narrow(listSelectedText(list1)), "800x600");
  EXPECT_TRUE(confBecomes(withValue(shippedConf(), "fullresolution=", "1024x768", "800x600")));
  EXPECT_FALSE(findMessageBox(launcher.pid()));
}

TEST_F(Configuration, ArrowKeysMoveTheResolutionWithoutStoringIt) {
  ASSERT_NO_FATAL_FAILURE(open());
  ASSERT_TRUE(launcher.pickListItem(list1, Index800x600));
  const std::string at800 = withValue(shippedConf(), "fullresolution=", "1024x768", "800x600");
  ASSERT_TRUE(confBecomes(at800));

  pressKey(VK_DOWN);
  ASSERT_TRUE(waitUntil([&] { return listSelection(list1) == Index1024x768; }))
      << "the list did not take the arrow key";
  pause(1000);
  EXPECT_TRUE(installedConf() == at800) << "an arrow key stored a resolution";

  // A click on the entry the keyboard selected stores it.
  ASSERT_TRUE(launcher.pickListItem(list1, Index1024x768));
  EXPECT_TRUE(confBecomes(shippedConf()));
}

TEST_F(Configuration, ResolutionLargerThanTheDesktopIsRefused) {
  ASSERT_NO_FATAL_FAILURE(open());
  ASSERT_EQ(currentDisplayMode().cx, 1280);
  ASSERT_TRUE(launcher.pickListItem(list1, Index1600x1200));
  const auto refusal = waitForMessageBox(launcher.pid());
  ASSERT_TRUE(refusal) << "no refusal for 1600x1200 on a 1280x1024 desktop";
  expectRefusal(*refusal);
  EXPECT_TRUE(pressOk(*refusal));

  EXPECT_EQ(narrow(listSelectedText(list1)), "1024x768");
  EXPECT_TRUE(installedConf() == shippedConf());
  EXPECT_TRUE(launcher.running());

  // The list still takes picks afterwards.
  ASSERT_TRUE(launcher.pickListItem(list1, Index640x480));
  EXPECT_TRUE(confBecomes(withValue(shippedConf(), "fullresolution=", "1024x768", "640x480")));
}

TEST_F(Configuration, ResolutionEqualToTheDesktopIsAccepted) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  ASSERT_TRUE(setDisplayMode(1280, 960));
  ASSERT_NO_FATAL_FAILURE(start());

  ASSERT_TRUE(launcher.pickListItem(list1, Index1280x960));
  const std::string at1280 = withValue(shippedConf(), "fullresolution=", "1024x768", "1280x960");
  EXPECT_TRUE(confBecomes(at1280));
  EXPECT_FALSE(findMessageBox(launcher.pid())) << "a size equal to the desktop was refused";

  // Refusing a larger one now goes back to the size just accepted.
  ASSERT_TRUE(launcher.pickListItem(list1, Index1600x1200));
  const auto refusal = waitForMessageBox(launcher.pid());
  ASSERT_TRUE(refusal);
  expectRefusal(*refusal);
  EXPECT_TRUE(pressOk(*refusal));
  EXPECT_EQ(narrow(listSelectedText(list1)), "1280x960");
  EXPECT_TRUE(installedConf() == at1280);
}

// A file held without sharing at start-up (a sync client, a virus scanner):
// the lists show the fallbacks; once free, a pick edits the file as it is
// then, and the lists show what it holds.
TEST_F(Configuration, FileHeldAtStartUpIsEditedAsItIsOnceFree) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  ASSERT_TRUE(copyTree(box->shipped(), box->installed())); // nothing left to copy
  UniqueHandle held(CreateFileW(confPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
  ASSERT_NO_FATAL_FAILURE(start());
  EXPECT_EQ(narrow(listSelectedText(list1)), "1600x1200");
  EXPECT_EQ(narrow(listSelectedText(list2)), "30000");
  held.reset();

  ASSERT_TRUE(launcher.pickListItem(list1, Index800x600));
  EXPECT_TRUE(confBecomes(withValue(shippedConf(), "fullresolution=", "1024x768", "800x600")));
  EXPECT_TRUE(waitUntil([&] { return narrow(listSelectedText(list2)) == "12000"; }));
  EXPECT_FALSE(findMessageBox(launcher.pid()));
}

bool readOnly(const std::wstring &path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// A shipped folder copied from a disc or a read-only share: every file
// read-only. The installed copy is writable all the same, so a pick of
// resolution and one of speed each land in it; the shipped files stay
// read-only and as they were.
TEST_F(Configuration, ReadOnlyShippedFolderInstallsAWritableCopy) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  const std::vector<std::wstring> files = listTree(box->shipped());
  std::vector<std::string> shipped;
  for (const auto &file : files) {
    shipped.push_back(readBytes(join(box->shipped(), file)).value_or("<missing>"));
    ASSERT_TRUE(setReadOnly(join(box->shipped(), file), true)) << narrow(file);
  }
  struct Writable { // so that the case's folder can be removed
    const Sandbox &box;
    const std::vector<std::wstring> &files;
    ~Writable() {
      for (const auto &file : files)
        setReadOnly(join(box.shipped(), file), false);
    }
  } writableAfter{*box, files};
  ASSERT_NO_FATAL_FAILURE(start());
  for (const auto &file : files)
    EXPECT_FALSE(readOnly(box->installedFile(file))) << narrow(file) << " installed read-only";

  ASSERT_TRUE(launcher.pickListItem(list1, Index800x600));
  const std::string at800 = withValue(shippedConf(), "fullresolution=", "1024x768", "800x600");
  EXPECT_TRUE(confBecomes(at800));
  ASSERT_TRUE(launcher.pickListItem(list2, 17));
  EXPECT_TRUE(confBecomes(withValue(at800, "cycles=", "12000", "20000")));
  EXPECT_FALSE(findMessageBox(launcher.pid())) << "a pick was not written";

  for (size_t i = 0; i < files.size(); ++i) {
    EXPECT_TRUE(readOnly(join(box->shipped(), files[i]))) << narrow(files[i]);
    EXPECT_TRUE(readBytes(join(box->shipped(), files[i])) == shipped[i]) << narrow(files[i]);
  }
}

} // namespace
} // namespace e2e
