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
  void busy(int ms) override { desk.busy(ms); }
  Hwnd foreground() override { return desk.foreground(); }
  // The simulated desktop records a press as it is made: no thread of its
  // waits, and no timer is due while the case's thread is held.
  void typeWhileBusy(int vk, int /*ms*/) override { desk.tap(vk); }
  void answerNextDialog(std::optional<std::string> file) override {
    if (file) // with none queued the dialog is cancelled
      desk.queueDialog(std::move(file));
    boxesBefore = desk.messageBoxes().size();
  }
  ShownDialog shownDialog() override {
    if (desk.messageBoxes().size() > boxesBefore)
      return {desk.messageBoxes().back().title, desk.messageBoxes().back().text};
    return desk.dialogs().empty() ? ShownDialog{} : ShownDialog{desk.dialogs().back().title, {}};
  }
  std::size_t boxesBefore = 0;
  void setReadOnly(const std::string &path, bool readOnly) override {
    desk.setReadOnly(path, readOnly);
  }
  bool readOnly(const std::string &path) override { return desk.readOnly(path); }
  int ansiCodePage() override { return desk.ansiCodePage(); }
  std::vector<std::string> traced(const std::function<void()> &action) override {
    const std::size_t before = desk.traceLines().size();
    action();
    std::vector<std::string> lines;
    for (std::size_t i = before; i < desk.traceLines().size(); ++i)
      lines.push_back(desk.traceLines()[i].event);
    return lines;
  }
  // The other process has a desktop of its own: this one's stays as it is.
  Guarded guardedRun(bool release) override {
    sim::SimDesktop other;
    Guarded run;
    run.ordersGiven = "C:\\Contract\\guarded.txt";
    run.programGiven = "C:\\Contract\\Guardian.exe";
    other.startGuardian(run.programGiven, run.ordersGiven);
    run.ranFrom = other.guardianProgramGiven();
    if (release)
      other.releaseGuardian();
    other.asGuardian();
    run.ordersSeen = other.guardianOrders();
    run.abandoned = other.guardedProcessAbandoned();
    run.guardianEnded = true; // it has nothing left to wait for
    return run;
  }
};

} // namespace

std::unique_ptr<PortUnderTest> makePortUnderTest() { return std::make_unique<SimPortUnderTest>(); }

} // namespace pexor::contract
