#pragma once

#include "forms/Controls.h"
#include "platform/Port.h"

#include <string>
#include <string_view>

namespace pexor {

// The emulator's configuration file as the launcher keeps it: its path, its
// text as last read or edited, and the two values. Text1 is its view: it
// shows the text, and what is written is what it shows.
class Configuration {
public:
  Configuration(Port &port, forms::TextBox &view) : port_(port), view_(view) {}

  std::string confPath;       // bare
  std::string confText;       // as last read or edited
  std::string confResolution; // after "fullresolution="
  std::string confCycles;     // after "cycles="
  bool loaded = false;        // the text came from the file

  // ProchetiConf: the file's whole text into confText and the view.
  void read();
  // ZapihiConf: the view's text into the file, whole or not at all.
  void write();
  // The working copy with every key + oldValue made key + newValue.
  void edit(std::string_view key, const std::string &oldValue, const std::string &newValue);

private:
  Port &port_;
  forms::TextBox &view_;
};

} // namespace pexor
