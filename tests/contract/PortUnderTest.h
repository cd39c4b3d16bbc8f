#pragma once

#include "platform/Port.h"

#include <memory>
#include <string>

namespace pexor::contract {

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
};

std::unique_ptr<PortUnderTest> makePortUnderTest();

} // namespace pexor::contract
