#pragma once

// What the end-to-end tests stand on: a fresh folder with the launcher and
// its shipped folder, a Documents folder of the test's own, the launcher's
// process and window, real mouse and keyboard input, and readers for the
// effects on the system (files, shortcut, registry, display, processes).
// Every wait has a limit, so a broken launcher fails a test and never hangs it.

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

inline constexpr DWORD WaitLimitMs = 10000;

// Texts: the launcher's captions are Bulgarian, paths may be Cyrillic.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);
bool equalNoCase(std::wstring_view a, std::wstring_view b);

// Polls until the condition holds or the limit passes; true when it held.
bool waitUntil(const std::function<bool()> &condition, DWORD limitMs = WaitLimitMs);
void pause(DWORD ms);

struct HandleCloser {
  void operator()(HANDLE handle) const;
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// Files and folders.
std::wstring join(const std::wstring &folder, std::wstring_view name);
std::wstring exeFolder();
bool fileExists(const std::wstring &path);
bool folderExists(const std::wstring &path);
std::optional<std::string> readBytes(const std::wstring &path);
bool writeBytes(const std::wstring &path, const std::string &bytes);
bool copyTree(const std::wstring &from, const std::wstring &to);
void removeTree(const std::wstring &path);
// Relative paths of every file below the folder, sorted.
std::vector<std::wstring> listTree(const std::wstring &root);
bool setReadOnly(const std::wstring &path, bool readOnly);

// A path from the environment, with backslashes; "" when unset.
std::wstring fromEnvironment(const wchar_t *name);
// The built launcher and shipped folder: PEXOR_LAUNCHER and PEXOR_SHIP, or
// the build tree's layout (..\PexorLauncher.exe, ship\DoxPexor beside this
// program).
std::wstring builtLauncher();
std::wstring builtShippedFolder();

// Processes.
std::vector<DWORD> processesNamed(std::wstring_view imageName);
struct Process {
  UniqueHandle handle;
  DWORD pid = 0;
  DWORD threadId = 0;
};
std::optional<Process> startProcess(const std::wstring &exe, const std::wstring &arguments,
                                    const std::wstring &workingFolder);
bool waitForExit(const Process &process, DWORD limitMs = WaitLimitMs);
// The full path of the process's program, "" when it cannot be read.
std::wstring processImage(DWORD pid);
// Ends every process of that image name at once with the system's own
// `taskkill /f /im`, as scripts do; true when taskkill ran and ended.
bool taskkillByName(std::wstring_view imageName);
// Holds every thread of the process, as a machine too busy to run it would,
// or lets them go again.
void holdProcess(DWORD pid, bool hold);
bool isRunning(const Process &process);

// Windows.
std::wstring windowText(HWND hwnd);
std::wstring windowClass(HWND hwnd);
// Visible top-level windows, optionally of one process, class or caption.
std::vector<HWND> topLevelWindows(DWORD pid, std::wstring_view className = {},
                                  std::wstring_view caption = {});
std::vector<HWND> childWindows(HWND parent, std::wstring_view className = {});
// The top-level window of the class, hidden or not, whose process runs that
// program; nullptr when there is none.
HWND windowOfProgram(std::wstring_view className, const std::wstring &program);
RECT screenRect(HWND hwnd);
// Dots per inch the window is drawn at: 96 at 100 %, 144 at 150 %.
int windowDpi(HWND hwnd);
// Saves what the screen shows in that rectangle as a PNG file.
bool savePicture(const RECT &screen, const std::wstring &pngPath);

// Real input, as the user gives it.
void moveMouse(POINT screen);
void click(POINT screen);
// A person's pace: how long a tapped key is down, and the gap between the
// steps of a chord.
inline constexpr DWORD KeyPaceMs = 40;
void keyDown(WORD vk);
void keyUp(WORD vk);
void pressKey(WORD vk);
// Presses the keys in order, then releases them in reverse, a step at a time.
void pressChord(std::initializer_list<WORD> keys);
// Types the text as Unicode key strokes.
void typeText(std::wstring_view text);
// The window with the keyboard focus in the thread's input queue.
HWND focusedWindow(DWORD threadId);
POINT centreOf(const RECT &rect);

// Display.
SIZE currentDisplayMode();
bool setDisplayMode(int width, int height);
void resetDisplayMode();

// What a debug-output viewer (DebugView) reads of the session's debug
// output while this lives: the channel any program of the session may read.
class DebugOutputListener {
public:
  DebugOutputListener();
  ~DebugOutputListener();
  DebugOutputListener(const DebugOutputListener &) = delete;
  DebugOutputListener &operator=(const DebugOutputListener &) = delete;
  bool ok() const { return ok_; }
  // The lines heard so far that begin with `prefix`.
  std::vector<std::string> lines(std::string_view prefix) const;

private:
  struct Channel;
  std::unique_ptr<Channel> channel_;
  bool ok_ = false;
};

// Registry.
inline constexpr const wchar_t *LayersKey =
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";
std::optional<std::wstring> readRegistryString(HKEY root, const std::wstring &key,
                                               const std::wstring &name);
bool writeRegistryString(HKEY root, const std::wstring &key, const std::wstring &name,
                         const std::wstring &data, DWORD type = REG_SZ);
bool deleteRegistryValue(HKEY root, const std::wstring &key, const std::wstring &name);

// The shell's Documents folder of the current user, pointed at another
// folder while this object lives, then put back as it was.
class DocumentsRedirect {
public:
  explicit DocumentsRedirect(const std::wstring &folder);
  ~DocumentsRedirect();
  DocumentsRedirect(const DocumentsRedirect &) = delete;
  DocumentsRedirect &operator=(const DocumentsRedirect &) = delete;
  bool ok() const { return ok_; }

private:
  bool ok_ = false;
  std::optional<std::wstring> savedUser_, savedShell_;
};

// A saved shortcut as the shell reads it back.
struct ShortcutInfo {
  std::wstring target;
  std::wstring arguments;
  std::wstring workingDirectory;
  int showCommand = 0;
  std::wstring iconPath;
  int iconIndex = -1;
};
std::optional<ShortcutInfo> readShortcut(const std::wstring &lnkPath);

// A list box of another process, read and picked from.
int listCount(HWND list);
int listSelection(HWND list);
std::wstring listItemText(HWND list, int index);
std::wstring listSelectedText(HWND list);
std::vector<std::wstring> listItems(HWND list);
// Screen point inside a visible item, or nullopt when the item is scrolled out.
std::optional<POINT> listItemPoint(HWND list, int index);
bool isChecked(HWND button);

// A message box of another process.
struct MessageBoxInfo {
  HWND hwnd = nullptr;
  std::wstring title;
  std::wstring text;
};
std::optional<MessageBoxInfo> findMessageBox(DWORD pid);
std::optional<MessageBoxInfo> waitForMessageBox(DWORD pid, DWORD limitMs = WaitLimitMs);
// Clicks the box's OK button.
bool pressOk(const MessageBoxInfo &box);
// Answers every message box the process shows until none comes for a while.
int dismissMessageBoxes(DWORD pid, DWORD quietMs = 1500);

// One test's world: a fresh folder holding a copy of the launcher with the
// shipped DoxPexor beside it, and a Documents folder of its own that the
// shell reports for the current user while the test runs.
class Sandbox {
public:
  // The Documents folder is a folder of that name in the test's own folder,
  // or the full path given.
  explicit Sandbox(const std::wstring &documentsName = L"Documents");
  ~Sandbox();
  Sandbox(const Sandbox &) = delete;
  Sandbox &operator=(const Sandbox &) = delete;

  bool ready() const { return ready_; }
  // Why it is not ready, for the failure message.
  const std::string &problem() const { return problem_; }
  const std::wstring &root() const { return root_; }
  const std::wstring &launcherExe() const { return launcherExe_; }
  const std::wstring &shipped() const { return shipped_; }
  const std::wstring &documents() const { return documents_; }
  std::wstring installed() const { return join(documents_, L"DoxPexor"); }
  std::wstring installedFile(std::wstring_view relative) const {
    return join(installed(), relative);
  }

private:
  bool ready_ = false;
  std::string problem_;
  std::wstring root_, launcherExe_, shipped_, documents_;
  std::optional<DocumentsRedirect> documentsRedirect_;
};

// The launcher's process and its window Form1.
class Launcher {
public:
  Launcher() = default;
  Launcher(const Launcher &) = delete;
  Launcher &operator=(const Launcher &) = delete;
  ~Launcher();

  // False when the sandbox holds no launcher or it cannot be started.
  bool start(const Sandbox &sandbox);
  // Waits for Form1, visible, with its caption.
  bool waitForWindow(DWORD limitMs = WaitLimitMs);
  HWND window() const { return window_; }
  DWORD pid() const { return process_ ? process_->pid : 0; }
  DWORD threadId() const { return process_ ? process_->threadId : 0; }
  bool running() const { return process_ && isRunning(*process_); }
  // Asks Form1 to close, as its close box does.
  void close();
  bool waitForExit(DWORD limitMs = WaitLimitMs);
  // Ends it whatever state it is in; used when a test has failed.
  void kill();
  // After a failed start or a window that never showed: why, when Wine
  // failed to start the program (no process, or one its loader ended), else
  // empty. The runner runs a case once more on such a failure only: the
  // words begin a line of their own.
  std::string wineDidNotStart() const;

  // Screen point of a position given in twips within Form1's client area, at
  // the window's DPI.
  POINT clientPoint(float leftTwips, float topTwips) const;
  HWND list1() const;
  HWND list2() const;
  HWND childWithText(std::wstring_view text) const;

  // The user's actions on Form1.
  bool pickListItem(HWND list, int index);
  void clickOption1() const;
  void clickOption2() const;
  void clickStart() const;
  void clickChoice() const;

private:
  std::optional<Process> process_;
  DWORD startError_ = 0;
  HWND window_ = nullptr;
};

inline constexpr const wchar_t *LauncherCaption = L"DOS програма чрез DosBox";

} // namespace e2e
