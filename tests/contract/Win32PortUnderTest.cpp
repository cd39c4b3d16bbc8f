#include "platform/win32/Text.h"
#include "platform/win32/Win32Port.h"
#include "tests/contract/PortUnderTest.h"

#include <objbase.h>

namespace pexor::contract {

namespace {

struct Win32PortUnderTest : PortUnderTest {
  Win32PortUnderTest() { (void)CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  ~Win32PortUnderTest() override { CoUninitialize(); }

  win32::Win32Port adapter;
  Port &port() override { return adapter; }
  std::string scratch() override {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    // Wine may give a later session the same process id: the time tells them apart.
    const std::string folder = win32::narrow(temp) + "PexorContract" +
                               std::to_string(GetCurrentProcessId()) + "-" +
                               std::to_string(GetTickCount64());
    CreateDirectoryW(win32::widen(folder).c_str(), nullptr);
    return folder;
  }
  void pass(int ms) override {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
    for (;;) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      const ULONGLONG now = GetTickCount64();
      if (now >= end)
        return;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
  }
};

} // namespace

std::unique_ptr<PortUnderTest> makePortUnderTest() {
  return std::make_unique<Win32PortUnderTest>();
}

} // namespace pexor::contract
