#pragma once

#include "platform/Port.h"

namespace pexor {

// A key watcher of the port for as long as this object lives.
class KeyWatcher {
public:
  explicit KeyWatcher(Port &port) : port_(port), id_(port.openKeyWatcher()) {}
  KeyWatcher(const KeyWatcher &) = delete;
  KeyWatcher &operator=(const KeyWatcher &) = delete;
  ~KeyWatcher() { port_.closeKeyWatcher(id_); }

  // Down now, or pressed since this watcher's previous query of the code.
  bool seen(int vk) { return report(vk).any(); }
  KeyReport report(int vk) { return port_.queryKey(id_, vk); }

private:
  Port &port_;
  KeyWatcherId id_;
};

} // namespace pexor
