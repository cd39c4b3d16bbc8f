#include "launcher/Configuration.h"

#include "launcher/ConfText.h"

namespace pexor {

void Configuration::read() {
  confText = port_.readFile(confPath);
  view_.setText(confText);
  loaded = true;
}

void Configuration::write() { port_.replaceFile(confPath, view_.text()); }

void Configuration::edit(std::string_view key, const std::string &oldValue,
                         const std::string &newValue) {
  confText = conf::replaceValue(view_.text(), key, oldValue, newValue);
  view_.setText(confText);
}

} // namespace pexor
