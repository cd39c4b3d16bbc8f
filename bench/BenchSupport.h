#pragma once

// What the benchmark driver stands on: a clock, processes it starts and
// ends, the windows it waits for, folders it clears, and the shell's
// Documents folder pointed somewhere of its own for the length of a run.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bench {

// Milliseconds on the performance counter.
double nowMs();

struct HandleCloser {
  void operator()(HANDLE handle) const {
    if (handle && handle != INVALID_HANDLE_VALUE)
      CloseHandle(handle);
  }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

std::wstring join(const std::wstring &folder, std::wstring_view name);
std::wstring exeFolder();
bool fileExists(const std::wstring &path);
bool folderExists(const std::wstring &path);
std::optional<unsigned long long> fileSize(const std::wstring &path);
bool createFolders(const std::wstring &path);
// Removes the folder and everything below it; true when it is gone.
bool removeTree(const std::wstring &path);

// A started process; its handle carries every access right.
struct Process {
  UniqueHandle handle;
  DWORD pid = 0;
  double startedMs = 0; // just before CreateProcess
};
// Starts the program; its standard output goes to `output` when given.
std::optional<Process> startProcess(const std::wstring &exe, const std::wstring &arguments,
                                    HANDLE output = nullptr);
bool waitForExit(const Process &process, DWORD limitMs);
bool isRunning(const Process &process);
// Ends it and waits for it to be gone.
void kill(const Process &process);
// User plus kernel processor time so far, in milliseconds.
std::optional<double> processorMs(const Process &process);
std::optional<SIZE_T> peakWorkingSet(const Process &process);

// Under Wine, GetProcessTimes tells nothing of another process's processor
// time; the host's process table does, through Wine's Z: drive. These find a
// host process and read its user plus kernel time, in milliseconds.
bool runningUnderWine();
bool hostProcessTableVisible();
// The host process running this Windows program (its full path).
std::optional<unsigned long> hostPidOfProgram(const std::wstring &exePath);
// The Wine server of the prefix this program runs in.
std::optional<unsigned long> hostPidOfWineServer();
std::optional<double> hostProcessorMs(unsigned long hostPid);

// A top-level window of the process with this caption, or nullptr.
HWND windowWithCaption(DWORD pid, const wchar_t *caption);
// Top-level windows of this class, of any process.
std::vector<HWND> windowsOfClass(const wchar_t *className);
// The list boxes among the window's children, in child order.
std::vector<HWND> listBoxes(HWND parent);
// Item count of another process's list box, or -1.
int listCount(HWND list);

// The display mode of the primary display.
SIZE currentDisplayMode();
bool setDisplayMode(int width, int height);

// The shell's Documents folder of the current user, pointed at a folder of
// the benchmark's own while this object lives, then put back.
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

} // namespace bench
