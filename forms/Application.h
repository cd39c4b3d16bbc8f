#pragma once

#include "platform/Port.h"

#include <functional>
#include <memory>
#include <vector>

namespace pexor::forms {

class Form;

// Runs events one at a time and keeps the forms' lifetimes: a form unloaded
// inside one of its own handlers is freed only after the event has returned,
// and the program ends when no form is left.
class Application {
public:
  explicit Application(Port &port) : port_(port) {}
  Application(const Application &) = delete;
  Application &operator=(const Application &) = delete;
  ~Application();

  Port &port() { return port_; }

  // Runs one handler as the platform would: an error that escapes it is shown
  // with its number and description, the fatal cleanup runs, and the program
  // ends.
  void dispatch(const std::function<void()> &handler);

  // What must happen before any abnormal end: restore the display, end the
  // emulators.
  void setFatalCleanup(std::function<void()> cleanup) { fatalCleanup_ = std::move(cleanup); }
  void runFatalCleanup();

  bool ended() const { return ended_; }
  int loadedForms() const { return loaded_; }

  // Title of the runtime's error box.
  static constexpr const char *Title = "PexorLauncher";

private:
  template <class T> friend class FormSlot;
  void formLoaded() { ++loaded_; }
  void retire(std::unique_ptr<Form> form);
  void settle();
  void fail(long number, const std::string &description);

  Port &port_;
  int depth_ = 0;
  int loaded_ = 0;
  bool ended_ = false;
  bool cleaningUp_ = false;
  std::vector<std::unique_ptr<Form>> retired_;
  std::function<void()> fatalCleanup_;
};

} // namespace pexor::forms
