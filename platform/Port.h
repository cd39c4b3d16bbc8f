#pragma once

#include "platform/DisplayMode.h"
#include "platform/Error.h"
#include "platform/Input.h"
#include "platform/KeyWatch.h"
#include "platform/ShellValues.h"
#include "platform/WindowCommands.h"
#include "platform/Windowing.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pexor {

struct FolderEntry {
  std::string name;
  bool isFolder = false;
  std::uint64_t size = 0;
  std::int64_t lastWrite = 0; // file time, 100 ns units
};

// Paths bare, without quotes.
struct Shortcut {
  std::string target;
  std::string arguments;
  std::string workingDirectory;
  ShowCommand windowStyle = ShowCommand::ShowNormal;
  std::string iconPath;
  int iconIndex = 0;
};

struct WinRect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct ProcessEntry {
  std::uint32_t pid = 0;
  std::string imageName;
};

// Every operating-system operation the system uses. Paths are Windows paths
// in UTF-8; file contents are bytes. Operations whose originals raise errors
// throw pexor::Error; the others return what their originals return.
class Port : public WindowBackend {
public:
  // Files. Raise Error.
  virtual bool folderExists(const std::string &path) = 0;
  virtual void createFolder(const std::string &path) = 0;
  virtual std::vector<FolderEntry> listFolder(const std::string &path) = 0;
  virtual bool fileExists(const std::string &path) = 0; // a file, not a folder
  // Copies one file over another, keeping its last-write time, whole or not
  // at all: a failed copy leaves the target as it was. The copy is writable
  // by this user: a read-only flag of the source does not come along, and the
  // source is never touched.
  virtual void copyFile(const std::string &from, const std::string &to) = 0;
  virtual std::string readFile(const std::string &path) = 0;
  // Replaces the file whole or not at all: a failed write leaves it as it was.
  virtual void replaceFile(const std::string &path, const std::string &bytes) = 0;
  // The short (8.3) form of an existing path as the system gives it, "" when
  // there is none to be had (no such path). A name the volume keeps no short
  // name for comes back as it is.
  virtual std::string shortPathName(const std::string &path) = 0;
  // Whether the system's ANSI code page spells every character of the text,
  // none replaced or approximated: what a program that reads its command line
  // in that code page receives intact.
  virtual bool ansiCodePageHolds(const std::string &text) = 0;
  // The file system of the volume that holds the path ("NTFS", "FAT32",
  // "exFAT", ...), or "" when unknown.
  virtual std::string fileSystemName(const std::string &path) = 0;

  // Shell.
  virtual std::string exeFolder() = 0;
  virtual std::string programFile() = 0; // the running program's own file, a full path
  // The path as the shell reports it, or "" when it has none.
  virtual std::string specialFolderPath(SpecialFolder folder) = 0;
  virtual void saveShortcut(const std::string &lnkPath, const Shortcut &shortcut) = 0; // raises
  // True when the file is a shortcut holding exactly these properties; false
  // when it differs, is missing or cannot be read.
  virtual bool shortcutHolds(const std::string &lnkPath, const Shortcut &shortcut) = 0;
  // Opens the file (a bare path) with the parameters, without waiting. Raises.
  virtual void shellRun(const std::string &file, const std::string &parameters) = 0;
  // The chosen file's full path, or nullopt when cancelled. Raises when the
  // dialog itself fails.
  virtual std::optional<std::string> openFileDialog(const std::string &title,
                                                    const std::string &filter) = 0;
  virtual int messageBox(const std::string &text, const std::string &title,
                         MessageBoxStyle style) = 0;

  // Registry; return codes as the originals give them.
  virtual long regDeleteValue(RegistryRoot root, const std::string &key,
                              const std::string &name) = 0;
  virtual long regCreateKey(RegistryRoot root, const std::string &key) = 0;
  virtual long regSetString(RegistryRoot root, const std::string &key, const std::string &name,
                            const std::string &data) = 0;

  // Display.
  virtual bool enumDisplaySettings(std::int32_t modeNumber, DisplayMode &mode) = 0;
  // Switches now, for this session only; the registry keeps the user's mode.
  virtual long changeDisplaySettings(DisplayMode &mode) = 0;
  virtual int screenWidthPixels() = 0; // primary display, now
  virtual int screenHeightPixels() = 0;

  // Top-level windows. None of these waits for the window's program: show
  // and placement reach a window whose program does not answer once it
  // answers again (and return true at once); finding, the rectangle and the
  // foreground are the system's own.
  // Every top-level window of the class, hidden ones included, topmost first.
  virtual std::vector<Hwnd> findWindows(const std::string &className) = 0;
  // The process whose window it is, or 0 for no window.
  virtual std::uint32_t windowProcess(Hwnd window) = 0;
  virtual bool showWindow(Hwnd window, ShowCommand command) = 0;
  // Shown, minimised or not; false for a hidden window or none.
  virtual bool isWindowVisible(Hwnd window) = 0;
  virtual bool setForegroundWindow(Hwnd window) = 0;
  virtual bool getWindowRect(Hwnd window, WinRect &rect) = 0;
  virtual bool moveWindow(Hwnd window, std::int32_t x, std::int32_t y, std::int32_t width,
                          std::int32_t height, bool repaint) = 0;
  virtual bool setWindowPos(Hwnd window, ZOrder insertAfter, std::int32_t x, std::int32_t y,
                            std::int32_t cx, std::int32_t cy, Placement flags) = 0;

  // Input.
  // Key watchers: each sees a code down now, or pressed since its own
  // previous query of that code. Presses count from the watcher's opening,
  // including those made while another program has the keyboard.
  virtual KeyWatcherId openKeyWatcher() = 0;
  virtual void closeKeyWatcher(KeyWatcherId watcher) = 0;
  virtual KeyReport queryKey(KeyWatcherId watcher, int vk) = 0;
  // Time since the last keyboard or mouse input of the session, any source.
  virtual std::uint32_t inputIdleMilliseconds() = 0;
  // A key code 0 to 255, as the key scan walks them.
  virtual void keybdEvent(std::uint8_t vk, std::uint8_t scan, KeyAction flags,
                          std::uint32_t extra) = 0;
  virtual void mouseEvent(MouseAction flags, std::int32_t dx, std::int32_t dy, std::uint32_t data,
                          std::uint32_t extra) = 0;

  // Milliseconds from an arbitrary start; it goes on while the program is busy.
  virtual std::uint64_t tickCount() = 0;

  // One line of the program's trace of events, with the time, for whoever
  // listens (a debugger, DebugView, Wine's +debugstr channel). Events only,
  // never a line per idle tick. Off unless the user asked for it: then a
  // line costs nothing, and callers build no line at all while tracing()
  // is false.
  virtual bool tracing() = 0;
  virtual void trace(const std::string &event) = 0;

  // Processes.
  virtual std::vector<ProcessEntry> listProcesses() = 0;
  // The full path of the process's program file, or "" when it cannot be
  // read (no such process, or one this user may not look into).
  virtual std::string processImagePath(std::uint32_t pid) = 0;
  virtual bool terminateProcess(std::uint32_t pid) = 0;
  // From now on the programs this process starts, and theirs, end when the
  // last process of this program has ended, however it ended. True when it
  // holds (at once when it held already).
  virtual bool tieLaunchesToProgram() = 0;
  // Whether the process is one of those launches: started since, by this
  // process or by one it started.
  virtual bool isLaunchOfProgram(std::uint32_t pid) = 0;

  // One program of a name per user session. True when this process now holds
  // the name, until it releases it or ends; false when another one holds it.
  // `onAnotherStart` runs, as an event, each time a later start calls
  // comeForward(name).
  virtual bool claimInstance(const std::string &name, std::function<void()> onAnotherStart) = 0;
  virtual void releaseInstance(const std::string &name) = 0;
  // Asks the holder of the name to come forward, without waiting for it.
  virtual void comeForward(const std::string &name) = 0;

  // The guardian: a second process of this program, without a window, that
  // outlives this one. It runs `program` (this program's file, or a copy of
  // it under a name of its own) and is handed `orders` as they are. False
  // when none could be started; true at once when one runs already.
  virtual bool startGuardian(const std::string &program, const std::string &orders) = 0;
  // This process has put everything back: its guardian ends doing nothing.
  virtual void releaseGuardian() = 0;
  // In a guardian, its orders; nullopt in any other process, whatever its
  // command line.
  virtual std::optional<std::string> guardianOrders() = 0;
  // In a guardian: waits until the process that started it has ended or
  // released it. True when it ended without releasing it (ended from
  // outside, a crash); false when released, or when there is none.
  virtual bool guardedProcessAbandoned() = 0;
};

} // namespace pexor
