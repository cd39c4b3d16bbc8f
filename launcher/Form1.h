#pragma once

#include "forms/Form.h"
#include "guidance/Form2.h"
#include "guidance/Form3.h"
#include "guidance/LauncherLink.h"
#include "launcher/Configuration.h"
#include "launcher/InstallCopy.h"
#include "platform/KeyWatcher.h"
#include "system/InstalledCopy.h"
#include "system/System.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pexor {

// The launcher window: installation, configuration file, start sequence,
// bitness choice, layout and the one shutdown path.
class Form1 : public forms::Form, public LauncherLink {
public:
  Form1(forms::Application &app, System &sys, forms::FormSlot<Form2> &form2,
        forms::FormSlot<Form3> &form3);

  // Public variables, read by the guidance windows.
  std::int32_t hirinaGame = 0;
  std::int32_t visochinaGame = 0;

  // Public methods.
  void ZapisResol();
  void ProchetiConf();
  void ZapihiConf();
  void Command2_Click();

  // The work of Form_Unload: emulators ended, guidance windows closed, the
  // start-up display mode back. Also what runs before an abnormal end.
  void shutdown();

  // LauncherLink
  std::int32_t gameWidth() const override { return hirinaGame; }
  std::int32_t gameHeight() const override { return visochinaGame; }
  std::string launcherCaption() const override { return caption(); }
  void lookUpEmulatorWindow() override { Timer2.setEnabled(true); }
  void watchForGameOver() override { Timer5.setEnabled(true); }
  void closeLauncher() override { unload(); }
  void emulatorStarting() override;
  void reminderDismissed(bool displaySwitched) override;
  void launchFailed(const std::string &text) override;

  // Controls, in z-order, bottom first.
  forms::ListBox List1;
  forms::ListBox List2;
  forms::OptionButton Option1;
  forms::OptionButton Option2;
  forms::Image Image1;
  forms::Label Label3;
  forms::Label Label2;
  forms::CommandButton Command4;
  forms::TextBox Text1;
  forms::CommandButton Command3;
  forms::CommandButton Command1;
  forms::CommandButton Command2;
  forms::Label Label1;
  forms::Timer Timer1;
  forms::Timer Timer2;
  forms::Timer Timer3;
  forms::Timer Timer5;

  // The configuration file; Text1 shows its text.
  Configuration config;

  // Form1's own variables.
  std::int32_t desktopWidth = 0;
  std::int32_t desktopHeight = 0;
  // The desktop's whole mode at start-up (size, depth, rate), when it could
  // be read: the display goes back to it.
  DisplayMode desktopMode{};
  bool desktopModeRead = false;
  std::int32_t pickedWidth = 0;
  std::int32_t pickedHeight = 0;
  std::int16_t acceptedResolutionIndex = 0;

protected:
  void Form_Load() override;
  void Form_Unload() override;
  void Form_Resize() override;

private:
  // Start sequence and timers.
  void Label2_Click();
  void Label3_Click();
  void Command1_Click();
  void Timer1_Timer();
  void Timer2_Timer();
  void Timer3_Timer();
  void Timer5_Timer();

  // Secondary controls.
  void Command3_Click();
  void Command4_Click();
  void List1_MouseUp();
  void List2_Click();

  // Bitness.
  void Option1_Click();
  void Option2_Click();

  // While Form_Load runs: the List2 walk writes once at its end, and the
  // user is told at most once.
  bool startingUp_ = false;
  bool toldAtStartUp_ = false;
  // The lists are being set to what the file holds: List2_Click writes nothing.
  bool showingFile_ = false;
  // The last key scan found a key down or pressed: scan again.
  bool keysReported_ = true;
  // The emulator watch: emulator processes that ran before this run's
  // launch, whether this run's window was shown, and windowless ticks so far.
  std::vector<std::uint32_t> emulatorsBefore_;
  bool emulatorWindowShown_ = false;
  int windowlessTicks_ = 0;
  // The player is on the desktop: from the emulator hidden to START again.
  bool playerAway_ = false;
  void keepEmulatorHidden();
  void noteEmulatorWindowShown();
  bool thisRunsEmulatorAlive();
  // Set once shutdown begins: the guidance windows it closes change nothing.
  bool closing_ = false;
  void guardDesktop();
  void restoreDesktop();
  // A pick edits the file as it is on disk now and writes it whole; a
  // failure is told and leaves the file as it was. The lists then show what
  // the file holds.
  void applyPick(std::string_view key, const std::string &value);
  void showFile();
  // hirinaGame x visochinaGame from the resolution List1 shows. Raises.
  void takeGameSize();
  void reportConfFailure(const Error &error, bool writing);
  void tellInstallFailure(const CopyFailure &failure, const InstalledCopy &installed);
  // A message box, with the display back at the desktop mode first.
  void tell(const std::string &text, const std::string &title);

  System &sys_;
  forms::FormSlot<Form2> &form2_;
  forms::FormSlot<Form3> &form3_;
  KeyWatcher keys_; // the key watch's own record of presses
  // The start shortcut is made once the window has been drawn: the shell's
  // objects cost the first sight of the window nothing, and the player
  // cannot reach START in the moment it takes.
  forms::Timer shortcutTimer_;
  void makeStartShortcut();
};

} // namespace pexor
