#include "platform/win32/Text.h"
#include "platform/win32/Win32Port.h"

namespace pexor::win32 {

namespace {

// A message-only window of this class, named after the instance, is where a
// later start finds the running one.
constexpr const wchar_t *InstanceClass = L"PexorInstance";
constexpr UINT ComeForwardMessage = WM_APP + 1;

LRESULT CALLBACK instanceProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == ComeForwardMessage) {
    if (auto *port = reinterpret_cast<Win32Port *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)))
      port->anotherStart();
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

// The mutex lives in the session's namespace: one per user session.
bool Win32Port::claimInstance(const std::string &name, std::function<void()> onAnotherStart) {
  const std::wstring wide = widen(name);
  instanceMutex_.reset(CreateMutexW(nullptr, FALSE, (L"Local\\" + wide).c_str()));
  if (instanceMutex_ && GetLastError() == ERROR_ALREADY_EXISTS) {
    instanceMutex_.reset();
    return false;
  }
  HINSTANCE module = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &instanceProc;
  windowClass.hInstance = module;
  windowClass.lpszClassName = InstanceClass;
  RegisterClassExW(&windowClass);
  instanceWindow_.reset(CreateWindowExW(0, InstanceClass, wide.c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE,
                                        nullptr, module, nullptr));
  if (instanceWindow_)
    SetWindowLongPtrW(instanceWindow_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  onAnotherStart_ = std::move(onAnotherStart);
  return true;
}

// Posted, never sent; the running one may take the foreground from this
// start, which the user has just made.
void Win32Port::comeForward(const std::string &name) {
  HWND running = FindWindowExW(HWND_MESSAGE, nullptr, InstanceClass, widen(name).c_str());
  if (running == nullptr)
    return;
  DWORD pid = 0;
  GetWindowThreadProcessId(running, &pid);
  AllowSetForegroundWindow(pid);
  PostMessageW(running, ComeForwardMessage, 0, 0);
}

void Win32Port::releaseInstance(const std::string &) {
  instanceWindow_.reset();
  instanceMutex_.reset();
  onAnotherStart_ = nullptr;
}

void Win32Port::anotherStart() {
  enterMessage();
  struct Leave {
    Win32Port &port;
    ~Leave() { port.leaveMessage(); }
  } leave{*this};
  if (onAnotherStart_)
    onAnotherStart_();
}

} // namespace pexor::win32
