#pragma once

#include "platform/Port.h"
#include "platform/win32/Handles.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pexor::win32 {

class FormWindow;
class KeyboardHook;

// The port over the real Windows API. Each operation translates: arguments
// converted, one or a few API calls, results handed back.
class Win32Port : public Port {
public:
  Win32Port();
  Win32Port(const Win32Port &) = delete;
  Win32Port &operator=(const Win32Port &) = delete;
  ~Win32Port() override;

  // Files (Files.cpp).
  bool folderExists(const std::string &path) override;
  bool fileExists(const std::string &path) override;
  void createFolder(const std::string &path) override;
  std::vector<FolderEntry> listFolder(const std::string &path) override;
  void copyFile(const std::string &from, const std::string &to) override;
  std::string readFile(const std::string &path) override;
  void replaceFile(const std::string &path, const std::string &bytes) override;
  std::string shortPathName(const std::string &path) override;
  std::string fileSystemName(const std::string &path) override;
  bool ansiCodePageHolds(const std::string &text) override; // Text.cpp

  // Shell (Shell.cpp, Dialogs.cpp).
  std::string exeFolder() override;
  std::string programFile() override;
  std::string specialFolderPath(SpecialFolder folder) override;
  void saveShortcut(const std::string &lnkPath, const Shortcut &shortcut) override;
  bool shortcutHolds(const std::string &lnkPath, const Shortcut &shortcut) override;
  void shellRun(const std::string &file, const std::string &parameters) override;
  std::optional<std::string> openFileDialog(const std::string &title,
                                            const std::string &filter) override;
  int messageBox(const std::string &text, const std::string &title, MessageBoxStyle style) override;

  // Registry (Registry.cpp).
  long regDeleteValue(RegistryRoot root, const std::string &key, const std::string &name) override;
  long regCreateKey(RegistryRoot root, const std::string &key) override;
  long regSetString(RegistryRoot root, const std::string &key, const std::string &name,
                    const std::string &data) override;

  // Display (Display.cpp).
  bool enumDisplaySettings(std::int32_t modeNumber, DisplayMode &mode) override;
  long changeDisplaySettings(DisplayMode &mode) override;
  int screenWidthPixels() override;
  int screenHeightPixels() override;

  // Another program's windows (OtherWindows.cpp).
  std::vector<Hwnd> findWindows(const std::string &className) override;
  std::uint32_t windowProcess(Hwnd window) override;
  bool showWindow(Hwnd window, ShowCommand command) override;
  bool isWindowVisible(Hwnd window) override;
  bool setForegroundWindow(Hwnd window) override;
  bool getWindowRect(Hwnd window, WinRect &rect) override;
  bool moveWindow(Hwnd window, std::int32_t x, std::int32_t y, std::int32_t width,
                  std::int32_t height, bool repaint) override;
  bool setWindowPos(Hwnd window, ZOrder insertAfter, std::int32_t x, std::int32_t y,
                    std::int32_t cx, std::int32_t cy, Placement flags) override;

  // Keys and the mouse (Input.cpp, KeyboardHook.cpp).
  KeyWatcherId openKeyWatcher() override;
  void closeKeyWatcher(KeyWatcherId watcher) override;
  KeyReport queryKey(KeyWatcherId watcher, int vk) override;
  std::uint32_t inputIdleMilliseconds() override;
  void keybdEvent(std::uint8_t vk, std::uint8_t scan, KeyAction flags,
                  std::uint32_t extra) override;
  void mouseEvent(MouseAction flags, std::int32_t dx, std::int32_t dy, std::uint32_t data,
                  std::uint32_t extra) override;

  std::uint64_t tickCount() override; // Timers.cpp
  bool tracing() override;            // Trace.cpp
  void trace(const std::string &event) override;

  // Processes (Processes.cpp).
  std::vector<ProcessEntry> listProcesses() override;
  std::string processImagePath(std::uint32_t pid) override;
  bool terminateProcess(std::uint32_t pid) override;
  bool tieLaunchesToProgram() override;
  bool isLaunchOfProgram(std::uint32_t pid) override;

  // One launcher per session (Instance.cpp).
  bool claimInstance(const std::string &name, std::function<void()> onAnotherStart) override;
  void comeForward(const std::string &name) override;
  void releaseInstance(const std::string &name) override;
  void anotherStart(); // from the instance window's procedure

  // The guardian (Guardian.cpp).
  bool startGuardian(const std::string &program, const std::string &orders) override;
  void releaseGuardian() override;
  std::optional<std::string> guardianOrders() override;
  bool guardedProcessAbandoned() override;

  // The launcher's own forms (Forms.cpp, FormWindow.cpp, FormControls.cpp,
  // FormPaint.cpp) and their timers (Timers.cpp).
  Hwnd createForm(const FormView &view, FormSink &sink) override;
  void destroyForm(Hwnd form) override;
  void setCaption(Hwnd form, const std::string &caption) override;
  void showForm(Hwnd form, bool visible) override;
  FormBounds formBounds(Hwnd form) override;
  void moveForm(Hwnd form, float left, float top) override;
  void sizeForm(Hwnd form, float width, float height) override;
  int windowState(Hwnd form) override;
  void setWindowState(Hwnd form, int state) override;
  int formDpi(Hwnd form) override;
  void putControl(Hwnd form, const ControlView &control) override;
  void refreshForm(Hwnd form) override;
  void startTimer(Hwnd form, int timerId, int intervalMs) override;
  void stopTimer(Hwnd form, int timerId) override;
  void endProgram() override;

  // Window procedures report entering and leaving, so that a form removed
  // inside one of its own messages is freed only when no message is running.
  void enterMessage() { ++messageDepth_; }
  void leaveMessage();

private:
  FormWindow *find(Hwnd form) const;
  // The shell's objects need COM; it is entered at their first use, and
  // left after everything else of the port has gone.
  void needCom();
  ComApartment com_;

  bool formClassRegistered_ = false;
  std::map<Hwnd, std::unique_ptr<FormWindow>> forms_;
  std::vector<std::unique_ptr<FormWindow>> retired_;
  int messageDepth_ = 0;

  // Key presses of the desktop, recorded by the hook while a watcher is open;
  // declared after the record its thread feeds, the hook ends first.
  KeyPresses presses_;
  std::unique_ptr<KeyboardHook> keyboardHook_;

  UniqueHandle instanceMutex_;
  UniqueWindow instanceWindow_;
  std::function<void()> onAnotherStart_;

  // The job that ends this program's launches with its last process.
  UniqueHandle launchJob_;
  UniqueHandle guardianRelease_; // in the launcher, while its guardian runs
  UniqueHandle guardedProcess_;  // in the guardian
  UniqueHandle guardedRelease_;
};

// The running program's file, a full path.
std::wstring thisProgramPath();

// Whether the user asked for the trace (PEXOR_TRACE=1 when the program
// started), and a line of it from any thread of the program.
bool traceWanted();
void traceLine(std::string_view event);

} // namespace pexor::win32
