#include "platform/win32/Text.h"
#include "platform/win32/Win32Port.h"
#include "tests/contract/PortUnderTest.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shellapi.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace pexor::contract {

namespace {

// This program started again as a process that starts a guardian.
constexpr const wchar_t *GuardedOption = L"/ContractGuarded";

void freeArguments(wchar_t **argv) { LocalFree(argv); }

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

  void setReadOnly(const std::string &path, bool readOnly) override {
    SetFileAttributesW(win32::widen(path).c_str(),
                       readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
  }
  bool readOnly(const std::string &path) override {
    const DWORD attributes = GetFileAttributesW(win32::widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  }
  int ansiCodePage() override { return static_cast<int>(GetACP()); }

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

  // A listener of the process's own: the narrow debug string is raised as an
  // exception, which a vectored handler sees before anyone else.
  std::vector<std::string> traced(const std::function<void()> &action) override {
    heard().clear();
    void *listener = AddVectoredExceptionHandler(1, &hearDebugString);
    action();
    RemoveVectoredExceptionHandler(listener);
    return heard();
  }
  static std::vector<std::string> &heard() {
    static std::vector<std::string> lines; // the handler carries no context
    return lines;
  }
  static LONG CALLBACK hearDebugString(EXCEPTION_POINTERS *exception) {
    const EXCEPTION_RECORD &record = *exception->ExceptionRecord;
    if (record.ExceptionCode == DBG_PRINTEXCEPTION_C && record.NumberParameters >= 2)
      heard().emplace_back(reinterpret_cast<const char *>(record.ExceptionInformation[1]));
    return EXCEPTION_CONTINUE_SEARCH;
  }

  // This program again, as the guarded process (see main), with a copy of
  // its file for the guardian; the guardian writes what it learnt into the
  // file its orders name.
  Guarded guardedRun(bool release) override {
    Guarded run;
    const std::string folder = scratch();
    run.ordersGiven = folder + "\\guardian.txt";
    run.programGiven = folder + "\\PexorContractGuardian.exe";
    const std::wstring program = win32::thisProgramPath();
    if (CopyFileW(program.c_str(), win32::widen(run.programGiven).c_str(), FALSE) == FALSE)
      return run;
    std::wstring line = L"\"" + program + L"\" " + GuardedOption +
                        (release ? L" release" : L" end") + L" \"" + win32::widen(run.ordersGiven) +
                        L"\" \"" + win32::widen(run.programGiven) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &child) == FALSE)
      return run;
    WaitForSingleObject(child.hProcess, 10000);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    const std::wstring file = win32::widen(run.ordersGiven);
    std::string said;
    for (int i = 0; i < 250 && said.empty(); ++i, Sleep(20))
      said = readAll(file);
    if (said.empty())
      return run;
    const auto bar = said.find('|');
    const auto second = said.find('|', bar + 1);
    run.abandoned = said.substr(0, bar) == "abandoned";
    if (second != std::string::npos) {
      run.ranFrom = said.substr(bar + 1, second - bar - 1);
      run.ordersSeen = said.substr(second + 1);
    }
    for (int i = 0; i < 150 && !run.guardianEnded; ++i, Sleep(20))
      run.guardianEnded = running("PexorContractGuardian.exe") == 0;
    return run;
  }

  static std::string readAll(const std::wstring &path) {
    win32::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
    char bytes[512] = {};
    DWORD got = 0;
    if (!file || ReadFile(file.get(), bytes, sizeof bytes, &got, nullptr) == FALSE)
      return {};
    return std::string(bytes, got);
  }

  int running(const std::string &name) {
    int copies = 0;
    for (const ProcessEntry &process : adapter.listProcesses())
      copies += process.imageName == name ? 1 : 0;
    return copies;
  }
};

} // namespace

// The guarded process and its guardian, both this program started again.
int guardedOrGuardian() {
  win32::Win32Port port;
  if (const std::optional<std::string> orders = port.guardianOrders()) {
    const std::string said = (port.guardedProcessAbandoned() ? "abandoned|" : "released|") +
                             port.programFile() + "|" + *orders;
    win32::UniqueFile file(CreateFileW(win32::widen(*orders).c_str(), GENERIC_WRITE, 0, nullptr,
                                       CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), said.data(), static_cast<DWORD>(said.size()), &written, nullptr);
    return 0;
  }
  int count = 0;
  std::unique_ptr<wchar_t *, decltype(&freeArguments)> argv(
      CommandLineToArgvW(GetCommandLineW(), &count), &freeArguments);
  if (!argv || count != 5 || std::wstring_view(argv.get()[1]) != GuardedOption)
    return -1;
  port.startGuardian(win32::narrow(argv.get()[4]), win32::narrow(argv.get()[3]));
  if (std::wstring_view(argv.get()[2]) == L"release")
    port.releaseGuardian();
  return 0; // ends without a word to the guardian otherwise
}

std::unique_ptr<PortUnderTest> makePortUnderTest() {
  return std::make_unique<Win32PortUnderTest>();
}

} // namespace pexor::contract

// The cases, unless this run is one of the processes above.
int main(int argc, char **argv) {
  if (const int other = pexor::contract::guardedOrGuardian(); other >= 0)
    return other;
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
