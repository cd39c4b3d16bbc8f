// Closing the launcher: every emulator ended, the start-up display mode back,
// and the program gone.
#include "tests/e2e/LauncherTest.h"

namespace e2e {
namespace {

using Shutdown = LauncherTest;

// Starts a stand-in emulator by hand and waits for its window.
std::optional<Process> startEmulator(const std::wstring &exe, const std::wstring &folder) {
  auto process = startProcess(exe, L"-noconsole", folder);
  if (process && !waitUntil([&] { return !topLevelWindows(process->pid, L"SDL_app").empty(); }))
    return std::nullopt;
  return process;
}

// The installed copy's emulator ends; a DOSBox.exe from another folder is
// another game, and goes on.
TEST_F(Shutdown, ClosingEndsTheInstalledCopysEmulatorAndRestoresTheDisplay) {
  ASSERT_NO_FATAL_FAILURE(open());
  auto installed = startEmulator(emulatorPath(), box->installed());
  auto other = startEmulator(join(box->shipped(), L"DOSBox.exe"), box->shipped());
  ASSERT_TRUE(installed && other);
  ASSERT_EQ(processesNamed(L"DOSBox.exe").size(), 2u);
  ASSERT_TRUE(setDisplayMode(1024, 768));

  launcher.close();
  ASSERT_TRUE(launcher.waitForExit()) << "the launcher did not end";
  EXPECT_TRUE(waitForExit(*installed));
  EXPECT_FALSE(waitForExit(*other, 1000)) << "another folder's emulator was ended";
  EXPECT_EQ(processesNamed(L"DOSBox.exe").size(), 1u);
  TerminateProcess(other->handle.get(), 0);
  const SIZE mode = currentDisplayMode();
  EXPECT_EQ(mode.cx, 1280);
  EXPECT_EQ(mode.cy, 1024);
}

TEST_F(Shutdown, ClosingWithNoEmulatorRestoresTheStartUpModeQuietly) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  ASSERT_TRUE(setDisplayMode(1152, 864));
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_TRUE(setDisplayMode(800, 600));

  launcher.close();
  // A message box would hold the program open.
  ASSERT_TRUE(launcher.waitForExit()) << "the launcher did not end";
  const SIZE mode = currentDisplayMode();
  EXPECT_EQ(mode.cx, 1152);
  EXPECT_EQ(mode.cy, 864);
}

// Command3 lies below the client area; the keyboard still reaches it.
TEST_F(Shutdown, Command3SwitchTo1024x768IsUndoneOnClose) {
  ASSERT_NO_FATAL_FAILURE(open());
  activateLauncher();
  HWND command3 = launcher.childWithText(L"Command3");
  ASSERT_NE(command3, nullptr);
  for (int i = 0; i < 16 && focusedWindow(launcher.threadId()) != command3; ++i)
    pressKey(VK_TAB);
  ASSERT_EQ(focusedWindow(launcher.threadId()), command3) << "Tab never reached Command3";
  pressKey(VK_SPACE);
  ASSERT_TRUE(waitUntil([] { return currentDisplayMode().cx == 1024; }));
  EXPECT_EQ(currentDisplayMode().cy, 768);

  launcher.close();
  ASSERT_TRUE(launcher.waitForExit());
  EXPECT_EQ(currentDisplayMode().cx, 1280);
  EXPECT_EQ(currentDisplayMode().cy, 1024);
}

} // namespace
} // namespace e2e
