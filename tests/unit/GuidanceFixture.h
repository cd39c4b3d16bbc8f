#pragma once

#include "forms/Application.h"
#include "forms/Form.h"
#include "guidance/Form2.h"
#include "guidance/Form3.h"
#include "guidance/LauncherLink.h"
#include "system/System.h"
#include "tests/sim/SimDesktop.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pexor::test {

// The launcher as the guidance windows see it, recording what they ask of it.
class FakeLauncher : public LauncherLink {
public:
  std::int32_t width = 1024;
  std::int32_t height = 768;
  std::string caption = "DOS program";
  std::vector<std::string> calls;
  std::function<void()> onCall; // runs at each call, after it is recorded
  std::function<void()> onClose;

  std::int32_t gameWidth() const override { return width; }
  std::int32_t gameHeight() const override { return height; }
  std::string launcherCaption() const override { return caption; }
  void lookUpEmulatorWindow() override { record("lookUpEmulatorWindow"); }
  void watchForGameOver() override { record("watchForGameOver"); }
  void closeLauncher() override {
    record("closeLauncher");
    if (onClose)
      onClose();
  }
  void emulatorStarting() override { record("emulatorStarting"); }
  void reminderDismissed(bool displaySwitched) override {
    record(displaySwitched ? "reminderDismissed(switched)" : "reminderDismissed");
  }
  void launchFailed(const std::string &text) override {
    told.push_back(text);
    record("launchFailed");
  }
  std::vector<std::string> told;

private:
  void record(const std::string &call) {
    calls.push_back(call);
    if (onCall)
      onCall();
  }
};

// Form2 and Form3 over a simulated desktop, with a plain keeper form loaded
// so that closing a guidance window does not end the program.
class GuidanceTest : public ::testing::Test {
protected:
  static constexpr const char *Docs = "C:\\Users\\Иван Петров\\Documents";

  GuidanceTest() {
    sys.pathDocuments = Docs;
    sys.pathEmulator = std::string("\"") + Docs + "\\DoxPexor\\DOSBox.exe\"";
    sys.pathInstall = std::string(Docs) + "\\DoxPexor\\";
    sys.pathGame = std::string("\"") + Docs + "\\DoxPexor\\Pexor\\Pexor.exe\"";
    sys.pathConf = std::string("\"") + Docs + "\\DoxPexor\\dosbox-0.73.conf\"";
    desk.addFile(sys.pathInstall + "DOSBox.exe", "MZ emulator");
    desk.addFile(sys.pathInstall + "Pexor\\Pexor.exe", "MZ game");
    app.setFatalCleanup([this] { ++fatalCleanups; });
    launcher.onClose = [this] {
      // What the launcher's shutdown does to the guidance windows.
      form2.unload();
      form3.unload();
    };
    app.dispatch([this] { keeper.show(); });
  }

  // As the launcher shows a guidance window: from inside an event.
  void openForm2() {
    app.dispatch([this] { form2.show(); });
  }
  void openForm3() {
    app.dispatch([this] { form3.show(); });
  }
  void closeKeeper() {
    app.dispatch([this] { keeper.unload(); });
  }

  Hwnd hForm2() const { return desk.form("Form2"); }
  Hwnd hForm3() const { return desk.form("Form3"); }
  std::string text(Hwnd form, const std::string &control) const {
    return desk.control(form, control).text;
  }
  bool shown(Hwnd form, const std::string &control) const {
    return desk.control(form, control).visible;
  }

  sim::SimDesktop desk;
  System sys{desk};
  forms::Application app{desk};
  FakeLauncher launcher;
  int fatalCleanups = 0;
  forms::FormSlot<forms::Form> keeper{
      app, [this] {
        return std::make_unique<forms::Form>(app, FormView{"Keeper", "Keeper"});
      }};
  forms::FormSlot<Form2> form2{app, [this] { return std::make_unique<Form2>(app, sys, launcher); }};
  forms::FormSlot<Form3> form3{app, [this] { return std::make_unique<Form3>(app, sys, launcher); }};
};

} // namespace pexor::test
