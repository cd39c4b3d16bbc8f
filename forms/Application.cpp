#include "forms/Application.h"

#include "forms/Form.h"

#include <new>
#include <string>

namespace pexor::forms {

Application::~Application() = default;

void Application::dispatch(const std::function<void()> &handler) {
  if (ended_)
    return;
  ++depth_;
  try {
    handler();
  } catch (const Error &e) {
    fail(e.number(), e.description());
  } catch (const std::bad_alloc &) {
    fail(err::OutOfMemory, "Out of memory");
  } catch (const std::exception &e) {
    fail(err::InternalError, std::string("Internal error: ") + e.what());
  }
  --depth_;
  if (depth_ == 0)
    settle();
}

void Application::fail(long number, const std::string &description) {
  if (ended_)
    return;
  // The display is back at the desktop mode before the box shows.
  runFatalCleanup();
  try {
    port_.messageBox("Run-time error '" + std::to_string(number) + "':\n\n" + description, Title,
                     MessageBoxStyle::Error);
  } catch (...) {
    // The box is a courtesy; the cleanup above is what mattered.
  }
  ended_ = true;
  port_.endProgram();
}

void Application::runFatalCleanup() {
  if (cleaningUp_ || !fatalCleanup_)
    return;
  cleaningUp_ = true;
  try {
    fatalCleanup_();
  } catch (...) {
    // Nothing is left to report to.
  }
  cleaningUp_ = false;
}

void Application::retire(std::unique_ptr<Form> form) {
  --loaded_;
  retired_.push_back(std::move(form));
  if (depth_ == 0)
    settle();
}

void Application::settle() {
  retired_.clear();
  if (loaded_ == 0 && !ended_) {
    ended_ = true;
    port_.endProgram();
  }
}

} // namespace pexor::forms
