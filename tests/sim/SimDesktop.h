#pragma once

#include "platform/Port.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace pexor::sim {

// Key codes a test presses most.
inline constexpr int VK_RETURN_KEY = code(VirtualKey::Return);
inline constexpr int VK_SHIFT_KEY = code(VirtualKey::Shift);
inline constexpr int VK_CONTROL_KEY = code(VirtualKey::Control);
inline constexpr int VK_MENU_KEY = code(VirtualKey::Menu);
inline constexpr int VK_ESCAPE_KEY = code(VirtualKey::Escape);
inline constexpr int VK_TAB_KEY = code(VirtualKey::Tab);
inline constexpr int VK_LWIN_KEY = code(VirtualKey::LeftWin);
inline constexpr int VK_LMENU_KEY = code(VirtualKey::LeftMenu);

// Window class of the system's own forms.
inline constexpr const char *FormClass = "PexorLauncherForm";

// File time of the sim's epoch (virtual time 0): 2024-01-01 00:00 UTC, 100 ns units.
inline constexpr std::int64_t FileTimeEpoch = 133485408000000000;

struct EnumCall {
  std::int32_t modeNumber = 0;
  DisplayMode handed{}; // the record as it arrived
  bool result = false;
};

struct DisplayChange {
  DisplayMode mode{}; // the record as it arrived
  long result = 0;    // 0 applied, -2 refused (DISP_CHANGE_BADMODE)
};

struct KeyEvent {
  std::uint8_t vk = 0;
  std::uint8_t scan = 0;
  KeyAction flags = KeyAction::Press;
  std::uint32_t extra = 0;
};

struct MouseEvent {
  MouseAction flags{};
  std::int32_t dx = 0;
  std::int32_t dy = 0;
  std::uint32_t data = 0;
  std::uint32_t extra = 0;
};

enum class WinOp { Find, Show, SetForeground, GetRect, Move, SetPos };

// One call of the top-level window operations, as received.
struct WindowCall {
  WinOp op = WinOp::Find;
  Hwnd hwnd = 0;
  std::string className;                   // Find only
  ShowCommand command = ShowCommand::Hide; // Show only
  ZOrder insertAfter = ZOrder::Top;        // SetPos only
  std::int32_t x = 0, y = 0, cx = 0, cy = 0;
  Placement flags{};        // SetPos only
  bool repaint = false;     // Move only
  std::uint32_t result = 0; // the handle found, or the call's truth value
};

struct WindowInfo {
  Hwnd hwnd = 0;
  std::string className;
  WinRect rect; // pixels
  bool visible = false;
  bool topmost = false;
  bool foreground = false;
  bool isForm = false;
  std::uint32_t ownerPid = 0; // 0: no process owns it
  bool answering = true;
};

struct FormInfo {
  Hwnd hwnd = 0;
  std::string name;
  std::string caption;
  FormBounds bounds; // outer, twips, the normal placement
  int windowState = WindowState::Normal;
  bool visible = false;
  bool borderless = false;
  bool showInTaskbar = true;
  Colour backColor = ButtonFace;
  int resizeReports = 0; // onResize calls made so far
  int refreshes = 0;     // refreshForm calls while it was visible
};

struct MessageBoxCall {
  std::string text;
  std::string title;
  MessageBoxStyle style = MessageBoxStyle::Plain;
  std::pair<int, int> display; // the display mode while the box shows
};

struct ShellRun {
  std::string file;
  std::string parameters;
};

struct DialogCall {
  std::string title;
  std::string filter;
};

enum class RegOp { DeleteValue, CreateKey, SetString };

struct RegCall {
  RegOp op = RegOp::SetString;
  RegistryRoot root = RegistryRoot::CurrentUser;
  std::string key;
  std::string name;
  std::string data;
  long result = 0;
};

struct Termination {
  std::uint32_t pid = 0;
  bool result = false;
};

// The whole port in memory, with a virtual clock, for tests. Nothing touches
// the host. Paths are Windows paths (UTF-8, backslashes), compared without
// regard to case as NTFS does; a path without a drive is taken relative to
// the executable's folder, a path starting with one backslash lies on C:.
class SimDesktop : public Port {
public:
  SimDesktop();
  SimDesktop(const SimDesktop &) = delete;
  SimDesktop &operator=(const SimDesktop &) = delete;
  ~SimDesktop() override;

  // ---- Clock -------------------------------------------------------------
  std::int64_t now() const { return now_; }
  // Fires every timer and scheduled action due up to now + ms in time order
  // (ties: the order they were armed), each handler to its end, then sets the
  // clock to now + ms. A timer re-arms at due + interval unless its handler
  // restarted or stopped it. After endProgram() nothing fires.
  void advance(std::int64_t ms);
  // Advances event by event until `done` holds (checked before each event and
  // at the end) or `limitMs` has passed; true when `done` held.
  bool advanceUntil(const std::function<bool()> &done, std::int64_t limitMs);
  // The program's thread is busy in an event for `ms`: the clock moves on
  // and nothing fires; what fell due fires at the next advance.
  void busy(std::int64_t ms);
  // A test action (press a key, close the emulator, ...) at virtual time `when`.
  void at(std::int64_t when, std::function<void()> action);
  bool programEnded() const { return ended_; }
  bool timerRunning(Hwnd form, int timerId) const;
  std::optional<std::int64_t> timerDue(Hwnd form, int timerId) const;
  std::optional<int> timerInterval(Hwnd form, int timerId) const;

  // ---- Display -----------------------------------------------------------
  // Each size becomes a mode of 32 bits at 60 Hz.
  void setModes(const std::vector<std::pair<int, int>> &sizes);
  void setModeList(const std::vector<DisplayMode> &modes); // exact records
  static DisplayMode makeMode(int width, int height, int bits = 32, int hertz = 60);
  const std::vector<DisplayMode> &modes() const { return modes_; }
  void setScreen(int width, int height);       // the current mode, no call logged
  void setScreenMode(const DisplayMode &mode); // with its depth and rate
  std::uint32_t currentBits() const { return screenBits_; }
  std::uint32_t currentHertz() const { return screenHertz_; }
  // Dots per inch of the display (96 at 100 %). Changing it rescales every
  // form as Windows does: the same twips at the new scale, a resize, then the
  // DPI change itself.
  void setDpi(int dpi);
  int dpi() const { return dpi_; }
  int currentWidth() const { return screenW_; }
  int currentHeight() const { return screenH_; }
  const std::vector<EnumCall> &enumCalls() const { return enumCalls_; }
  const std::vector<DisplayChange> &displayChanges() const { return displayChanges_; }

  // ---- Files ---------------------------------------------------------------
  // Missing parent folders are created.
  void addFile(const std::string &path, const std::string &bytes,
               std::int64_t lastWrite = FileTimeEpoch);
  void addFolder(const std::string &path);
  bool fileExists(const std::string &path) const;
  // folderExists and fileExists are the port's; they also serve tests.
  std::string fileBytes(const std::string &path) const; // throws std::out_of_range when missing
  std::int64_t fileLastWrite(const std::string &path) const;
  void setReadOnly(const std::string &path, bool readOnly = true);
  void setLocked(const std::string &path, bool locked = true); // reads and writes fail (70)
  void removeFile(const std::string &path);
  void removeFolder(const std::string &path); // with everything in it
  // The next n copies succeed, every later one fails with `error` (70,
  // permission denied, or 61, disk full) and leaves its target as it was;
  // n < 0: never.
  void failCopyAfter(int n, long error = err::PermissionDenied);
  int copiesMade() const { return copies_; }
  int copyAttempts() const { return copyAttempts_; }
  // Each copy keeps the program busy this long (see busy()).
  void setCopyTime(std::int64_t ms) { copyTime_ = ms; }
  // Runs after each copy, as a person looks at the screen meanwhile.
  void whileCopying(std::function<void()> look) { whileCopying_ = std::move(look); }
  bool readOnly(const std::string &path) const; // throws std::out_of_range when missing
  // The folder (a drive, "E:", or a folder a volume is mounted on) and all
  // below it is a volume of that file system; elsewhere it is NTFS. A FAT
  // volume keeps last-write times to 2 s, an exFAT one to 10 ms, each rounded
  // up as a write sets it. A volume without short names (8.3 names not made)
  // gives each long name back as it is.
  void setVolume(const std::string &root, const std::string &fileSystem, bool shortNames = true);
  // The system's ANSI code page: 1251 (the users' own, and the default),
  // 1252, or 65001 (UTF-8).
  void setAnsiCodePage(int codePage) { ansiCodePage_ = codePage; }
  int ansiCodePage() const { return ansiCodePage_; }

  // ---- Shell ---------------------------------------------------------------
  // Setting a non-empty path also creates that folder; "" means none.
  void setSpecialFolder(SpecialFolder folder, const std::string &path);
  void setExeFolder(const std::string &path);
  std::optional<Shortcut> shortcut(const std::string &lnkPath) const;
  int shortcutsSaved() const { return shortcutsSaved_; }
  void failShortcuts(bool fail); // saveShortcut raises 429, shortcutHolds reads nothing
  // Successful runs. A run raises when its file does not exist.
  const std::vector<ShellRun> &runs() const { return runs_; }
  // shellRun raises this number (by default the system's "file not found").
  void failRun(bool fail, long number = -2147024894);
  // Called after a successful shellRun, e.g. to start the emulator.
  void setRunHandler(std::function<void(const ShellRun &)> handler);
  const std::vector<MessageBoxCall> &messageBoxes() const { return messageBoxes_; }
  // Answers of the open-file dialog, in order; an empty queue cancels.
  void queueDialog(std::optional<std::string> answer);
  void failDialog(); // the next dialog raises 32755
  const std::vector<DialogCall> &dialogs() const { return dialogs_; }

  // ---- Registry ------------------------------------------------------------
  std::optional<std::string> regValue(RegistryRoot root, const std::string &key,
                                      const std::string &name) const;
  bool regKeyExists(RegistryRoot root, const std::string &key) const;
  void setRegValue(RegistryRoot root, const std::string &key, const std::string &name,
                   const std::string &data); // creates the key
  void failRegistry(long code); // every later call returns `code` and changes nothing; 0 heals
  const std::vector<RegCall> &regCalls() const { return regCalls_; }

  // ---- Top-level windows ---------------------------------------------------
  // A visible new window comes to the foreground.
  Hwnd openWindow(const std::string &className, WinRect rect, bool visible = true,
                  std::uint32_t ownerPid = 0);
  void closeWindow(Hwnd window);
  // Its program stops answering: show and placement requests wait, and take
  // effect in order once it answers again. Finding it, its rectangle and the
  // foreground are the system's and go on.
  void stopAnswering(Hwnd window);
  void answerAgain(Hwnd window);
  // Its program shows it minimised, without the keyboard: what the emulator
  // does on losing the keyboard while full-screen.
  void showsItselfMinimised(Hwnd window);
  bool windowAlive(Hwnd window) const;
  std::optional<WindowInfo> windowInfo(Hwnd window) const; // nullopt when dead
  Hwnd foreground() const { return foreground_; }
  std::vector<Hwnd> zOrder() const { return zOrder_; } // live windows, top first
  const std::vector<WindowCall> &windowCalls() const { return windowCalls_; }

  // ---- Forms (the window backend), acting as the user ------------------------
  Hwnd form(const std::string &name) const; // the loaded form of that FormView::name, or 0
  std::optional<FormInfo> formInfo(Hwnd form) const;
  bool hasControl(Hwnd form, const std::string &name) const;
  ControlView control(Hwnd form, const std::string &name) const; // throws std::out_of_range
  // Where the control is drawn, pixels of the form's client area at the DPI;
  // a frame's children lie within it. Throws std::out_of_range.
  WinRect controlRect(Hwnd form, const std::string &name) const;
  // Each returns whether the event was delivered: nothing happens on a dead,
  // hidden or minimised form, or a hidden or disabled control (or frame).
  bool clickControl(Hwnd form, const std::string &name);
  bool mouseUp(Hwnd form, const std::string &name);
  bool userSelect(Hwnd form, const std::string &listName, int index); // pick, then mouse-up
  bool userSelectByKeyboard(Hwnd form, const std::string &listName, int index);
  bool userClose(Hwnd form);
  bool userSetWindowState(Hwnd form, int state);
  bool userMove(Hwnd form, float left, float top);       // twips
  bool userResize(Hwnd form, float width, float height); // twips, outer

  // ---- Keyboard and mouse --------------------------------------------------
  void press(int vk);
  void release(int vk);
  void tap(int vk); // press and release: still "pressed since" for every watcher
  bool keyDown(int vk) const;
  // On a busy machine the key-state query shows a key down only a while
  // after the keyboard has told of its press: this many milliseconds.
  void setKeyStateLag(std::int64_t ms) { keyStateLag_ = ms; }
  const std::vector<KeyEvent> &keyEvents() const { return keyEvents_; }
  long keyQueries() const { return keyQueries_; }
  int keyWatchers() const { return keyWatchers_; } // open now
  const std::vector<MouseEvent> &mouseEvents() const { return mouseEvents_; }

  // ---- Processes -----------------------------------------------------------
  // The program under test: its forms are this process's windows, and its
  // file lies in the executable's folder.
  static constexpr std::uint32_t ProgramPid = 4;
  static constexpr const char *ProgramName = "PexorLauncher.exe";
  // A program's full path, or an image name alone for a process whose
  // program this user may not look into. Started while a run handler runs
  // (the program's launch) with its launches tied, it is one of them.
  std::uint32_t startProcess(const std::string &program);
  bool processRunning(std::uint32_t pid) const;
  int runningCount(const std::string &imageName) const;
  void makeUnkillable(std::uint32_t pid);
  // terminateProcess on it raises instead of answering.
  void makeTerminateThrow(std::uint32_t pid);
  // Listed by the next listProcesses, then exits before anyone can act on it.
  void exitAfterNextListing(std::uint32_t pid);
  void exitProcess(std::uint32_t pid); // its windows close with it
  void failProcessListing(bool fail);  // listProcesses raises
  const std::vector<Termination> &terminations() const { return terminations_; }

  // The launcher's guardian: how many starts it was asked for, with what
  // orders, and whether it was released. From asGuardian() on, the desktop
  // answers as the guardian's process does once the launcher's has ended.
  int guardianStarts() const { return guardianStarts_; }
  const std::string &guardianOrdersGiven() const { return guardianOrders_; }
  const std::string &guardianProgramGiven() const { return guardianProgram_; }
  // Asked to end its launches with its last process, and when.
  bool launchesTied() const { return launchesTied_; }
  bool guardianReleased() const { return guardianReleased_; }
  void asGuardian() { asGuardian_ = true; }

  // Whether the user asked for the trace (on unless a test says otherwise).
  void setTracing(bool on) { tracing_ = on; }
  // The program's trace, each line with the virtual time it was written at.
  struct TraceLine {
    std::int64_t at = 0;
    std::string event;
  };
  const std::vector<TraceLine> &traceLines() const { return trace_; }

  // ---- Port ------------------------------------------------------------------
  bool folderExists(const std::string &path) override;
  bool fileExists(const std::string &path) override {
    return static_cast<const SimDesktop *>(this)->fileExists(path);
  }
  void createFolder(const std::string &path) override;
  std::vector<FolderEntry> listFolder(const std::string &path) override;
  void copyFile(const std::string &from, const std::string &to) override;
  std::string readFile(const std::string &path) override;
  void replaceFile(const std::string &path, const std::string &bytes) override;
  // A long name gets a short one made from its letters, "~" and a number
  // that tells it from its neighbours'; a path may use either form.
  std::string shortPathName(const std::string &path) override;
  bool ansiCodePageHolds(const std::string &text) override;
  std::string fileSystemName(const std::string &path) override;

  std::string exeFolder() override;
  std::string programFile() override { return exeFolder_ + "\\" + ProgramName; }
  std::string specialFolderPath(SpecialFolder folder) override;
  void saveShortcut(const std::string &lnkPath, const Shortcut &shortcut) override;
  bool shortcutHolds(const std::string &lnkPath, const Shortcut &shortcut) override;
  void shellRun(const std::string &file, const std::string &parameters) override;
  std::optional<std::string> openFileDialog(const std::string &title,
                                            const std::string &filter) override;
  int messageBox(const std::string &text, const std::string &title, MessageBoxStyle style) override;

  long regDeleteValue(RegistryRoot root, const std::string &key, const std::string &name) override;
  long regCreateKey(RegistryRoot root, const std::string &key) override;
  long regSetString(RegistryRoot root, const std::string &key, const std::string &name,
                    const std::string &data) override;

  // A mode number past the end (or below -1) returns false and leaves the
  // record as it was; -1 gives the current mode.
  bool enumDisplaySettings(std::int32_t modeNumber, DisplayMode &mode) override;
  long changeDisplaySettings(DisplayMode &mode) override;
  int screenWidthPixels() override { return screenW_; }
  int screenHeightPixels() override { return screenH_; }

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

  KeyWatcherId openKeyWatcher() override;
  void closeKeyWatcher(KeyWatcherId watcher) override;
  KeyReport queryKey(KeyWatcherId watcher, int vk) override;
  std::uint32_t inputIdleMilliseconds() override;
  std::uint64_t tickCount() override { return static_cast<std::uint64_t>(now_); }
  bool tracing() override { return tracing_; }
  void trace(const std::string &event) override {
    if (tracing_)
      trace_.push_back({now_, event});
  }
  void keybdEvent(std::uint8_t vk, std::uint8_t scan, KeyAction flags,
                  std::uint32_t extra) override;
  void mouseEvent(MouseAction flags, std::int32_t dx, std::int32_t dy, std::uint32_t data,
                  std::uint32_t extra) override;

  std::vector<ProcessEntry> listProcesses() override;
  std::string processImagePath(std::uint32_t pid) override;
  bool terminateProcess(std::uint32_t pid) override;
  bool tieLaunchesToProgram() override {
    launchesTied_ = true;
    return true;
  }
  bool isLaunchOfProgram(std::uint32_t pid) override;

  // Programs sharing this desktop claim names; a call to come forward reaches
  // the holder as a posted event, at the current time.
  bool claimInstance(const std::string &name, std::function<void()> onAnotherStart) override;
  void comeForward(const std::string &name) override;
  void releaseInstance(const std::string &name) override;

  bool startGuardian(const std::string &program, const std::string &orders) override;
  void releaseGuardian() override { guardianReleased_ = guardianStarts_ > 0; }
  std::optional<std::string> guardianOrders() override;
  bool guardedProcessAbandoned() override {
    return asGuardian_ && guardianStarts_ > 0 && !guardianReleased_;
  }

  Hwnd createForm(const FormView &view, FormSink &sink) override;
  void destroyForm(Hwnd form) override;
  void setCaption(Hwnd form, const std::string &caption) override;
  void showForm(Hwnd form, bool visible) override;
  // While maximised: the whole screen; while minimised: the normal placement.
  FormBounds formBounds(Hwnd form) override;
  void moveForm(Hwnd form, float left, float top) override;
  void sizeForm(Hwnd form, float width, float height) override;
  int windowState(Hwnd form) override;
  void setWindowState(Hwnd form, int state) override;
  int formDpi(Hwnd) override { return dpi_; }
  void putControl(Hwnd form, const ControlView &control) override;
  void refreshForm(Hwnd form) override;
  void startTimer(Hwnd form, int timerId, int intervalMs) override;
  void stopTimer(Hwnd form, int timerId) override;
  void endProgram() override { ended_ = true; }

private:
  struct FileNode {
    std::string path; // as first created
    bool folder = false;
    std::string bytes;
    std::int64_t lastWrite = FileTimeEpoch;
    bool readOnly = false;
    bool locked = false;
    std::optional<Shortcut> shortcut;
  };

  struct FormData {
    FormView view;
    FormSink *sink = nullptr;
    FormBounds bounds;
    int state = WindowState::Normal;
    int resizeReports = 0;
    int refreshes = 0;
    std::map<int, ControlView> controls;
  };

  struct Window {
    std::string className;
    WinRect rect; // pixels; forms keep twips in `form`
    bool visible = false;
    bool topmost = false;
    std::uint32_t ownerPid = 0;
    std::optional<FormData> form;
    bool answering = true;
    std::vector<std::function<void()>> pending; // requests it has not taken yet
  };

  struct TimerSlot {
    int interval = 0;
    std::int64_t due = 0;
    std::uint64_t seq = 0; // arming order, breaks ties
  };

  struct Action {
    std::int64_t when = 0;
    std::uint64_t seq = 0;
    std::function<void()> run;
  };

  struct Process {
    std::string imageName;
    std::string imagePath; // "" when it cannot be read
    bool launch = false;   // of the program, with its launches tied
    bool alive = true;
    bool unkillable = false;
    bool throws = false;
    bool exitAfterListing = false;
  };

  // Clock.
  bool fireNext(std::int64_t limit);

  // Files.
  std::string resolve(const std::string &path) const; // canonical, original case
  static std::string parentOf(const std::string &canonical);
  FileNode *node(const std::string &path);
  const FileNode *node(const std::string &path) const;
  FileNode &makeFolders(const std::string &canonical);
  FileNode &writableFile(const std::string &path); // for replacing; raises
  struct Volume {
    std::string root; // folded canonical
    std::string fileSystem;
    bool shortNames = true;
  };
  const Volume *volumeOf(const std::string &canonical) const;
  // The last-write time the volume of the path keeps for `fileTime`.
  std::int64_t keptTime(const std::string &canonical, std::int64_t fileTime) const;
  // The short name of a child of the folder, "" when its volume makes none.
  std::string shortNameOf(const std::string &folder, const std::string &name) const;
  // The child of the folder with that long or short name, "" when none.
  std::string childNamed(const std::string &folder, const std::string &name) const;

  // Windows.
  Window *live(Hwnd hwnd);
  const Window *live(Hwnd hwnd) const;
  FormData *formData(Hwnd hwnd);
  const FormData *formData(Hwnd hwnd) const;
  Hwnd newHandle();
  void raise(Hwnd hwnd);
  void dropForeground(Hwnd hwnd);
  WinRect rectOf(const Window &window) const;
  void setRectPixels(Hwnd hwnd, const WinRect &rect);
  void setFormSize(Hwnd hwnd, float width, float height);
  void reportResize(Hwnd hwnd);
  // A request to a window that does not answer waits; true when it did.
  bool deferred(Hwnd hwnd, std::function<void()> request);
  void applyShow(Hwnd window, ShowCommand command);
  void applySetPos(Hwnd window, ZOrder insertAfter, std::int32_t x, std::int32_t y, std::int32_t cx,
                   std::int32_t cy, Placement flags);
  bool reachable(Hwnd form, const std::string &name, int *id) const;

  // Keyboard.
  void keyChange(int vk, bool down);

  std::int64_t now_ = 0;
  std::uint64_t seq_ = 0;
  bool ended_ = false;
  std::map<std::pair<Hwnd, int>, TimerSlot> timers_;
  std::vector<Action> actions_;

  std::vector<DisplayMode> modes_;
  int screenW_ = 1280;
  int screenH_ = 1024;
  std::uint32_t screenBits_ = 32;
  std::uint32_t screenHertz_ = 60;
  int dpi_ = 96;
  std::vector<EnumCall> enumCalls_;
  std::vector<DisplayChange> displayChanges_;

  std::map<std::string, FileNode> files_; // key: folded canonical path
  int copyBudget_ = -1;
  long copyError_ = err::PermissionDenied;
  int copies_ = 0;
  int copyAttempts_ = 0;
  std::int64_t copyTime_ = 0;
  std::function<void()> whileCopying_;
  std::vector<Volume> volumes_;
  int ansiCodePage_ = 1251;

  std::map<SpecialFolder, std::string> specialFolders_;
  std::string exeFolder_;
  int shortcutsSaved_ = 0;
  bool failShortcuts_ = false;
  std::vector<ShellRun> runs_;
  bool failRun_ = false;
  long runError_ = 0;
  std::function<void(const ShellRun &)> runHandler_;
  std::vector<MessageBoxCall> messageBoxes_;
  std::vector<std::optional<std::string>> dialogAnswers_;
  bool failDialog_ = false;
  std::vector<DialogCall> dialogs_;

  std::set<std::pair<RegistryRoot, std::string>> regKeys_; // folded keys
  std::map<std::tuple<RegistryRoot, std::string, std::string>, std::string> regValues_;
  long regFailure_ = 0;
  std::vector<RegCall> regCalls_;

  std::map<Hwnd, Window> windows_; // live ones only
  std::vector<Hwnd> zOrder_;
  Hwnd nextHandle_ = 0x00010010;
  Hwnd foreground_ = 0;
  std::vector<WindowCall> windowCalls_;

  bool keyStateLags(int vk) const {
    return now_ - pressedAt_[static_cast<std::size_t>(vk)] < keyStateLag_;
  }
  bool down_[256] = {};
  std::int64_t pressedAt_[256] = {};
  std::int64_t keyStateLag_ = 0;
  KeyPresses presses_;
  int keyWatchers_ = 0;
  std::vector<KeyEvent> keyEvents_;
  long keyQueries_ = 0;
  std::int64_t lastInputAt_ = -1000000; // long before the clock starts
  std::vector<MouseEvent> mouseEvents_;

  std::map<std::uint32_t, Process> processes_;
  std::uint32_t nextPid_ = 1000;
  bool failListing_ = false;
  std::vector<Termination> terminations_;

  std::map<std::string, std::function<void()>> instances_; // key: folded name

  int guardianStarts_ = 0;
  std::string guardianOrders_;
  std::string guardianProgram_;
  bool launchesTied_ = false;
  bool launching_ = false; // a run handler runs
  bool tracing_ = true;
  bool guardianReleased_ = false;
  bool asGuardian_ = false;
  std::vector<TraceLine> trace_;
};

} // namespace pexor::sim
