#include "launcher/Configuration.h"

#include "launcher/ConfText.h"

namespace pexor {

void Configuration::read() {
  show(port_.readFile(confPath));
  loaded = true;
}

void Configuration::write() { port_.replaceFile(confPath, view_.text()); }

bool Configuration::edit(std::string_view key, std::string_view value) {
  if (confText.find(key) == std::string::npos)
    return false;
  show(conf::setValue(confText, key, value));
  return true;
}

void Configuration::show(std::string text) {
  confText = std::move(text);
  view_.setText(confText);
  confResolution = conf::keyValue(confText, conf::ResolutionKey);
  confCycles = conf::keyValue(confText, conf::CyclesKey);
}

} // namespace pexor
