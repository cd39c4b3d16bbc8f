#pragma once

#include "platform/Input.h"

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <mutex>
#include <vector>

namespace pexor {

// One key watcher of the port. Each keeps its own record of presses, so a
// press seen by one watcher is not lost to another.
enum class KeyWatcherId : std::uint32_t {};

// What a watcher learns of one key code.
struct KeyReport {
  bool downNow = false;
  bool pressedSince = false; // pressed since this watcher's previous query of the code
  // Let go since that query, as the keyboard told it (the key-state query
  // tells no releases).
  bool releasedSince = false;
  bool any() const { return downNow || pressedSince; }
  // Down as far as anyone can tell: the key-state query may show a key down
  // only a moment after the keyboard has told of its press.
  bool held() const { return downNow || (pressedSince && !releasedSince); }
};

// Presses recorded as they happen, one record per open watcher. One thread
// may record presses while another opens, closes and takes.
class KeyPresses {
public:
  KeyWatcherId open() {
    const std::scoped_lock lock(mutex_);
    const auto id = KeyWatcherId{++lastId_};
    records_.push_back(Record{id, {}, {}});
    return id;
  }

  void close(KeyWatcherId id) {
    const std::scoped_lock lock(mutex_);
    std::erase_if(records_, [id](const Record &r) { return r.id == id; });
  }

  bool empty() const {
    const std::scoped_lock lock(mutex_);
    return records_.empty();
  }

  // The code went down.
  void pressed(int vk) {
    const std::scoped_lock lock(mutex_);
    record(vk);
  }

  // A key went down as a keyboard reports it: a left or right Shift, Ctrl or
  // Alt also counts for the either-side code, and an either-side code for
  // the left key, as the key-state query reports them.
  void keyPressed(int vk) {
    const std::scoped_lock lock(mutex_);
    record(vk);
    notYetQueried(vk);
    const int either = alsoReportedAs(vk);
    record(either);
    notYetQueried(either);
  }

  // The key went up as a keyboard reports it: that code alone, as the
  // either-side code stays down while the other side is.
  void keyReleased(int vk) {
    const std::scoped_lock lock(mutex_);
    record(vk, &Record::released);
  }

  // The system's key-state query says the code went down since anyone last
  // asked it: one answer for the whole desktop, so whichever watcher asks
  // first takes it from all the others. A press the keyboard record above
  // has not reported is recorded for every watcher (a keystroke it missed);
  // one it has is not counted twice. True for a press the keyboard record
  // missed.
  bool queryReportedPress(int vk) {
    if (vk < 0 || vk >= Codes)
      return false;
    const std::scoped_lock lock(mutex_);
    const auto bit = static_cast<std::size_t>(vk);
    if (unqueried_.test(bit)) {
      unqueried_.reset(bit);
      return false;
    }
    record(vk);
    return true;
  }

  // Whether the code was pressed, and let go, since the watcher's previous
  // take of it; the record of that code starts again. Down now is the key
  // state's to tell, not this record's.
  KeyReport take(KeyWatcherId id, int vk) {
    KeyReport report;
    if (vk < 0 || vk >= Codes)
      return report;
    const auto bit = static_cast<std::size_t>(vk);
    const std::scoped_lock lock(mutex_);
    for (Record &r : records_)
      if (r.id == id) {
        report.pressedSince = r.pressed.test(bit);
        report.releasedSince = r.released.test(bit);
        r.pressed.reset(bit);
        r.released.reset(bit);
        break;
      }
    return report;
  }

private:
  static constexpr int Codes = LastKeyCode + 1;

  struct Record {
    KeyWatcherId id;
    std::bitset<Codes> pressed;
    std::bitset<Codes> released;
  };

  void record(int vk, std::bitset<Codes> Record::*bits = &Record::pressed) {
    if (vk < 0 || vk >= Codes)
      return;
    for (Record &r : records_)
      (r.*bits).set(static_cast<std::size_t>(vk));
  }

  void notYetQueried(int vk) {
    if (vk >= 0 && vk < Codes)
      unqueried_.set(static_cast<std::size_t>(vk));
  }

  // The sided codes run left, right for Shift, Ctrl and Alt in turn.
  static int alsoReportedAs(int vk) {
    constexpr int firstSided = code(VirtualKey::LeftShift);
    constexpr int firstEither = code(VirtualKey::Shift);
    if (vk >= firstSided && vk <= code(VirtualKey::RightMenu))
      return firstEither + (vk - firstSided) / 2;
    if (vk >= firstEither && vk <= code(VirtualKey::Menu))
      return firstSided + (vk - firstEither) * 2;
    return -1;
  }

  mutable std::mutex mutex_; // held for a few bit operations: a keystroke may wait on it
  std::vector<Record> records_;
  std::bitset<Codes> unqueried_; // reported by the keyboard, not yet by the key-state query
  std::uint32_t lastId_ = 0;
};

} // namespace pexor
