// The stand-in emulator itself: the other end-to-end tests read its window
// and its log, so both must be what they rely on.
#include "tests/e2e/Harness.h"

#include <gtest/gtest.h>

namespace e2e {
namespace {

TEST(Standin, OpensItsWindowLogsItsCommandLineAndExitsWhenClosed) {
  Sandbox box;
  ASSERT_TRUE(box.ready()) << box.problem();
  const std::wstring exe = join(box.shipped(), L"DOSBox.exe");
  const std::wstring args = L"\"C:\\Игри\\Pexor.exe\" -exit -noconsole";
  auto process = startProcess(exe, args, box.root());
  ASSERT_TRUE(process);

  std::vector<HWND> windows;
  ASSERT_TRUE(
      waitUntil([&] { return !(windows = topLevelWindows(process->pid, L"SDL_app")).empty(); }));
  EXPECT_EQ(windows.size(), 1u);
  EXPECT_EQ(processesNamed(L"DOSBox.exe").size(), 1u);

  const auto log = readBytes(join(box.shipped(), L"standin.log"));
  ASSERT_TRUE(log);
  EXPECT_EQ(*log, narrow(L"\"" + exe + L"\" " + args) + "\r\n");

  PostMessageW(windows.front(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(waitForExit(*process));
  EXPECT_TRUE(processesNamed(L"DOSBox.exe").empty());
}

TEST(Standin, EachStartAppendsOneLine) {
  Sandbox box;
  ASSERT_TRUE(box.ready()) << box.problem();
  const std::wstring exe = join(box.shipped(), L"DOSBox.exe");
  for (const wchar_t *args : {L"-first", L"-second"}) {
    auto process = startProcess(exe, args, box.root());
    ASSERT_TRUE(process);
    std::vector<HWND> windows;
    ASSERT_TRUE(
        waitUntil([&] { return !(windows = topLevelWindows(process->pid, L"SDL_app")).empty(); }));
    PostMessageW(windows.front(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitForExit(*process));
  }
  const auto log = readBytes(join(box.shipped(), L"standin.log"));
  ASSERT_TRUE(log);
  const std::string quoted = narrow(L"\"" + exe + L"\"");
  EXPECT_EQ(*log, quoted + " -first\r\n" + quoted + " -second\r\n");
}

} // namespace
} // namespace e2e
