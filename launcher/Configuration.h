#pragma once

#include "forms/Controls.h"
#include "platform/Port.h"

#include <string>
#include <string_view>

namespace pexor {

// The emulator's configuration file as the launcher keeps it: its path, its
// text as last read, and the two values that text holds. Text1 is its view:
// it shows the text, and what is written is what it shows.
class Configuration {
public:
  Configuration(Port &port, forms::TextBox &view) : port_(port), view_(view) {}

  std::string confPath;       // bare
  std::string confText;       // as last read or edited
  std::string confResolution; // after "fullresolution=" in confText
  std::string confCycles;     // after "cycles=" in confText
  bool loaded = false;        // the text came from the file

  // ProchetiConf: the file's whole text, shown. Raises.
  void read();
  // ZapihiConf: the view's text into the file, whole or not at all. Raises.
  void write();
  // Puts `value` in place of the one value found after the key; false, and
  // nothing changed, when the text has no such key.
  bool edit(std::string_view key, std::string_view value);
  // Takes the text as the one last read (a failed write puts it back).
  void show(std::string text);

private:
  Port &port_;
  forms::TextBox &view_;
};

} // namespace pexor
