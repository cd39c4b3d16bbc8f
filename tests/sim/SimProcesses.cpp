#include "tests/sim/Folding.h"
#include "tests/sim/SimDesktop.h"

#include <vector>

namespace pexor::sim {

std::uint32_t SimDesktop::startProcess(const std::string &program) {
  const std::uint32_t pid = nextPid_;
  nextPid_ += 4;
  const size_t slash = program.rfind('\\');
  processes_[pid] = slash == std::string::npos ? Process{program, ""}
                                               : Process{program.substr(slash + 1), program};
  processes_[pid].launch = launching_ && launchesTied_;
  return pid;
}

bool SimDesktop::isLaunchOfProgram(std::uint32_t pid) {
  const auto it = processes_.find(pid);
  return it != processes_.end() && it->second.alive && it->second.launch;
}

std::string SimDesktop::processImagePath(std::uint32_t pid) {
  if (pid == ProgramPid)
    return programFile();
  const auto it = processes_.find(pid);
  return it != processes_.end() && it->second.alive ? it->second.imagePath : std::string();
}

bool SimDesktop::processRunning(std::uint32_t pid) const {
  const auto it = processes_.find(pid);
  return it != processes_.end() && it->second.alive;
}

int SimDesktop::runningCount(const std::string &imageName) const {
  int count = 0;
  for (const auto &[pid, process] : processes_)
    if (process.alive && sameText(process.imageName, imageName))
      ++count;
  return count;
}

void SimDesktop::makeUnkillable(std::uint32_t pid) { processes_.at(pid).unkillable = true; }
void SimDesktop::makeTerminateThrow(std::uint32_t pid) { processes_.at(pid).throws = true; }
void SimDesktop::exitAfterNextListing(std::uint32_t pid) {
  processes_.at(pid).exitAfterListing = true;
}
void SimDesktop::failProcessListing(bool fail) { failListing_ = fail; }

void SimDesktop::exitProcess(std::uint32_t pid) {
  const auto it = processes_.find(pid);
  if (it == processes_.end() || !it->second.alive)
    return;
  it->second.alive = false;
  std::vector<Hwnd> owned;
  for (const auto &[hwnd, window] : windows_)
    if (window.ownerPid == pid && !window.form)
      owned.push_back(hwnd);
  for (const Hwnd hwnd : owned)
    closeWindow(hwnd);
}

std::vector<ProcessEntry> SimDesktop::listProcesses() {
  if (failListing_)
    throw Error(err::CannotCreateObject, "ActiveX component can't create object");
  std::vector<ProcessEntry> list;
  std::vector<std::uint32_t> leaving;
  for (auto &[pid, process] : processes_) {
    if (!process.alive)
      continue;
    list.push_back(ProcessEntry{pid, process.imageName});
    if (process.exitAfterListing) {
      process.exitAfterListing = false;
      leaving.push_back(pid);
    }
  }
  for (const std::uint32_t pid : leaving)
    exitProcess(pid);
  return list;
}

bool SimDesktop::terminateProcess(std::uint32_t pid) {
  const auto it = processes_.find(pid);
  if (it != processes_.end() && it->second.throws) {
    terminations_.push_back(Termination{pid, false});
    throw Error(err::PermissionDenied, "Permission denied");
  }
  const bool ok = it != processes_.end() && it->second.alive && !it->second.unkillable;
  terminations_.push_back(Termination{pid, ok});
  if (ok)
    exitProcess(pid);
  return ok;
}

bool SimDesktop::claimInstance(const std::string &name, std::function<void()> onAnotherStart) {
  return instances_.emplace(fold(name), std::move(onAnotherStart)).second;
}

void SimDesktop::releaseInstance(const std::string &name) { instances_.erase(fold(name)); }

void SimDesktop::comeForward(const std::string &name) {
  const auto it = instances_.find(fold(name));
  if (it != instances_.end())
    at(now_, it->second);
}

// One guardian at a time: a start while one runs finds it running.
bool SimDesktop::startGuardian(const std::string &program, const std::string &orders) {
  if (guardianStarts_ == 0 || guardianReleased_) {
    ++guardianStarts_;
    guardianProgram_ = program;
    guardianOrders_ = orders;
    guardianReleased_ = false;
  }
  return true;
}

std::optional<std::string> SimDesktop::guardianOrders() {
  if (asGuardian_ && guardianStarts_ > 0)
    return guardianOrders_;
  return std::nullopt;
}

} // namespace pexor::sim
