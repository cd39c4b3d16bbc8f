#include "tests/sim/SimDesktop.h"

#include <algorithm>
#include <utility>

namespace pexor::sim {

SimDesktop::SimDesktop() {
  setModes({{640, 480}, {800, 600}, {1024, 768}, {1152, 864}, {1280, 960}, {1280, 1024}});
  setScreen(1280, 1024);
  addFolder("C:\\");
  setExeFolder("C:\\Program Files\\Pexor");
  setSpecialFolder(SpecialFolder::Documents, "C:\\Users\\Иван Петров\\Documents");
}

SimDesktop::~SimDesktop() = default;

void SimDesktop::at(std::int64_t when, std::function<void()> action) {
  actions_.push_back(Action{when, seq_++, std::move(action)});
}

bool SimDesktop::timerRunning(Hwnd form, int timerId) const {
  return timers_.contains({form, timerId});
}

std::optional<std::int64_t> SimDesktop::timerDue(Hwnd form, int timerId) const {
  const auto it = timers_.find({form, timerId});
  if (it == timers_.end())
    return std::nullopt;
  return it->second.due;
}

std::optional<int> SimDesktop::timerInterval(Hwnd form, int timerId) const {
  const auto it = timers_.find({form, timerId});
  if (it == timers_.end())
    return std::nullopt;
  return it->second.interval;
}

void SimDesktop::startTimer(Hwnd form, int timerId, int intervalMs) {
  if (live(form) == nullptr)
    return;
  // As the platform does, a zero or negative interval becomes its minimum.
  const int interval = std::max(intervalMs, 10);
  timers_[{form, timerId}] = TimerSlot{interval, now_ + interval, seq_++};
}

void SimDesktop::stopTimer(Hwnd form, int timerId) { timers_.erase({form, timerId}); }

// Runs the earliest timer or action due no later than `limit`; false when
// there is none.
bool SimDesktop::fireNext(std::int64_t limit) {
  if (ended_)
    return false;
  const TimerSlot *bestTimer = nullptr;
  std::pair<Hwnd, int> timerKey{};
  for (const auto &[key, slot] : timers_) {
    if (slot.due > limit)
      continue;
    if (bestTimer == nullptr || slot.due < bestTimer->due ||
        (slot.due == bestTimer->due && slot.seq < bestTimer->seq)) {
      bestTimer = &slot;
      timerKey = key;
    }
  }
  auto bestAction = actions_.end();
  for (auto it = actions_.begin(); it != actions_.end(); ++it) {
    if (it->when > limit)
      continue;
    if (bestAction == actions_.end() || it->when < bestAction->when ||
        (it->when == bestAction->when && it->seq < bestAction->seq))
      bestAction = it;
  }
  const bool actionFirst =
      bestAction != actions_.end() &&
      (bestTimer == nullptr || bestAction->when < bestTimer->due ||
       (bestAction->when == bestTimer->due && bestAction->seq < bestTimer->seq));
  if (actionFirst) {
    now_ = std::max(now_, bestAction->when);
    std::function<void()> run = std::move(bestAction->run);
    actions_.erase(bestAction);
    run();
    return true;
  }
  if (bestTimer == nullptr)
    return false;

  now_ = std::max(now_, bestTimer->due);
  const std::uint64_t armed = bestTimer->seq;
  FormData *data = formData(timerKey.first);
  if (data == nullptr || data->sink == nullptr) {
    timers_.erase(timerKey);
    return true;
  }
  data->sink->onTimer(timerKey.second);
  // The handler may have stopped or restarted this timer; only an untouched
  // one goes on from its own due time.
  const auto it = timers_.find(timerKey);
  if (it != timers_.end() && it->second.seq == armed) {
    it->second.due += it->second.interval;
    it->second.seq = seq_++;
  }
  return true;
}

void SimDesktop::advance(std::int64_t ms) {
  const std::int64_t target = now_ + std::max<std::int64_t>(ms, 0);
  while (fireNext(target)) {
  }
  now_ = target;
}

void SimDesktop::busy(std::int64_t ms) { now_ += std::max<std::int64_t>(ms, 0); }

bool SimDesktop::advanceUntil(const std::function<bool()> &done, std::int64_t limitMs) {
  const std::int64_t target = now_ + std::max<std::int64_t>(limitMs, 0);
  while (true) {
    if (done())
      return true;
    if (!fireNext(target))
      break;
  }
  now_ = target;
  return done();
}

} // namespace pexor::sim
