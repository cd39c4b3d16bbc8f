// "Избор": another program picked in the open-file dialog names the window.
#include "tests/e2e/LauncherTest.h"

namespace e2e {
namespace {

using Choice = LauncherTest;

// The dialog once it has its caption: it shows a moment before, longer on a
// busy machine.
std::optional<HWND> waitForOpenDialog(DWORD pid) {
  HWND dialog = nullptr;
  if (!waitUntil([&] {
        const auto found = topLevelWindows(pid, L"#32770");
        dialog = found.empty() ? nullptr : found.front();
        return dialog != nullptr && !windowText(dialog).empty();
      }))
    return std::nullopt;
  return dialog;
}

TEST_F(Choice, ChosenFileNamesTheWindowAndCancelKeepsIt) {
  ASSERT_NO_FATAL_FAILURE(open());
  const std::wstring game = box->installedFile(L"Pexor\\Pexor.exe");

  launcher.clickChoice();
  auto dialog = waitForOpenDialog(launcher.pid());
  ASSERT_TRUE(dialog) << "no open-file dialog";
  EXPECT_EQ(narrow(windowText(*dialog)), "Open");
  pause(300);
  typeText(game);
  pressKey(VK_RETURN);
  EXPECT_TRUE(waitUntil([&] { return windowText(launcher.window()) == L"Pexor.exe"; }))
      << "caption: " << narrow(windowText(launcher.window()));

  launcher.clickChoice();
  dialog = waitForOpenDialog(launcher.pid());
  ASSERT_TRUE(dialog);
  pause(300);
  pressKey(VK_ESCAPE);
  EXPECT_TRUE(waitUntil([&] { return topLevelWindows(launcher.pid(), L"#32770").empty(); }));
  EXPECT_EQ(narrow(windowText(launcher.window())), "Pexor.exe");
  EXPECT_TRUE(launcher.running());
}

TEST_F(Choice, CancelledBeforeAnyChoiceKeepsTheCaption) {
  ASSERT_NO_FATAL_FAILURE(open());
  launcher.clickChoice();
  ASSERT_TRUE(waitForOpenDialog(launcher.pid())) << "no open-file dialog";
  pause(300);
  pressKey(VK_ESCAPE);
  EXPECT_TRUE(waitUntil([&] { return topLevelWindows(launcher.pid(), L"#32770").empty(); }));
  EXPECT_EQ(narrow(windowText(launcher.window())), narrow(LauncherCaption));
  EXPECT_TRUE(launcher.running());
}

} // namespace
} // namespace e2e
