#include "system/MODFullscren.h"
#include "system/ResolutionMod.h"
#include "tests/sim/SimDesktop.h"
#include "tests/unit/ProbeForm.h"

#include <gtest/gtest.h>

#include <cstring>

namespace pexor {
namespace {

using sim::SimDesktop;

bool allZero(const DisplayMode &mode) {
  const DisplayMode zero{};
  return std::memcmp(&mode, &zero, sizeof mode) == 0;
}

TEST(ChangeResolution, TheFirstCallEnumeratesFromAZeroRecordThroughTheFailingCall) {
  SimDesktop desk;
  System sys(desk);
  ChangeResolution(sys, 1024, 768);

  const auto &calls = desk.enumCalls();
  ASSERT_EQ(calls.size(), 7u); // six modes and the call that fails
  EXPECT_TRUE(allZero(calls[0].handed));
  EXPECT_EQ(calls[0].handed.dmSize, 0);
  for (std::size_t i = 0; i < calls.size(); ++i)
    EXPECT_EQ(calls[i].modeNumber, static_cast<std::int32_t>(i));
  EXPECT_TRUE(calls[5].result);
  EXPECT_FALSE(calls[6].result);
  EXPECT_EQ(calls[6].handed.dmPelsWidth, 1280u); // what the previous call left

  ASSERT_EQ(desk.displayChanges().size(), 1u);
  const sim::DisplayChange &change = desk.displayChanges()[0];
  EXPECT_EQ(change.mode.dmFields, DisplayField::PelsWidth | DisplayField::PelsHeight);
  EXPECT_EQ(change.mode.dmPelsWidth, 1024u);
  EXPECT_EQ(change.mode.dmPelsHeight, 768u);
  EXPECT_EQ(change.mode.dmBitsPerPel, 32u); // from the last enumerated mode
  EXPECT_EQ(desk.currentWidth(), 1024);
  EXPECT_EQ(desk.currentHeight(), 768);
}

TEST(ChangeResolution, TheRecordIsCarriedFromCallToCall) {
  SimDesktop desk;
  System sys(desk);
  ChangeResolution(sys, 800, 600);
  const std::size_t before = desk.enumCalls().size();
  ChangeResolution(sys, 1280, 1024);
  const DisplayMode &handed = desk.enumCalls()[before].handed;
  EXPECT_EQ(handed.dmFields, DisplayField::PelsWidth | DisplayField::PelsHeight);
  EXPECT_EQ(handed.dmPelsWidth, 800u);
  EXPECT_EQ(handed.dmPelsHeight, 600u);
  EXPECT_EQ(handed.dmSize, sizeof(DisplayMode));
  EXPECT_EQ(sys.displayMode.dmPelsWidth, 1280u);
  EXPECT_EQ(desk.currentWidth(), 1280);
}

TEST(ChangeResolution, TheSizeInEffectIsStillEnumeratedAndRequested) {
  SimDesktop desk;
  System sys(desk);
  ChangeResolution(sys, 1280, 1024);
  EXPECT_EQ(desk.enumCalls().size(), 7u);
  ASSERT_EQ(desk.displayChanges().size(), 1u);
  EXPECT_EQ(desk.displayChanges()[0].mode.dmPelsWidth, 1280u);
}

TEST(ChangeResolution, HalvesGoToTheEvenNeighbour) {
  SimDesktop desk;
  System sys(desk);
  ChangeResolution(sys, 1023.5f, 767.5f);
  EXPECT_EQ(desk.displayChanges().back().mode.dmPelsWidth, 1024u);
  EXPECT_EQ(desk.displayChanges().back().mode.dmPelsHeight, 768u);
  ChangeResolution(sys, 1024.5f, 768.5f);
  EXPECT_EQ(desk.displayChanges().back().mode.dmPelsWidth, 1024u);
  EXPECT_EQ(desk.displayChanges().back().mode.dmPelsHeight, 768u);
  ChangeResolution(sys, 800.49f, 600.51f);
  EXPECT_EQ(desk.displayChanges().back().mode.dmPelsWidth, 800u);
  EXPECT_EQ(desk.displayChanges().back().mode.dmPelsHeight, 601u);
}

TEST(ChangeResolution, AnEmptyModeListStillAttemptsTheChange) {
  SimDesktop desk;
  desk.setModes({});
  System sys(desk);
  ChangeResolution(sys, 640, 480);
  ASSERT_EQ(desk.enumCalls().size(), 1u);
  ASSERT_EQ(desk.displayChanges().size(), 1u);
  const DisplayMode &sent = desk.displayChanges()[0].mode;
  EXPECT_EQ(sent.dmFields, DisplayField::PelsWidth | DisplayField::PelsHeight);
  EXPECT_EQ(sent.dmPelsWidth, 640u);
  EXPECT_EQ(sent.dmBitsPerPel, 0u);
  EXPECT_EQ(desk.displayChanges()[0].result, -2);
  EXPECT_EQ(desk.currentWidth(), 1280);
}

TEST(ChangeResolution, ARefusedSizeChangesNothing) {
  SimDesktop desk;
  System sys(desk);
  ChangeResolution(sys, 1600, 1200);
  EXPECT_EQ(desk.displayChanges().back().result, -2);
  EXPECT_EQ(desk.currentWidth(), 1280);
  EXPECT_EQ(desk.currentHeight(), 1024);
}

TEST(ChangeResolution, OnlyTheSizeIsFlaggedWhenTheListEndsWithAnotherDepth) {
  SimDesktop desk;
  desk.setModeList({SimDesktop::makeMode(640, 480), SimDesktop::makeMode(1024, 768),
                    SimDesktop::makeMode(1024, 768, 16, 75)});
  System sys(desk);
  ChangeResolution(sys, 640, 480);
  const DisplayMode &sent = desk.displayChanges()[0].mode;
  EXPECT_EQ(sent.dmFields, DisplayField::PelsWidth | DisplayField::PelsHeight);
  EXPECT_EQ(sent.dmBitsPerPel, 16u);
  EXPECT_EQ(sent.dmDisplayFrequency, 75u);
  EXPECT_EQ(desk.currentWidth(), 640);
}

TEST(ChangeResolution, ASizeBeyondTheRecordOverflows) {
  SimDesktop desk;
  System sys(desk);
  try {
    ChangeResolution(sys, 3.0e9f, 480);
    FAIL() << "no overflow";
  } catch (const Error &e) {
    EXPECT_EQ(e.number(), err::Overflow);
  }
  EXPECT_TRUE(desk.displayChanges().empty());
}

TEST(MakeFullScreen, TheWindowCoversTheScreenFromItsTopLeftCorner) {
  probe::ProbeWorld world;
  probe::ProbeForm &form = world.show();
  world.app.dispatch([&] { MakeFullScreen(form); });
  EXPECT_EQ(form.left(), 0.0f);
  EXPECT_EQ(form.top(), 0.0f);
  EXPECT_EQ(form.width(), 1280.0f * 15);
  EXPECT_EQ(form.height(), 1024.0f * 15);

  world.desk.setScreen(800, 600); // read afresh each time
  world.app.dispatch([&] { MakeFullScreen(form); });
  EXPECT_EQ(form.width(), 12000.0f);
  EXPECT_EQ(form.height(), 9000.0f);
  WinRect rect;
  ASSERT_TRUE(world.desk.getWindowRect(form.hWnd(), rect));
  EXPECT_EQ(rect.right, 800);
  EXPECT_EQ(rect.bottom, 600);
}

} // namespace
} // namespace pexor
