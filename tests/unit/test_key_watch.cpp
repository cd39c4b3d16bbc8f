#include "tests/unit/LauncherFixture.h"

using namespace pexor;
using namespace pexor::test;

// The watch looks at all 256 codes only while there is input to see.
TEST_F(LauncherTest, KeyWatchRestsWithoutInputAndWakesOnTheNextKey) {
  ship();
  start();
  desk.advance(1000);
  const long settled = desk.keyQueries();
  desk.advance(30000);
  EXPECT_EQ(desk.keyQueries(), settled);

  // A quick tap of the left Windows key, long after the last input, is
  // still seen at the next tick.
  desk.tap(sim::VK_LWIN_KEY);
  desk.advance(49);
  EXPECT_EQ(desk.formInfo(f1())->windowState, WindowState::Normal);
  desk.advance(1);
  EXPECT_EQ(desk.formInfo(f1())->windowState, WindowState::Minimized);
  EXPECT_EQ(desk.keyEvents().size(), 4u);
}

TEST_F(LauncherTest, KeyWatchKeepsScanningWhileAKeyIsHeld) {
  ship();
  start();
  desk.advance(5000);
  desk.press(sim::VK_SHIFT_KEY);
  desk.advance(2000);
  const long before = desk.keyQueries();
  desk.advance(50);
  EXPECT_EQ(desk.keyQueries() - before, 256);
  EXPECT_EQ(shown("Label1").text, "160");
  // The left Windows key under the held Shift leaves Shift's higher code.
  desk.tap(sim::VK_LWIN_KEY);
  desk.advance(50);
  EXPECT_EQ(shown("Label1").text, "160");
  EXPECT_EQ(desk.formInfo(f1())->windowState, WindowState::Normal);
}
