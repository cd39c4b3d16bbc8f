#pragma once

// What the benchmark driver stands on: a clock, processes it starts and
// ends, the windows it waits for, folders it clears, and the shell's
// Documents folder pointed somewhere of its own for the length of a run.

#include "tests/e2e/Harness.h"
#include "tests/e2e/HarnessWin32.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bench {

// Milliseconds on the performance counter.
double nowMs();

// Files, handles, list boxes and the display mode, as the end-to-end
// harness reads and sets them.
using e2e::currentDisplayMode;
using e2e::DebugOutputListener;
using e2e::exeFolder;
using e2e::fileExists;
using e2e::folderExists;
using e2e::join;
using e2e::listCount;
using e2e::setDisplayMode;
using e2e::UniqueHandle;
using e2e::detail::createFolders;

std::optional<unsigned long long> fileSize(const std::wstring &path);
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

// The shell's Documents folder pointed at the benchmark's own.
using e2e::DocumentsRedirect;

} // namespace bench
