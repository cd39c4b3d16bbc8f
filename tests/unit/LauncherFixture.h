#pragma once

#include "launcher/Launcher.h"
#include "tests/sim/SimDesktop.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

namespace pexor::test {

// The shipped configuration the tests start from: CR LF lines, comments, the
// two keys in their sections and bytes above 127.
inline const std::string StandardConf = "# DOSBox configuration \xE8\xE7\xE1\xEE\xF0\r\n"
                                        "[sdl]\r\n"
                                        "fullscreen=false\r\n"
                                        "fullresolution=1280x960\r\n"
                                        "output=surface\r\n"
                                        "\r\n"
                                        "[cpu]\r\n"
                                        "core=auto\r\n"
                                        "cycles=12000\r\n"
                                        "cycleup=500\r\n";

// The whole program over a simulated desktop, beside a shipped folder.
class LauncherTest : public ::testing::Test {
protected:
  static constexpr const char *ExeFolder = "C:\\Program Files\\Pexor";
  const std::string docs = "C:\\Users\\\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD "
                           "\xD0\x9F\xD0\xB5\xD1\x82\xD1\x80\xD0\xBE\xD0\xB2\\Documents";

  static std::string shipped(const std::string &relative) {
    return std::string(ExeFolder) + "\\DoxPexor\\" + relative;
  }
  std::string installed(const std::string &relative) const {
    return docs + "\\DoxPexor\\" + relative;
  }

  void ship(const std::string &conf = StandardConf) {
    desk.setExeFolder(ExeFolder);
    desk.setSpecialFolder(SpecialFolder::Documents, docs);
    desk.addFile(shipped("DOSBox.exe"), "MZ emulator");
    desk.addFile(shipped("dosbox-0.73.conf"), conf);
    desk.addFile(shipped("Pexor\\Pexor.exe"), "MZ game");
  }

  void start() {
    launcher = std::make_unique<Launcher>(desk);
    launcher->start();
  }
  // The moment after the window's first paint, when the start shortcut is made.
  void afterFirstPaint() { desk.advance(10); }

  Form1 &form1() {
    Form1 *form = launcher->form1();
    if (form == nullptr)
      throw std::logic_error("Form1 is not loaded");
    return *form;
  }
  Hwnd f1() const { return desk.form("Form1"); }
  std::string installedConf() const { return desk.fileBytes(installed("dosbox-0.73.conf")); }

  // The launcher window as the desktop shows it, and the game size the
  // guidance windows are given.
  ControlView shown(const std::string &name) const { return desk.control(f1(), name); }
  std::string picked(const std::string &list) const {
    const ControlView view = shown(list);
    return view.items.at(static_cast<size_t>(view.listIndex)); // throws when none is
  }
  std::string caption() const { return desk.formInfo(f1())->caption; }
  std::pair<int, int> gameSize() { return {form1().gameWidth(), form1().gameHeight()}; }

  sim::SimDesktop desk;
  std::unique_ptr<Launcher> launcher;
};

} // namespace pexor::test
