#include "system/KeyDownKeyUp.h"
#include "system/MouseClick.h"
#include "system/NewOntheTop.h"
#include "system/UpravlenieWindow.h"
#include "tests/sim/SimDesktop.h"
#include "tests/unit/ErrorOf.h"

#include <gtest/gtest.h>

namespace pexor {
namespace {

using sim::SimDesktop;

TEST(KeyDownKeyUp, AltTabIsFourExtendedKeyEventsInOrder) {
  SimDesktop desk;
  System sys(desk);
  KeyDown(sys, 164);
  KeyDown(sys, 9);
  KeyUp(sys, 9);
  KeyUp(sys, 164);
  const auto &events = desk.keyEvents();
  ASSERT_EQ(events.size(), 4u);
  const std::uint8_t keys[] = {164, 9, 9, 164};
  const KeyAction press = KeyAction::ExtendedKey;
  const KeyAction release = KeyAction::ExtendedKey | KeyAction::Release;
  const KeyAction flags[] = {press, press, release, release};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(events[i].vk, keys[i]) << i;
    EXPECT_EQ(events[i].scan, 0) << i;
    EXPECT_EQ(events[i].flags, flags[i]) << i;
    EXPECT_EQ(events[i].extra, 0u) << i;
  }
  EXPECT_FALSE(desk.keyDown(164));
  EXPECT_FALSE(desk.keyDown(9));
}

TEST(KeyDownKeyUp, ACodeOutsideAByteOverflowsAndSendsNothing) {
  SimDesktop desk;
  System sys(desk);
  EXPECT_EQ(errorOf([&] { KeyDown(sys, 256); }), err::Overflow);
  EXPECT_EQ(errorOf([&] { KeyDown(sys, -1); }), err::Overflow);
  EXPECT_EQ(errorOf([&] { KeyUp(sys, 1000); }), err::Overflow);
  EXPECT_TRUE(desk.keyEvents().empty());
  KeyDown(sys, 255);
  KeyUp(sys, 0);
  ASSERT_EQ(desk.keyEvents().size(), 2u);
  EXPECT_EQ(desk.keyEvents()[0].vk, 255);
}

TEST(MakeTopmost, TheWindowGoesOnTopAndKeepsItsPlaceAndSize) {
  SimDesktop desk;
  System sys(desk);
  const Hwnd hwnd = desk.openWindow("Other", {30, 40, 330, 240});
  desk.openWindow("Later", {0, 0, 10, 10});
  MakeTopmost(sys, hwnd);
  const auto info = desk.windowInfo(hwnd);
  EXPECT_TRUE(info->topmost);
  EXPECT_EQ(info->rect.left, 30);
  EXPECT_EQ(info->rect.top, 40);
  EXPECT_EQ(info->rect.right, 330);
  EXPECT_EQ(info->rect.bottom, 240);
  EXPECT_EQ(desk.zOrder().front(), hwnd);
  const sim::WindowCall &call = desk.windowCalls().back();
  EXPECT_EQ(call.op, sim::WinOp::SetPos);
  EXPECT_EQ(call.insertAfter, ZOrder::Topmost);
  EXPECT_EQ(call.cx, 0);
  EXPECT_EQ(call.flags, Placement::NoSize | Placement::NoMove);
}

TEST(PutOnTop, TheEmulatorWindowGoesToTheCornerAtAHundredPixelsShown) {
  SimDesktop desk;
  System sys(desk);
  sys.hwndEmulator = desk.openWindow("SDL_app", {200, 300, 840, 780}, false);
  PutOnTop(sys);
  const auto info = desk.windowInfo(sys.hwndEmulator);
  EXPECT_TRUE(info->visible);
  EXPECT_TRUE(info->topmost);
  EXPECT_EQ(info->rect.left, 0);
  EXPECT_EQ(info->rect.top, 0);
  EXPECT_EQ(info->rect.right, 100);
  EXPECT_EQ(info->rect.bottom, 100);
  EXPECT_EQ(desk.windowCalls().back().flags, Placement::ShowWindow);
}

TEST(PutOnTop, AStaleHandleChangesNothing) {
  SimDesktop desk;
  System sys(desk);
  const Hwnd other = desk.openWindow("SDL_app", {5, 5, 50, 50});
  const Hwnd gone = desk.openWindow("SDL_app", {0, 0, 640, 480});
  desk.closeWindow(gone);
  sys.hwndEmulator = gone;
  PutOnTop(sys);
  EXPECT_EQ(desk.windowCalls().back().result, 0u);
  EXPECT_FALSE(desk.windowInfo(other)->topmost);
  EXPECT_EQ(desk.windowInfo(other)->rect.right, 50);
}

TEST(MouseClick, OnTenTwentyFourBySevenSixtyEight) {
  SimDesktop desk;
  desk.setScreen(1024, 768);
  System sys(desk);
  LeftClick1(sys);
  LeftClick2(sys);
  const auto &events = desk.mouseEvents();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].flags, MouseAction::Move | MouseAction::LeftDown | MouseAction::LeftUp |
                                 MouseAction::Absolute);
  EXPECT_EQ(events[0].dx, 6400);
  EXPECT_EQ(events[0].dy, 8533);
  EXPECT_EQ(events[0].data, 0u);
  EXPECT_EQ(events[0].extra, 0u);
  EXPECT_EQ(events[1].flags, events[0].flags);
  EXPECT_EQ(events[1].dx, 9600);
  EXPECT_EQ(events[1].dy, 8533); // only dx differs
  EXPECT_FLOAT_EQ(sys.clickX, static_cast<float>(65535.0 / 15360 * 15 * 150));
}

TEST(MouseClick, OnSixForty) {
  SimDesktop desk;
  desk.setScreen(640, 480);
  System sys(desk);
  LeftClick1(sys);
  EXPECT_EQ(desk.mouseEvents()[0].dx, 10240);
  EXPECT_EQ(desk.mouseEvents()[0].dy, 13653);
}

TEST(MouseClick, OnEightHundredTheExactHalfGoesToEven) {
  SimDesktop desk;
  desk.setScreen(800, 600);
  System sys(desk);
  LeftClick1(sys);
  EXPECT_EQ(sys.clickY, 10922.5f);
  EXPECT_EQ(desk.mouseEvents()[0].dy, 10922);
  EXPECT_EQ(desk.mouseEvents()[0].dx, 8192);
}

TEST(MouseClick, AScreenWithoutSizeRaisesAndClicksNothing) {
  SimDesktop desk;
  desk.setScreen(0, 0);
  System sys(desk);
  EXPECT_EQ(errorOf([&] { LeftClick1(sys); }), 11);
  EXPECT_TRUE(desk.mouseEvents().empty());
}

} // namespace
} // namespace pexor
