// Shipped folders the launcher does not expect: it keeps running and never
// loses a byte it was not meant to change.
#include "tests/e2e/LauncherTest.h"

namespace e2e {
namespace {

class BadInput : public LauncherTest {
protected:
  // Replaces the configuration in this test's shipped folder.
  void shipConf(const std::string &bytes) {
    ASSERT_TRUE(writeBytes(join(box->shipped(), L"dosbox-0.73.conf"), bytes));
  }

  static std::string lfOnly(std::string text) {
    for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
      text.erase(at, 1);
    return text;
  }
};

TEST_F(BadInput, ConfigurationWithLfLineEndsKeepsThem) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  const std::string lf = lfOnly(shippedConf());
  ASSERT_EQ(lf.find('\r'), std::string::npos);
  ASSERT_NO_FATAL_FAILURE(shipConf(lf));
  ASSERT_NO_FATAL_FAILURE(start());
  EXPECT_EQ(narrow(listSelectedText(list1)), "1024x768");
  EXPECT_EQ(narrow(listSelectedText(list2)), "12000");

  ASSERT_TRUE(launcher.pickListItem(list2, 3));
  EXPECT_TRUE(confBecomes(withValue(lf, "cycles=", "12000", "6000")));
  ASSERT_TRUE(launcher.pickListItem(list1, 1));
  EXPECT_TRUE(confBecomes(withValue(withValue(lf, "cycles=", "12000", "6000"),
                                    "fullresolution=", "1024x768", "800x600")));
}

TEST_F(BadInput, ConfigurationWithoutEitherKeyIsWrittenBackUnchanged) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  const std::string text = "[sdl]\r\nfullscreen=false\r\n# \xC8\xE3\xF0\xE0 \xE1\xE5\xE7 "
                           "\xEA\xEB\xFE\xF7\xEE\xE2\xE5\r\n[cpu]\r\ncore=auto\r\n";
  ASSERT_NO_FATAL_FAILURE(shipConf(text));
  ASSERT_NO_FATAL_FAILURE(start());
  EXPECT_EQ(narrow(listSelectedText(list1)), "1600x1200");
  EXPECT_EQ(narrow(listSelectedText(list2)), "30000");
  EXPECT_TRUE(installedConf() == text);

  ASSERT_TRUE(launcher.pickListItem(list2, 20));
  pause(1000);
  EXPECT_TRUE(installedConf() == text);
  EXPECT_TRUE(launcher.running());
}

TEST_F(BadInput, EmptyConfigurationStaysEmpty) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  ASSERT_NO_FATAL_FAILURE(shipConf(""));
  ASSERT_NO_FATAL_FAILURE(start());
  EXPECT_EQ(narrow(listSelectedText(list2)), "30000");
  ASSERT_TRUE(launcher.pickListItem(list2, 25));
  pause(1000);
  EXPECT_EQ(installedConf(), "");
  EXPECT_TRUE(launcher.running());
}

// Nothing to copy: the user is told, naming the shipped folder; the launcher
// still opens, writes no configuration of its own, and still writes the
// start shortcut into the folder it made.
TEST_F(BadInput, MissingShippedFolder) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  removeTree(box->shipped());
  ASSERT_TRUE(launcher.start(*box));
  const auto told = waitForMessageBox(launcher.pid());
  ASSERT_TRUE(told) << "the missing shipped folder was not told";
  EXPECT_NE(told->text.find(box->shipped()), std::wstring::npos) << narrow(told->text);
  EXPECT_TRUE(pressOk(*told));
  ASSERT_TRUE(launcher.waitForWindow());
  list1 = launcher.list1();
  list2 = launcher.list2();
  ASSERT_TRUE(list1 && list2);
  EXPECT_EQ(narrow(listSelectedText(list1)), "1600x1200");
  EXPECT_EQ(narrow(listSelectedText(list2)), "30000");
  EXPECT_FALSE(fileExists(confPath()));
  EXPECT_TRUE(waitUntil([&] { return fileExists(box->installedFile(L"StartPexor.lnk")); }));

  ASSERT_TRUE(launcher.pickListItem(list2, 2));
  dismissMessageBoxes(launcher.pid());
  EXPECT_FALSE(fileExists(confPath())) << "a pick made up a configuration file";
  EXPECT_TRUE(launcher.running());
}

} // namespace
} // namespace e2e
