#include "launcher/Guardian.h"
#include "launcher/Launcher.h"
#include "platform/win32/Libraries.h"
#include "platform/win32/Win32Port.h"

#include "platform/win32/Win32Api.h"

#include <cstdlib>
#include <exception>
#include <optional>
#include <string>

namespace {

// The crash callbacks carry no context: the one application they clean up
// after is kept here while the message loop runs.
pexor::forms::Application *&crashingApp() {
  // NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables): as said above
  static pexor::forms::Application *app = nullptr;
  return app;
}

void cleanUpBeforeDying() {
  if (pexor::forms::Application *app = crashingApp())
    app->runFatalCleanup(); // display mode back, emulators ended
}

LONG WINAPI onUnhandledException(EXCEPTION_POINTERS *) {
  cleanUpBeforeDying();
  return EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  pexor::win32::loadLibrariesFromTheSystemFolderOnly();
  pexor::win32::Win32Port port;
  port.trace("program: started");
  // Started by a launcher to guard it: no window, no COM, only the wait.
  if (const std::optional<std::string> orders = port.guardianOrders()) {
    pexor::runGuardian(port, *orders);
    return 0;
  }
  pexor::Launcher launcher(port);

  crashingApp() = &launcher.app();
  SetUnhandledExceptionFilter(&onUnhandledException);
  std::set_terminate([] {
    cleanUpBeforeDying();
    std::abort();
  });

  // Not started when another launcher runs: that one was brought forward.
  if (launcher.start()) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  crashingApp() = nullptr;
  return 0;
}
