#pragma once

#include "platform/Port.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pexor::contract {

// What a dialog showed: its title and, for a message box, its text.
struct ShownDialog {
  std::string title;
  std::string text;
  bool operator==(const ShownDialog &) const = default;
};

// The port a contract case runs against: the simulated desktop natively, the
// Win32 adapter under Wine. Each build links one definition.
struct PortUnderTest {
  virtual ~PortUnderTest() = default;
  virtual Port &port() = 0;
  // An empty folder of the case's own, without the final backslash.
  virtual std::string scratch() = 0;
  // Lets `ms` of time pass with the port's events delivered (timers, key
  // presses recorded).
  virtual void pass(int ms) = 0;
  // Lets `ms` of time pass with the case's thread busy: nothing is delivered.
  virtual void busy(int ms) = 0;
  virtual Hwnd foreground() = 0;
  // Another thread types `vk` at a person's pace while the case's thread is
  // held for `ms` without delivering the port's events, as a window thread
  // busy switching the display is.
  virtual void typeWhileBusy(int vk, int ms) = 0;
  // The next dialog is answered as a person would: a message box with its
  // OK, the open-file dialog with `file`, or cancelled without one.
  virtual void answerNextDialog(std::optional<std::string> file) = 0;
  // What that dialog showed, once the call that opened it has returned.
  virtual ShownDialog shownDialog() = 0;
  // Another process of this program starts a guardian from a copy of this
  // program's file, releases it or not, and ends; what that guardian learnt,
  // which file it ran from, and whether it ended too.
  struct Guarded {
    std::string programGiven;
    std::string ranFrom;
    std::string ordersGiven;
    std::optional<std::string> ordersSeen;
    bool abandoned = false;
    bool guardianEnded = false;
  };
  virtual Guarded guardedRun(bool release) = 0;
  // A file's read-only flag, as the user's own tools set and read it.
  virtual void setReadOnly(const std::string &path, bool readOnly) = 0;
  virtual bool readOnly(const std::string &path) = 0;
  // The system's ANSI code page.
  virtual int ansiCodePage() = 0;
  // The trace's lines that `action` wrote, as a listener gets them.
  virtual std::vector<std::string> traced(const std::function<void()> &action) = 0;
};

std::unique_ptr<PortUnderTest> makePortUnderTest();

} // namespace pexor::contract
