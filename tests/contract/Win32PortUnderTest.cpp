#include "platform/win32/Text.h"
#include "platform/win32/Win32Port.h"
#include "tests/contract/PortUnderTest.h"

#include <objbase.h>

#include <string_view>
#include <thread>

namespace pexor::contract {

namespace {

struct DialogSearch {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK visitWindow(HWND w, LPARAM p) {
  auto &search = *reinterpret_cast<DialogSearch *>(p);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  wchar_t cls[16] = {};
  GetClassNameW(w, cls, 16);
  if (pid != search.pid || !IsWindowVisible(w) || std::wstring_view(cls) != L"#32770")
    return TRUE;
  search.found = w;
  return FALSE;
}

HWND visibleDialogOfThisProcess() {
  DialogSearch search{GetCurrentProcessId(), nullptr};
  EnumWindows(visitWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string textOf(HWND w) {
  wchar_t text[1024] = {};
  GetWindowTextW(w, text, 1024);
  return win32::narrow(text);
}

struct Win32PortUnderTest : PortUnderTest {
  Win32PortUnderTest() { (void)CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  ~Win32PortUnderTest() override { CoUninitialize(); }

  win32::Win32Port adapter;
  Port &port() override { return adapter; }
  std::string scratch() override {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    // Wine may give a later session the same process id: the time tells them apart.
    std::string folder = win32::narrow(temp) + "PexorContract" +
                         std::to_string(GetCurrentProcessId()) + "-" +
                         std::to_string(GetTickCount64());
    CreateDirectoryW(win32::widen(folder).c_str(), nullptr);
    return folder;
  }
  // A thread of its own answers: the dialog holds the case's thread.
  void answerNextDialog(std::optional<std::string> file) override {
    answerer = std::jthread([this, file = std::move(file)] {
      HWND dialog = nullptr;
      for (int i = 0; i < 500 && !dialog; ++i, Sleep(20))
        dialog = visibleDialogOfThisProcess();
      if (!dialog)
        return;
      Sleep(200); // as a person reads it
      shown.title = textOf(dialog);
      if (HWND text = GetDlgItem(dialog, 0xFFFF))
        shown.text = textOf(text);
      if (file) // the file-name box of the open-file dialog
        SetDlgItemTextW(dialog, 0x47C, win32::widen(*file).c_str());
      PostMessageW(dialog, WM_COMMAND,
                   file || GetDlgItem(dialog, IDCANCEL) == nullptr ? IDOK : IDCANCEL, 0);
    });
  }
  ShownDialog shownDialog() override {
    if (answerer.joinable())
      answerer.join();
    return shown;
  }
  ShownDialog shown;
  std::jthread answerer; // after `shown`, which it writes: joined first

  void busy(int ms) override { Sleep(static_cast<DWORD>(ms)); }
  Hwnd foreground() override {
    return static_cast<Hwnd>(reinterpret_cast<ULONG_PTR>(GetForegroundWindow()));
  }
  void typeWhileBusy(int vk, int ms) override {
    const std::jthread typist([vk] {
      Sleep(200);
      keybd_event(static_cast<BYTE>(vk), 0, 0, 0);
      Sleep(60);
      keybd_event(static_cast<BYTE>(vk), 0, KEYEVENTF_KEYUP, 0);
    });
    Sleep(static_cast<DWORD>(ms)); // no message pumped meanwhile
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
