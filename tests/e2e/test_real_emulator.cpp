// The road against the emulator players run, built from its sources, on a
// small DOS program: it switches the display itself, leaves full-screen and
// minimises itself when it loses the keyboard, toggles on Alt+Enter, and
// ends with its program. Its state is read from its window, its title, the
// display mode and the processes.
#include "tests/e2e/RoadTest.h"

#include <algorithm>
#include <string>

namespace e2e {
namespace {

class RealEmulator : public Road {
protected:
  // Its shipped folder, built beside the stand-in's where the tree builds it.
  void SetUp() override {
    const std::wstring ship = join(exeFolder(), L"ship-real\\DoxPexor");
    if (!folderExists(ship))
      GTEST_SKIP() << "this tree builds no real emulator";
    SetEnvironmentVariableW(L"PEXOR_SHIP", ship.c_str());
  }
  void TearDown() override { SetEnvironmentVariableW(L"PEXOR_SHIP", nullptr); }

  // The emulator names the speed it runs at in its title.
  bool titleNames(const std::wstring &cycles) const {
    return waitUntil([&] {
      HWND emulator = emulatorWindow();
      return emulator != nullptr &&
             windowText(emulator).find(cycles + L" cycles") != std::wstring::npos;
    });
  }

  static std::string foregroundWindow() {
    HWND w = GetForegroundWindow();
    return w == nullptr ? "none"
                        : "\"" + narrow(windowText(w)) + "\" (" + narrow(windowClass(w)) + ")";
  }

  // The keys the DOS program heard, as it records them.
  std::string keysHeard() const {
    return readBytes(box->installedFile(L"Pexor\\KEYS.TXT")).value_or("");
  }
  // From seeing the game to the first key: a quick person's reaction.
  static constexpr DWORD PersonsMomentMs = 250;

  // A key typed as a player types it reaches the game at once: nothing waits
  // for the emulator to be given the keyboard. The player types once the game
  // is on the screen (the emulator's window full-screen at the game's mode),
  // a person's moment later: the emulator drops the keys typed while it sets
  // its video mode (its SDL discards pending input there), which it does for
  // its first frame, after its DOS program has started, and at Alt+Enter.
  void typedKeyReachesTheGame(WORD vk, char heard, const char *when) {
    ASSERT_TRUE(waitUntil([&] {
      HWND emulator = emulatorWindow();
      const RECT r = screenRect(emulator);
      return IsWindowVisible(emulator) && r.left == 0 && r.top == 0 && r.right == gameMode.cx &&
             r.bottom == gameMode.cy;
    })) << "the game is not on the screen "
        << when;
    pause(PersonsMomentMs);
    const std::string before = keysHeard();
    const std::string typedInto = foregroundWindow();
    pressKey(vk);
    EXPECT_TRUE(waitUntil([&] { return keysHeard() == before + heard; }, 3000))
        << "a key typed " << when << " never reached the game; it heard \"" << keysHeard()
        << "\"; typed into " << typedInto << ", the foreground now " << foregroundWindow();
  }

  // Away on the desktop: the emulator's window stays hidden, whatever it does
  // on losing the keyboard, for as long as the player stays away. A moment
  // shown (a tick of the launcher's watch) is allowed; staying shown is not.
  void staysHiddenFor(DWORD ms) const {
    DWORD shownSince = 0;
    DWORD longestShown = 0;
    const DWORD until = GetTickCount() + ms;
    while (static_cast<LONG>(until - GetTickCount()) > 0) {
      const DWORD now = GetTickCount();
      if (IsWindowVisible(emulatorWindow()) == FALSE)
        shownSince = 0;
      else if (shownSince == 0)
        shownSince = now;
      else
        longestShown = std::max(longestShown, now - shownSince);
      pause(10);
    }
    HWND emulator = emulatorWindow();
    const RECT r = screenRect(emulator);
    const std::string state = " (minimised " + std::to_string(IsIconic(emulator)) + ", at " +
                              std::to_string(r.left) + "," + std::to_string(r.top) + " " +
                              std::to_string(r.right - r.left) + "x" +
                              std::to_string(r.bottom - r.top) + ")";
    EXPECT_LT(longestShown, 400u) << "the emulator showed itself while the player was away"
                                  << state;
    EXPECT_FALSE(IsWindowVisible(emulator)) << state;
  }

  // START again, Alt+Enter at a person's pace, accepted at the first try: the
  // mandatory-action window goes and the emulator is full-screen again.
  void backWithAltEnter() {
    HWND form3 = comeBack();
    ASSERT_NE(form3, nullptr);
    EXPECT_TRUE(emulatorPlaced()) << "the emulator's window was not shown and moved off-screen";
    roadPicture(L"5-mandatory-action");
    pressChord({VK_LMENU, VK_RETURN});
    typedKeyReachesTheGame('B', 'b', "right after Alt+Enter");
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(form3) || !IsWindowVisible(form3); }))
        << "Alt+Enter did not close the mandatory-action window";
    EXPECT_TRUE(modeIs(gameMode.cx, gameMode.cy));
    EXPECT_TRUE(launcher.running());
  }

  void expectAllEnded() {
    EXPECT_TRUE(launcher.waitForExit()) << "the launcher outlived the game";
    EXPECT_TRUE(waitUntil([] { return processesNamed(L"DOSBox.exe").empty(); }))
        << "an emulator was left running";
    EXPECT_TRUE(waitUntil([] { return modeIs(1280, 1024); })) << "the desktop mode is not back";
  }
};

// The road as a player plays it: the picks reach the emulator; keys typed
// into the game at once after OK and after Alt+Enter; away, and back with
// Alt+Enter; the game ends from inside and everything closes. The demo plays
// it for its pictures.
TEST_F(RealEmulator, PicksReachItAwayAndBackAndTheGameEndsFromInside) {
  ASSERT_NO_FATAL_FAILURE(open());
  roadPicture(L"1-launcher");
  ASSERT_TRUE(launcher.pickListItem(list1, 1));  // 800x600
  ASSERT_TRUE(launcher.pickListItem(list2, 17)); // 20000
  ASSERT_TRUE(
      confBecomes(withValue(withValue(shippedConf(), "fullresolution=", "1024x768", "800x600"),
                            "cycles=", "12000", "20000")));
  gameMode = SIZE{800, 600};
  ASSERT_NO_FATAL_FAILURE(startGame([](HWND, HWND) { roadPicture(L"2-hotkey-window"); }));
  EXPECT_TRUE(titleNames(L"20000")) << narrow(windowText(emulatorWindow()));
  EXPECT_TRUE(waitUntil([] { return modeIs(800, 600); }));
  ASSERT_TRUE(waitUntil([this] {
    return windowText(emulatorWindow()).find(L"PEXOR") != std::wstring::npos;
  })) << "the DOS program did not start: "
      << narrow(windowText(emulatorWindow()));
  typedKeyReachesTheGame('A', 'a', "right after OK");
  roadPicture(L"3-game");

  ASSERT_NO_FATAL_FAILURE(goAway());
  staysHiddenFor(3000);
  EXPECT_TRUE(modeIs(1280, 1024));
  roadPicture(L"4-desktop-away");
  ASSERT_NO_FATAL_FAILURE(backWithAltEnter());
  roadPicture(L"6-game-again");

  // Esc to the DOS program: it ends, the emulator with it, then the launcher.
  pressKey(VK_ESCAPE);
  EXPECT_TRUE(waitUntil([&] { return keysHeard().ends_with('\x1b'); })) << keysHeard();
  expectAllEnded();
  roadPicture(L"7-desktop-after");
}

// The 64-bit choice plays at 640x480; Esc in the mandatory-action window
// ends everything.
TEST_F(RealEmulator, SixtyFourBitAtSixFortyAndEscEndsEverything) {
  ASSERT_NO_FATAL_FAILURE(open());
  launcher.clickOption2();
  ASSERT_TRUE(waitUntil([&] { return listSelectedText(list1) == L"640x480"; }));
  gameMode = SIZE{640, 480};
  ASSERT_NO_FATAL_FAILURE(startGame());
  EXPECT_TRUE(titleNames(L"12000")) << narrow(windowText(emulatorWindow()));
  ASSERT_NO_FATAL_FAILURE(goAway());
  staysHiddenFor(2000);
  HWND form3 = comeBack();
  ASSERT_NE(form3, nullptr);
  EXPECT_TRUE(emulatorPlaced());
  pressKey(VK_ESCAPE);
  expectAllEnded();
}

bool ascii(const std::wstring &text) {
  return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x80; });
}

// A Documents folder named in Cyrillic on a system whose ANSI code page has
// none (a Bulgarian user name on a Western Windows; Wine under the C locale:
// code page 1252). The emulator reads its command line in that code page: it
// is handed the short forms, in the shortcut too, starts the game, and the
// game hears its keys.
using RealEmulatorWesternSystem = RealEmulator;

TEST_F(RealEmulatorWesternSystem, CyrillicDocumentsStartTheGameWhichHearsItsKeys) {
  ASSERT_EQ(GetACP(), 1252u) << "not a Western system: LC_ALL=C.UTF-8 and its locale";
  ASSERT_NO_FATAL_FAILURE(open(L"Моите документи"));
  const auto link = readShortcut(box->installedFile(L"StartPexor.lnk"));
  ASSERT_TRUE(link) << "no readable StartPexor.lnk";
  EXPECT_TRUE(ascii(link->target) && ascii(link->arguments) && ascii(link->iconPath))
      << narrow(link->target) << " " << narrow(link->arguments);
  wchar_t longTarget[MAX_PATH] = {};
  GetLongPathNameW(link->target.c_str(), longTarget, MAX_PATH);
  EXPECT_TRUE(equalNoCase(longTarget, emulatorPath())) << narrow(longTarget);

  ASSERT_NO_FATAL_FAILURE(startGame());
  EXPECT_TRUE(titleNames(L"12000")) << narrow(windowText(emulatorWindow()));
  ASSERT_TRUE(waitUntil([this] {
    return windowText(emulatorWindow()).find(L"PEXOR") != std::wstring::npos;
  })) << "the DOS program did not start: "
      << narrow(windowText(emulatorWindow()));
  typedKeyReachesTheGame('A', 'a', "right after OK");
  pressKey(VK_ESCAPE);
  EXPECT_TRUE(waitUntil([&] { return keysHeard().ends_with('\x1b'); })) << keysHeard();
  expectAllEnded();
}

} // namespace
} // namespace e2e
