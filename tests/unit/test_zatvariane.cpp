#include "system/Zatvariane.h"
#include "tests/sim/SimDesktop.h"

#include <gtest/gtest.h>

namespace pexor {
namespace {

using sim::SimDesktop;

constexpr const char *Installed = "C:\\Docs\\DoxPexor\\DOSBox.exe";

// The launcher's state once it has installed into C:\Docs.
struct Installation {
  explicit Installation(SimDesktop &desk) : sys(desk) {
    sys.pathDocuments = "C:\\Docs";
    sys.pathEmulator = std::string("\"") + Installed + "\"";
  }
  System sys;
};

TEST(CloseAllEmulators, WithNoEmulatorNothingIsTerminated) {
  SimDesktop desk;
  const auto shell = desk.startProcess("C:\\Windows\\explorer.exe");
  Installation installed(desk);
  CloseAllEmulators(installed.sys);
  EXPECT_TRUE(desk.terminations().empty());
  EXPECT_TRUE(desk.processRunning(shell));
}

// The installed copy's emulators go, by their path in any case or by the
// form the shortcut was given; another folder's DOSBox.exe, another
// program, and a process whose program cannot be read are left alone.
TEST(CloseAllEmulators, EveryEmulatorOfTheInstalledCopyGoesWhateverRefuses) {
  SimDesktop desk;
  const auto first = desk.startProcess(Installed);
  const auto other = desk.startProcess("C:\\Windows\\notepad.exe");
  const auto unkillable = desk.startProcess(Installed);
  const auto gone = desk.startProcess(Installed);
  const auto lower = desk.startProcess("c:\\docs\\doxpexor\\dosbox.EXE");
  const auto lookalike = desk.startProcess("C:\\Docs\\DoxPexor\\DOSBox.exe.old");
  const auto anotherGame = desk.startProcess("D:\\Games\\Keen\\DOSBox.exe");
  const auto unreadable = desk.startProcess("DOSBox.exe");
  const auto launched = desk.startProcess("C:\\Docs\\DOXPEX~1\\DOSBox.exe");
  desk.makeUnkillable(unkillable);
  desk.exitAfterNextListing(gone); // ends between the query and its termination
  const Hwnd window = desk.openWindow("SDL_app", {0, 0, 640, 480}, true, first);
  const Hwnd anotherWindow = desk.openWindow("SDL_app", {0, 0, 640, 480}, true, anotherGame);
  Installation installed(desk);
  installed.sys.pathEmulator = "\"C:\\Docs\\DOXPEX~1\\DOSBox.exe\"";

  EXPECT_NO_THROW(CloseAllEmulators(installed.sys));

  const auto &calls = desk.terminations();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].pid, first);
  EXPECT_TRUE(calls[0].result);
  EXPECT_EQ(calls[1].pid, unkillable);
  EXPECT_FALSE(calls[1].result);
  EXPECT_EQ(calls[2].pid, lower);
  EXPECT_TRUE(calls[2].result); // the loop went on past the refusal
  EXPECT_EQ(calls[3].pid, launched);
  EXPECT_TRUE(calls[3].result);
  EXPECT_FALSE(desk.processRunning(gone));
  EXPECT_FALSE(desk.windowAlive(window));
  EXPECT_TRUE(desk.windowAlive(anotherWindow));
  for (const auto pid : {other, lookalike, anotherGame, unreadable, unkillable})
    EXPECT_TRUE(desk.processRunning(pid)) << pid;
}

TEST(CloseAllEmulators, ATerminationThatRaisesDoesNotStopTheLoop) {
  SimDesktop desk;
  const auto bad = desk.startProcess(Installed);
  const auto good = desk.startProcess(Installed);
  desk.makeTerminateThrow(bad);
  Installation installed(desk);
  EXPECT_NO_THROW(CloseAllEmulators(installed.sys));
  EXPECT_FALSE(desk.processRunning(good));
}

TEST(CloseAllEmulators, AFailingProcessListEndsQuietly) {
  SimDesktop desk;
  const auto emulator = desk.startProcess(Installed);
  desk.failProcessListing(true);
  Installation installed(desk);
  EXPECT_NO_THROW(CloseAllEmulators(installed.sys));
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
