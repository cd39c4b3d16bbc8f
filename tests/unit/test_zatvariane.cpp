#include "system/Zatvariane.h"
#include "tests/sim/SimDesktop.h"

#include <gtest/gtest.h>

namespace pexor {
namespace {

using sim::SimDesktop;

TEST(CloseAllEmulators, WithNoEmulatorNothingIsTerminated) {
  SimDesktop desk;
  const auto shell = desk.startProcess("explorer.exe");
  System sys(desk);
  CloseAllEmulators(sys);
  EXPECT_TRUE(desk.terminations().empty());
  EXPECT_TRUE(desk.processRunning(shell));
}

TEST(CloseAllEmulators, EveryEmulatorGoesWhateverTheCaseAndWhateverRefuses) {
  SimDesktop desk;
  const auto first = desk.startProcess("DOSBox.exe");
  const auto other = desk.startProcess("notepad.exe");
  const auto unkillable = desk.startProcess("DOSBox.exe");
  const auto gone = desk.startProcess("DOSBox.exe");
  const auto lower = desk.startProcess("dosbox.EXE");
  const auto lookalike = desk.startProcess("DOSBox.exe.old");
  desk.makeUnkillable(unkillable);
  desk.exitAfterNextListing(gone); // ends between the query and its termination
  const Hwnd window = desk.openWindow("SDL_app", {0, 0, 640, 480}, true, first);
  System sys(desk);

  EXPECT_NO_THROW(CloseAllEmulators(sys));

  const auto &calls = desk.terminations();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].pid, first);
  EXPECT_TRUE(calls[0].result);
  EXPECT_EQ(calls[1].pid, unkillable);
  EXPECT_FALSE(calls[1].result);
  EXPECT_EQ(calls[2].pid, gone);
  EXPECT_FALSE(calls[2].result);
  EXPECT_EQ(calls[3].pid, lower);
  EXPECT_TRUE(calls[3].result); // the loop went on past both refusals
  EXPECT_FALSE(desk.windowAlive(window));
  EXPECT_TRUE(desk.processRunning(other));
  EXPECT_TRUE(desk.processRunning(lookalike));
  EXPECT_TRUE(desk.processRunning(unkillable));
  EXPECT_EQ(desk.runningCount("DOSBox.exe"), 1);
}

TEST(CloseAllEmulators, ATerminationThatRaisesDoesNotStopTheLoop) {
  SimDesktop desk;
  const auto bad = desk.startProcess("DOSBox.exe");
  const auto good = desk.startProcess("DOSBox.exe");
  desk.makeTerminateThrow(bad);
  System sys(desk);
  EXPECT_NO_THROW(CloseAllEmulators(sys));
  EXPECT_FALSE(desk.processRunning(good));
}

TEST(CloseAllEmulators, AFailingProcessListEndsQuietly) {
  SimDesktop desk;
  const auto emulator = desk.startProcess("DOSBox.exe");
  desk.failProcessListing(true);
  System sys(desk);
  EXPECT_NO_THROW(CloseAllEmulators(sys));
  EXPECT_TRUE(desk.processRunning(emulator));
  EXPECT_TRUE(desk.terminations().empty());
}

TEST(TerminateOne, AnswersZeroNonZeroOrNothing) {
  SimDesktop desk;
  System sys(desk);
  const auto alive = desk.startProcess("DOSBox.exe");
  const auto stubborn = desk.startProcess("DOSBox.exe");
  const auto broken = desk.startProcess("DOSBox.exe");
  desk.makeUnkillable(stubborn);
  desk.makeTerminateThrow(broken);
  EXPECT_EQ(TerminateOne(sys, {alive, "DOSBox.exe"}), 0L);
  const auto refused = TerminateOne(sys, {stubborn, "DOSBox.exe"});
  ASSERT_TRUE(refused);
  EXPECT_NE(*refused, 0L);
  const auto again = TerminateOne(sys, {alive, "DOSBox.exe"}); // already ended
  ASSERT_TRUE(again);
  EXPECT_NE(*again, 0L);
  EXPECT_FALSE(TerminateOne(sys, {broken, "DOSBox.exe"}));
}

} // namespace
} // namespace pexor
