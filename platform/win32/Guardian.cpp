#include "platform/win32/Text.h"
#include "platform/win32/Win32Port.h"

#include <shellapi.h>

#include <charconv>
#include <cstdint>
#include <memory>

namespace pexor::win32 {

namespace {

// The option the program gives its guardian, followed by the handle of the
// guarded process, the handle of its release event and the orders. Typed by
// hand, its numbers name no handle of the new process: it ends at once.
constexpr const wchar_t *GuardianOption = L"/PexorGuardian";

std::wstring handleNumber(HANDLE handle) {
  return std::to_wstring(reinterpret_cast<std::uintptr_t>(handle));
}

HANDLE handleFrom(std::wstring_view digits) {
  const std::string text = narrow(digits);
  std::uintptr_t value = 0;
  const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (problem != std::errc{} || end != text.data() + text.size())
    return nullptr;
  return reinterpret_cast<HANDLE>(value); // NOLINT(performance-no-int-to-ptr): a handle's number
}

struct LocalFreeDeleter {
  void operator()(wchar_t **argv) const { LocalFree(argv); }
};

} // namespace

// The guardian inherits two handles: this process, to wait for, and an event
// set on release; and the launch job's, if there is one, which it keeps open
// while it works. All are inheritable for that one start only.
bool Win32Port::startGuardian(const std::string &program, const std::string &orders) {
  if (guardianRelease_)
    return true;
  if (orders.find('"') != std::string::npos)
    return false;
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  UniqueHandle release(CreateEventW(&inherited, TRUE, FALSE, nullptr));
  UniqueHandle self;
  DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), self.put(),
                  SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, TRUE, 0);
  if (!release || !self)
    return false;
  const std::wstring file = widen(program);
  std::wstring line = L"\"" + file + L"\" " + GuardianOption + L" " + handleNumber(self.get()) +
                      L" " + handleNumber(release.get()) + L" \"" + widen(orders) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_FORCEOFFFEEDBACK; // no busy cursor for a program without a window
  PROCESS_INFORMATION started{};
  if (launchJob_)
    SetHandleInformation(launchJob_.get(), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  const BOOL created = CreateProcessW(file.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &startup, &started);
  if (launchJob_)
    SetHandleInformation(launchJob_.get(), HANDLE_FLAG_INHERIT, 0);
  if (created == FALSE)
    return false;
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  // The emulator, started later, inherits none of it.
  SetHandleInformation(release.get(), HANDLE_FLAG_INHERIT, 0);
  guardianRelease_ = std::move(release);
  return true;
}

void Win32Port::releaseGuardian() {
  if (guardianRelease_)
    SetEvent(guardianRelease_.get());
  guardianRelease_.reset();
}

std::optional<std::string> Win32Port::guardianOrders() {
  int count = 0;
  const std::unique_ptr<wchar_t *, LocalFreeDeleter> argv(
      CommandLineToArgvW(GetCommandLineW(), &count));
  if (!argv || count != 5 || std::wstring_view(argv.get()[1]) != GuardianOption)
    return std::nullopt;
  HANDLE process = handleFrom(argv.get()[2]);
  HANDLE release = handleFrom(argv.get()[3]);
  // Numbers typed by hand: no process of ours, nothing to guard.
  const DWORD pid = process == nullptr ? 0 : GetProcessId(process);
  if (pid == 0 || pid == GetCurrentProcessId() || release == nullptr)
    return std::nullopt;
  guardedProcess_.reset(process);
  guardedRelease_.reset(release);
  return narrow(argv.get()[4]);
}

bool Win32Port::guardedProcessAbandoned() {
  if (!guardedProcess_ || !guardedRelease_)
    return false;
  const HANDLE both[] = {guardedProcess_.get(), guardedRelease_.get()};
  if (WaitForMultipleObjects(2, both, FALSE, INFINITE) != WAIT_OBJECT_0)
    return false; // released, or nothing to wait for
  return WaitForSingleObject(guardedRelease_.get(), 0) != WAIT_OBJECT_0;
}

} // namespace pexor::win32
