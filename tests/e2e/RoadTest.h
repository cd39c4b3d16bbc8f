#pragma once

// The game's road as a player plays it: START, the hotkey window's OK, the
// Windows key away to the desktop, START again and the mandatory-action
// window; against the stand-in emulator or the real one.
#include "tests/e2e/LauncherTest.h"

#include <functional>
#include <string>

namespace e2e {

class Road : public LauncherTest {
protected:
  // The display mode of the game: the resolution picked, the configuration's.
  SIZE gameMode{1024, 768};

  // A visible top-level window of the launcher other than Form1.
  HWND guidanceWindow() const {
    for (HWND w : topLevelWindows(launcher.pid()))
      if (w != launcher.window() && windowClass(w) != L"#32770")
        return w;
    return nullptr;
  }

  // The installed copy's emulator's window: other programs' SDL windows may
  // be open beside it.
  HWND emulatorWindow() const { return windowOfProgram(L"SDL_app", emulatorPath()); }

  static bool modeIs(int width, int height) {
    const SIZE mode = currentDisplayMode();
    return mode.cx == width && mode.cy == height;
  }

  std::wstring expectedCommandLine() const {
    return L"\"" + box->installedFile(L"Pexor\\Pexor.exe") + L"\" -exit -fullscreen -conf \"" +
           confPath() + L"\" -noconsole";
  }

  // START, then OK in the hotkey window: the emulator runs full-screen.
  // `atReminder` looks at the hotkey window and its OK before OK is clicked.
  void startGame(const std::function<void(HWND, HWND)> &atReminder = {}) {
    launcher.clickStart();
    HWND form2 = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (form2 = guidanceWindow()) != nullptr; }))
        << "no hotkey window after START";
    const RECT r = screenRect(form2);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 1280);
    EXPECT_EQ(r.bottom, 1024);
    // Hidden by the same handler that showed the hotkey window, maybe a moment later.
    EXPECT_TRUE(waitUntil([&] { return !IsWindowVisible(list1) && !IsWindowVisible(list2); }));

    HWND ok = nullptr;
    for (HWND child : childWindows(form2, L"Button"))
      if (windowText(child) == L"OK")
        ok = child;
    ASSERT_NE(ok, nullptr) << "the hotkey window has no OK";
    if (atReminder)
      atReminder(form2, ok);
    click(centreOf(screenRect(ok)));
    EXPECT_TRUE(waitUntil([this] { return modeIs(gameMode.cx, gameMode.cy); }))
        << "OK did not switch the display";
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(form2) || !IsWindowVisible(form2); }));
    ASSERT_TRUE(waitUntil([&] { return emulatorWindow() != nullptr; }))
        << "the shortcut did not start the emulator";
  }

  // The left Windows key: the launcher minimised, the emulator hidden (when
  // it answers: only its own thread can hide it) and the desktop mode back.
  void goAway(bool emulatorAnswers = true) {
    pressKey(VK_LWIN);
    EXPECT_TRUE(waitUntil([&] { return IsIconic(launcher.window()) != FALSE; }))
        << "the launcher was not minimised";
    if (emulatorAnswers) {
      EXPECT_TRUE(waitUntil([&] { return !IsWindowVisible(emulatorWindow()); }))
          << "the emulator's window was not hidden";
    }
    EXPECT_TRUE(waitUntil([] { return modeIs(1280, 1024); }))
        << "the desktop mode did not come back";
  }

  // A stand-in option (a number of milliseconds), put beside it in the
  // shipped folder before the launcher installs it.
  void standinOption(const wchar_t *name, const char *ms) {
    ASSERT_TRUE(writeBytes(join(box->shipped(), name), ms));
  }

  static bool answers(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 300, &result) != 0;
  }

  // The user brings the launcher back and clicks START again.
  HWND comeBack() {
    ShowWindow(launcher.window(), SW_RESTORE);
    EXPECT_TRUE(waitUntil([&] { return !IsIconic(launcher.window()); }));
    pause(300);
    launcher.clickStart();
    HWND form3 = nullptr;
    EXPECT_TRUE(waitUntil([&] { return (form3 = guidanceWindow()) != nullptr; }))
        << "no mandatory-action window after START";
    EXPECT_TRUE(waitUntil([this] { return modeIs(gameMode.cx, gameMode.cy); }));
    EXPECT_FALSE(IsWindowVisible(launcher.window()));
    return form3;
  }

  // The demo's pictures of the road: with PEXOR_ROAD_PICTURES naming a
  // folder, the whole screen at this step as <name>.png there.
  static void roadPicture(const wchar_t *name) {
    const std::wstring folder = fromEnvironment(L"PEXOR_ROAD_PICTURES");
    if (folder.empty())
      return;
    pause(1000); // drawn
    const SIZE mode = currentDisplayMode();
    EXPECT_TRUE(savePicture(RECT{0, 0, mode.cx, mode.cy}, join(folder, name) + L".png"))
        << "no picture of " << narrow(name);
  }

  // The mandatory-action window has shown the emulator's window and moved it
  // off-screen.
  bool emulatorPlaced() const {
    HWND emulator = emulatorWindow();
    return waitUntil([&] {
      const RECT e = screenRect(emulator);
      return IsWindowVisible(emulator) && e.right <= 0 && e.top == 0;
    });
  }
};

} // namespace e2e
