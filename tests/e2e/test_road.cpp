// The game's road with real input: START, the hotkey window and its OK, the
// emulator started through the shortcut, the Windows key away to the desktop,
// START again and the mandatory-action window, then the two endings.
#include "tests/e2e/RoadTest.h"

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace e2e {
namespace {

TEST_F(Road, PlayAwayBackAndEndWithTheGame) {
  ASSERT_NO_FATAL_FAILURE(open());
  ASSERT_NO_FATAL_FAILURE(startGame());

  const auto log = readBytes(box->installedFile(L"standin.log"));
  ASSERT_TRUE(log) << "the emulator wrote no log";
  EXPECT_EQ(*log, narrow(L"\"" + emulatorPath() + L"\" " + expectedCommandLine()) + "\r\n");
  EXPECT_EQ(processesNamed(L"DOSBox.exe").size(), 1u);

  ASSERT_NO_FATAL_FAILURE(goAway());
  EXPECT_EQ(processesNamed(L"DOSBox.exe").size(), 1u) << "the emulator must keep running";

  // Alt+Enter typed once at a person's pace, five times over the road: away
  // and back, each time accepted at the first try.
  for (int run = 1; run <= 5; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    if (run > 1) {
      ASSERT_NO_FATAL_FAILURE(goAway());
    }
    HWND form3 = comeBack();
    ASSERT_NE(form3, nullptr);
    const RECT r = screenRect(form3);
    EXPECT_EQ(r.right - r.left, 1024);
    EXPECT_EQ(r.bottom - r.top, 768);
    EXPECT_TRUE(emulatorPlaced()) << "the emulator's window was not shown and moved off-screen";

    pressChord({VK_LMENU, VK_RETURN});
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(form3) || !IsWindowVisible(form3); }))
        << "Alt+Enter did not close the mandatory-action window";
    EXPECT_TRUE(launcher.running());
  }

  // The game ends: the emulator's window closes, and the launcher with it.
  PostMessageW(emulatorWindow(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(launcher.waitForExit()) << "the launcher outlived the game";
  EXPECT_TRUE(processesNamed(L"DOSBox.exe").empty());
  EXPECT_TRUE(modeIs(1280, 1024));
}

// Esc tapped once at a person's pace ends everything; five games in a row.
TEST_F(Road, EscInTheMandatoryActionWindowEndsEverything) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  for (int run = 1; run <= 5; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_NO_FATAL_FAILURE(startGame());
    ASSERT_NO_FATAL_FAILURE(goAway());
    ASSERT_NE(comeBack(), nullptr);
    EXPECT_TRUE(emulatorPlaced());

    pressKey(VK_ESCAPE);
    ASSERT_TRUE(launcher.waitForExit()) << "Esc did not end the launcher";
    EXPECT_TRUE(waitUntil([] { return processesNamed(L"DOSBox.exe").empty(); }));
    EXPECT_TRUE(modeIs(1280, 1024));
  }
}

// The program's processes: the launcher, and its guardian beside it under a
// name of its own.
std::size_t programProcesses() {
  return processesNamed(L"PexorLauncher.exe").size() + processesNamed(L"PexorGuardian.exe").size();
}

// Ended from outside, as the task manager's End task does: in the game, away
// on the desktop, and at the hotkey window just after its OK, the display is
// back and no emulator left within two seconds. A normal close leaves no
// process of the program behind.
TEST_F(Road, EndedFromOutsideTheLauncherStillLeavesTheDesktopWhole) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  const auto endedFromOutside = [&](const char *where) {
    EXPECT_EQ(processesNamed(L"PexorGuardian.exe").size(), 1u)
        << where << ": no guardian beside the launcher";
    launcher.kill();
    EXPECT_TRUE(
        waitUntil([] { return modeIs(1280, 1024) && processesNamed(L"DOSBox.exe").empty(); }, 2000))
        << where << ": the desktop was not put back within 2 s";
    EXPECT_TRUE(waitUntil([&] { return programProcesses() == 0; }, 2000))
        << where << ": the guardian outlived its work";
  };

  ASSERT_NO_FATAL_FAILURE(start());
  EXPECT_EQ(programProcesses(), 1u) << "start-up starts no guardian";
  ASSERT_NO_FATAL_FAILURE(startGame());
  ASSERT_TRUE(modeIs(1024, 768));
  ASSERT_NO_FATAL_FAILURE(endedFromOutside("in the game"));

  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_NO_FATAL_FAILURE(startGame());
  ASSERT_NO_FATAL_FAILURE(goAway());
  ASSERT_NO_FATAL_FAILURE(endedFromOutside("away on the desktop"));

  // The display switched by OK, the hotkey window still up, the launch to come.
  ASSERT_NO_FATAL_FAILURE(start());
  launcher.clickStart();
  HWND form2 = nullptr;
  ASSERT_TRUE(waitUntil([&] { return (form2 = guidanceWindow()) != nullptr; }));
  HWND ok = nullptr;
  for (HWND child : childWindows(form2, L"Button"))
    ok = windowText(child) == L"OK" ? child : ok;
  ASSERT_NE(ok, nullptr);
  click(centreOf(screenRect(ok)));
  ASSERT_TRUE(waitUntil([] { return modeIs(1024, 768); }));
  ASSERT_NO_FATAL_FAILURE(endedFromOutside("at the hotkey window"));

  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_NO_FATAL_FAILURE(startGame());
  PostMessageW(emulatorWindow(), WM_CLOSE, 0, 0); // the game ends
  ASSERT_TRUE(launcher.waitForExit());
  EXPECT_TRUE(modeIs(1280, 1024));
  EXPECT_TRUE(waitUntil([&] { return programProcesses() == 0; }, 2000))
      << "a process of the program outlived a normal close";
}

// Every process of the program's name ended at once, as `taskkill /f /im`
// in a script does, in the game and away on the desktop, round after round
// (PEXOR_ROUNDS of each, 3 by default): each time the display is back and no
// emulator left within two seconds.
TEST_F(Road, EndedByItsNameTheDesktopIsStillPutBack) {
  const int asked = std::atoi(narrow(fromEnvironment(L"PEXOR_ROUNDS")).c_str());
  const int Rounds = asked > 0 ? asked : 3;
  ASSERT_NO_FATAL_FAILURE(prepare());
  for (int round = 1; round <= 2 * Rounds; ++round) {
    const bool away = round > Rounds;
    SCOPED_TRACE(std::string(away ? "away, round " : "in the game, round ") +
                 std::to_string(round));
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_NO_FATAL_FAILURE(startGame());
    if (away) {
      ASSERT_NO_FATAL_FAILURE(goAway());
    }
    ASSERT_TRUE(taskkillByName(L"PexorLauncher.exe"));
    EXPECT_TRUE(
        waitUntil([] { return modeIs(1280, 1024) && processesNamed(L"DOSBox.exe").empty(); }, 2000))
        << "the desktop was not put back within 2 s";
    ASSERT_TRUE(waitUntil([&] { return programProcesses() == 0; }, 4000));
  }
}

// Another SDL program and another folder's DOSBox are open through the whole
// road, letters and digits typed into them as a player does beside the game:
// the launcher never touches their windows, sees its own game end and leaves
// the other emulator running; and its trace, read as any program of the
// session may read it, tells no key typed but the launcher's own. Without
// PEXOR_TRACE it tells nothing at all.
TEST_F(Road, OtherProgramsAndWhatIsTypedInThemAreLeftAlone) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  DebugOutputListener listener;
  ASSERT_TRUE(listener.ok()) << "no listener on the debug-output channel";

  SetEnvironmentVariableW(L"PEXOR_TRACE", nullptr);
  ASSERT_NO_FATAL_FAILURE(start());
  launcher.close();
  ASSERT_TRUE(launcher.waitForExit());
  EXPECT_TRUE(listener.lines("pexor ").empty()) << "a trace nobody asked for";

  // Two other programs, each in a folder of its own, with SDL windows.
  const std::wstring standin = join(box->shipped(), L"DOSBox.exe");
  std::vector<Process> others;
  for (const wchar_t *program : {L"Keen\\DOSBox.exe", L"Other\\OtherGame.exe"}) {
    const std::wstring path = join(box->root(), program);
    CreateDirectoryW(path.substr(0, path.find_last_of(L'\\')).c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(standin.c_str(), path.c_str(), FALSE));
    auto process = startProcess(path, L"-noconsole", box->root());
    ASSERT_TRUE(process);
    ASSERT_TRUE(waitUntil([&] { return !topLevelWindows(process->pid, L"SDL_app").empty(); }));
    others.push_back(std::move(*process));
  }
  // Below the launcher's window, clear of where its controls are clicked.
  std::vector<std::pair<HWND, RECT>> windows;
  int left = 20;
  for (const Process &other : others) {
    HWND window = topLevelWindows(other.pid, L"SDL_app").front();
    SetWindowPos(window, nullptr, left, 640, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    left += 600;
    ASSERT_TRUE(waitUntil([&] { return screenRect(window).top == 640; }));
    windows.emplace_back(window, screenRect(window));
  }
  const auto typeIntoAnother = [&](std::initializer_list<WORD> keys) {
    click(centreOf(windows.front().second));
    pause(200);
    for (const WORD vk : keys)
      pressKey(vk);
  };

  SetEnvironmentVariableW(L"PEXOR_TRACE", L"1");
  ASSERT_NO_FATAL_FAILURE(start());
  typeIntoAnother({WORD{'Q'}, WORD{'W'}, WORD{'E'}, WORD{'1'}});
  activateLauncher();
  ASSERT_NO_FATAL_FAILURE(startGame());
  for (const WORD vk : {WORD{'R'}, WORD{'T'}, WORD{'2'}}) // into the game
    pressKey(vk);
  ASSERT_NO_FATAL_FAILURE(goAway());
  typeIntoAnother({WORD{'Y'}, WORD{'U'}, WORD{'3'}});
  HWND form3 = comeBack();
  ASSERT_NE(form3, nullptr);
  EXPECT_TRUE(emulatorPlaced());
  pressChord({VK_LMENU, VK_RETURN});
  ASSERT_TRUE(waitUntil([&] { return !IsWindow(form3) || !IsWindowVisible(form3); }))
      << "Alt+Enter did not close the mandatory-action window";
  PostMessageW(emulatorWindow(), WM_CLOSE, 0, 0); // the game ends
  EXPECT_TRUE(launcher.waitForExit()) << "the end of the launcher's own game was not seen";
  SetEnvironmentVariableW(L"PEXOR_TRACE", nullptr);

  for (std::size_t i = 0; i < others.size(); ++i) {
    EXPECT_TRUE(isRunning(others[i])) << "another program was ended";
    EXPECT_TRUE(IsWindowVisible(windows[i].first)) << "another program's window was hidden";
    const RECT now = screenRect(windows[i].first);
    EXPECT_TRUE(EqualRect(&now, &windows[i].second)) << "another program's window was moved";
  }
  const std::vector<std::string> lines = listener.lines("pexor ");
  bool windowsKeyTold = false;
  for (const std::string &line : lines) {
    windowsKeyTold = windowsKeyTold || line.find("hook: key 91 down") != std::string::npos;
    for (std::size_t at = line.find("key "); at != std::string::npos;
         at = line.find("key ", at + 4)) {
      const int vk = std::atoi(line.c_str() + at + 4);
      // 1000 is the mandatory-action window's "no key".
      EXPECT_TRUE(vk == 0 || vk == 13 || vk == 18 || vk == 27 || vk == 91 || vk == 92 ||
                  vk == 164 || vk == 165 || vk == 1000)
          << "a key the launcher does not act on was told: " << line;
    }
  }
  EXPECT_TRUE(windowsKeyTold) << "the launcher's own keys are told no more (" << lines.size()
                              << " lines)";
  for (Process &other : others)
    TerminateProcess(other.handle.get(), 0);
}

// Neither the Windows key nor closing waits for an emulator that no longer
// answers its messages.
TEST_F(Road, AFrozenEmulatorStillLetsTheUserAwayBackAndOut) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  ASSERT_NO_FATAL_FAILURE(standinOption(L"standin.freeze", "300"));
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_NO_FATAL_FAILURE(startGame());
  HWND emulator = emulatorWindow();
  ASSERT_TRUE(waitUntil([&] { return !answers(emulator); })) << "the stand-in did not freeze";

  ASSERT_NO_FATAL_FAILURE(goAway(false));
  HWND form3 = comeBack();
  ASSERT_NE(form3, nullptr);
  pause(500); // the emulator's window placed, or tried
  ASSERT_NO_FATAL_FAILURE(goAway(false));
  EXPECT_FALSE(IsWindow(form3) && IsWindowVisible(form3));

  launcher.close();
  EXPECT_TRUE(launcher.waitForExit()) << "the launcher did not close";
  EXPECT_TRUE(waitUntil([] { return processesNamed(L"DOSBox.exe").empty(); }));
  EXPECT_TRUE(modeIs(1280, 1024));
}

// The emulator opens its window 3 s after its start: the game goes on.
TEST_F(Road, ASlowEmulatorStartIsWaitedFor) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  ASSERT_NO_FATAL_FAILURE(standinOption(L"standin.delay", "3000"));
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_NO_FATAL_FAILURE(startGame());
  pause(1500);
  EXPECT_TRUE(launcher.running());
  PostMessageW(emulatorWindow(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(launcher.waitForExit()) << "the launcher outlived the game";
  EXPECT_TRUE(modeIs(1280, 1024));
}

// Alt+F4 on the hotkey window: the choices back, the display as it was, and
// START opens the hotkey window again.
TEST_F(Road, TheHotkeyWindowClosedWithAltF4GoesBackToTheChoices) {
  ASSERT_NO_FATAL_FAILURE(open());
  launcher.clickStart();
  HWND form2 = nullptr;
  ASSERT_TRUE(waitUntil([&] { return (form2 = guidanceWindow()) != nullptr; }));
  // The keys go to the active window: the hotkey window, once it is.
  EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == form2; }));
  pause(300);
  pressChord({VK_MENU, VK_F4});
  ASSERT_TRUE(waitUntil([&] { return !IsWindow(form2); })) << "Alt+F4 did not close it";
  EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(list1) && IsWindowVisible(list2); }));
  EXPECT_TRUE(modeIs(1280, 1024));
  EXPECT_TRUE(processesNamed(L"DOSBox.exe").empty());
  EXPECT_TRUE(IsWindowVisible(launcher.window()));

  pause(300);
  ASSERT_NO_FATAL_FAILURE(startGame());
  launcher.close();
  EXPECT_TRUE(launcher.waitForExit());
}

// A broken emulator, then a missing one: each is told in Bulgarian, naming
// it, with the display back at the desktop mode while the box shows; the
// launcher is back at its choices and the next START is a first one.
// A Cyrillic Documents folder on a system whose ANSI code page (1252) has no
// Cyrillic: the emulator, which reads its command line in that code page, is
// started from the short forms of its own path, the game's and the
// configuration's.
using WesternSystem = Road;

TEST_F(WesternSystem, CyrillicDocumentsHandTheEmulatorTheirShortForms) {
  ASSERT_EQ(GetACP(), 1252u) << "not a Western system: LC_ALL=C.UTF-8 and its locale";
  ASSERT_NO_FATAL_FAILURE(open(L"Моите документи"));
  ASSERT_NO_FATAL_FAILURE(startGame());
  const auto shortForm = [](const std::wstring &path) {
    wchar_t buffer[MAX_PATH] = {};
    GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    return L"\"" + std::wstring(buffer) + L"\"";
  };
  const std::wstring game = shortForm(box->installedFile(L"Pexor\\Pexor.exe"));
  EXPECT_EQ(game.find(L'М'), std::wstring::npos) << narrow(game);
  const auto log = readBytes(box->installedFile(L"standin.log"));
  ASSERT_TRUE(log) << "the emulator wrote no log";
  EXPECT_EQ(*log, narrow(shortForm(emulatorPath()) + L" " + game + L" -exit -fullscreen -conf " +
                         shortForm(confPath()) + L" -noconsole") +
                      "\r\n");
  PostMessageW(emulatorWindow(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(launcher.waitForExit()) << "the launcher outlived the game";
}

TEST_F(Road, AnEmulatorThatCannotStartIsToldInBulgarian) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  ASSERT_TRUE(writeBytes(join(box->shipped(), L"DOSBox.exe"), "not a program"));
  ASSERT_NO_FATAL_FAILURE(start());
  const auto startAndOk = [&]() -> std::optional<MessageBoxInfo> {
    launcher.clickStart();
    HWND form2 = nullptr;
    if (!waitUntil([&] { return (form2 = guidanceWindow()) != nullptr; }))
      return std::nullopt;
    for (HWND child : childWindows(form2, L"Button"))
      if (windowText(child) == L"OK")
        click(centreOf(screenRect(child)));
    return waitForMessageBox(launcher.pid());
  };

  auto told = startAndOk();
  ASSERT_TRUE(told) << "a broken emulator was not told";
  EXPECT_EQ(narrow(told->title), "Играта не може да бъде стартирана");
  EXPECT_NE(told->text.find(L"не може да бъде стартиран"), std::wstring::npos)
      << narrow(told->text);
  EXPECT_NE(told->text.find(emulatorPath()), std::wstring::npos) << narrow(told->text);
  EXPECT_TRUE(modeIs(1280, 1024)) << "the box shows at the game's resolution";
  EXPECT_TRUE(pressOk(*told));
  EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(list1) && IsWindowVisible(list2); }));

  // Once the broken emulator's process has let go of its file.
  ASSERT_TRUE(waitUntil([&] { return DeleteFileW(emulatorPath().c_str()) != FALSE; }));
  told = startAndOk();
  ASSERT_TRUE(told) << "a missing emulator was not told";
  EXPECT_EQ(narrow(told->text), narrow(L"Емулаторът DOSBox липсва:\n" + emulatorPath()));
  EXPECT_TRUE(modeIs(1280, 1024));
  EXPECT_TRUE(pressOk(*told));
  EXPECT_TRUE(launcher.running());
}

// On a display at 150 % (the case runs at 144 DPI): the windows are 1.5
// times their size about their places, what is fixed in screen pixels stays,
// and the road works with clicks where the controls are drawn.
class ScaledRoad : public Road {
protected:
  static constexpr double PixelsPerTwip = 144 / 1440.0;

  // The control lies within a pixel of its design rectangle, twips, at the
  // scale, from the origin given in screen pixels; `shorter` pixels less
  // tall may do (a list shows whole items only).
  static void expectDrawnAt(HWND control, double originX, double originY, double left, double top,
                            double width, double height, double shorter = 0) {
    ASSERT_NE(control, nullptr);
    const RECT r = screenRect(control);
    EXPECT_NEAR(r.left, originX + left * PixelsPerTwip, 1.0);
    EXPECT_NEAR(r.top, originY + top * PixelsPerTwip, 1.0);
    EXPECT_NEAR(r.right - r.left, width * PixelsPerTwip, 1.0);
    EXPECT_LE(r.bottom - r.top, height * PixelsPerTwip + 1.0);
    EXPECT_GE(r.bottom - r.top, height * PixelsPerTwip - 1.0 - shorter);
  }
  static double itemHeight(HWND list) {
    return static_cast<double>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
  }
};

TEST_F(ScaledRoad, TheWindowsAtOneAndAHalfTimesTheirSize) {
  ASSERT_NO_FATAL_FAILURE(open());
  ASSERT_EQ(windowDpi(launcher.window()), 144) << "the case needs a display at 144 DPI";
  RECT client{};
  GetClientRect(launcher.window(), &client);
  EXPECT_EQ(client.right, 480);
  EXPECT_EQ(client.bottom, 183);
  POINT origin{0, 0};
  ClientToScreen(launcher.window(), &origin);
  expectDrawnAt(list1, origin.x, origin.y, 120, 120, 975, 1620, itemHeight(list1) + 4);
  expectDrawnAt(list2, origin.x, origin.y, 3720, 120, 975, 1620, itemHeight(list2) + 4);
  expectDrawnAt(launcher.childWithText(L"64 битов Windows"), origin.x, origin.y, 1440, 1080, 2055,
                255);
  expectDrawnAt(launcher.childWithText(L"Избор"), origin.x, origin.y, 1560, 1440, 1455, 255);
  keepPicture(launcher.window(), L"Form1");

  // The hotkey panel centred on the 1280 x 1024 screen; OK within it.
  ASSERT_NO_FATAL_FAILURE(startGame([&](HWND form2, HWND ok) {
    expectDrawnAt(ok, 640 - 6975 / 2.0 * PixelsPerTwip, 512 - 3135 / 2.0 * PixelsPerTwip, 2280,
                  2400, 2175, 255);
    keepPicture(form2, L"Form2");
  }));
  ASSERT_NO_FATAL_FAILURE(goAway());
  HWND form3 = comeBack();
  ASSERT_NE(form3, nullptr);
  const RECT r = screenRect(form3);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 1024);
  EXPECT_EQ(r.bottom, 768);
  EXPECT_TRUE(emulatorPlaced()) << "the emulator's window was not shown and moved off-screen";

  // Alt+Enter: the window stays two seconds more, long enough for its picture.
  pressChord({VK_LMENU, VK_RETURN});
  keepPicture(form3, L"Form3");
  ASSERT_TRUE(waitUntil([&] { return !IsWindow(form3) || !IsWindowVisible(form3); }))
      << "Alt+Enter did not close the mandatory-action window";
  PostMessageW(emulatorWindow(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(launcher.waitForExit()) << "the launcher outlived the game";
  EXPECT_TRUE(modeIs(1280, 1024));
}

} // namespace
} // namespace e2e
