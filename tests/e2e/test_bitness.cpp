// The 32-bit and 64-bit choices: the emulator's compatibility value in the
// registry and the resolution fixed at 640x480.
#include "tests/e2e/LauncherTest.h"

namespace e2e {
namespace {

using Bitness = LauncherTest;

TEST_F(Bitness, SixtyFourBitSetsTheCompatibilityValueAndFixes640x480) {
  ASSERT_NO_FATAL_FAILURE(open());
  ASSERT_TRUE(launcher.pickListItem(list1, 4));
  ASSERT_TRUE(confBecomes(withValue(shippedConf(), "fullresolution=", "1024x768", "1280x960")));

  launcher.clickOption2();
  ASSERT_TRUE(waitUntil([&] { return compatibilityValue().has_value(); }))
      << "no value named " << narrow(emulatorPath());
  EXPECT_EQ(narrow(compatibilityValue().value_or(L"")), narrow(CompatibilityLayers));
  EXPECT_EQ(narrow(listSelectedText(list1)), "640x480");
  EXPECT_FALSE(IsWindowEnabled(list1));
  EXPECT_TRUE(confBecomes(withValue(shippedConf(), "fullresolution=", "1024x768", "640x480")));
  EXPECT_TRUE(isChecked(launcher.childWithText(L"64 битов Winidows")));
  EXPECT_FALSE(isChecked(launcher.childWithText(L"32 битов Windows")));

  // A disabled list takes no pick.
  launcher.pickListItem(list1, 2);
  pause(500);
  EXPECT_EQ(narrow(listSelectedText(list1)), "640x480");
}

TEST_F(Bitness, ThirtyTwoBitRemovesTheValueAndFreesTheList) {
  ASSERT_NO_FATAL_FAILURE(open());
  launcher.clickOption2();
  ASSERT_TRUE(waitUntil([&] { return compatibilityValue().has_value(); }));
  const std::string at640 = withValue(shippedConf(), "fullresolution=", "1024x768", "640x480");
  ASSERT_TRUE(confBecomes(at640));

  launcher.clickOption1();
  EXPECT_TRUE(waitUntil([&] { return !compatibilityValue(); }));
  EXPECT_TRUE(waitUntil([&] { return IsWindowEnabled(list1) != FALSE; }));
  EXPECT_EQ(narrow(listSelectedText(list1)), "640x480");
  EXPECT_TRUE(installedConf() == at640);

  ASSERT_TRUE(launcher.pickListItem(list1, 1));
  EXPECT_TRUE(confBecomes(withValue(shippedConf(), "fullresolution=", "1024x768", "800x600")));
}

} // namespace
} // namespace e2e
