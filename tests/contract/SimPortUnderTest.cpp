#include "tests/contract/PortUnderTest.h"
#include "tests/sim/SimDesktop.h"

namespace pexor::contract {

namespace {

struct SimPortUnderTest : PortUnderTest {
  sim::SimDesktop desk;
  Port &port() override { return desk; }
  std::string scratch() override {
    desk.addFolder("C:\\Contract");
    return "C:\\Contract";
  }
  void pass(int ms) override { desk.advance(ms); }
};

} // namespace

std::unique_ptr<PortUnderTest> makePortUnderTest() { return std::make_unique<SimPortUnderTest>(); }

} // namespace pexor::contract
