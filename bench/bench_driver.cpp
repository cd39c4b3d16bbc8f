// Times the launcher against its budgets and prints one table.
//
// Layout, beside this program (cmake/bench.cmake builds it so):
//   stage\PexorLauncher.exe, stage\DoxPexor   the launcher and a shipped folder
//   bare_window.exe                           the floor: one bare window
//   bench_copy.exe                            the launcher's install copy alone
//   work\Documents                            the Documents folder during the run
//
// Every figure is the median of several runs. The variants compared with
// each other are run in turn inside one loop, so that a slow spell of the
// machine falls on all of them alike.
//
// Usage: bench_driver.exe [--runs N] [--idle-runs N] [--idle-seconds S]
//                         [--only start,copy,idle,shutdown,guardian]
// Exit status: 0 every budget met, 1 a budget missed, 2 something could not
// be measured.
#include "bench/BenchSupport.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

namespace bench {
namespace {

constexpr const wchar_t *LauncherCaption = L"DOS програма чрез DosBox";
constexpr const wchar_t *BareCaption = L"Bare window";
constexpr const wchar_t *EmulatorClass = L"SDL_app";
constexpr int CyclesItems = 28;
constexpr DWORD StartLimitMs = 60000;
constexpr DWORD ExitLimitMs = 10000;
// After the window is up: painting and the first timer ticks, before the
// peak working set is read and the window is closed.
constexpr DWORD SettleMs = 500;
constexpr unsigned long long ExeBudgetBytes = 1536ULL * 1024; // 1.5 MB

struct Options {
  int runs = 7;
  int idleRuns = 5;
  int idleSeconds = 30;
  std::wstring only; // comma-separated parts to run; empty: all
  bool wants(const wchar_t *part) const {
    return only.empty() ||
           (L"," + only + L",").find(std::wstring(L",") + part + L",") != std::wstring::npos;
  }
};

struct Paths {
  std::wstring root = exeFolder();
  std::wstring stage = join(root, L"stage");
  std::wstring launcher = join(stage, L"PexorLauncher.exe");
  std::wstring shipped = join(stage, L"DoxPexor");
  std::wstring bare = join(root, L"bare_window.exe");
  std::wstring copier = join(root, L"bench_copy.exe");
  std::wstring documents = join(root, L"work\\Documents");
  std::wstring installed = join(documents, L"DoxPexor");
};

double median(std::vector<double> values) {
  if (values.empty())
    return 0;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Series {
  const char *name;
  std::vector<double> values;
  void add(double v) { values.push_back(v); }
  double median() const { return bench::median(values); }
};

// Something that could not be measured: the run goes on, the exit status says so.
bool &troubled() {
  static bool flag = false;
  return flag;
}

void problem(const char *what) {
  std::fprintf(stderr, "bench: %s\n", what);
  std::fflush(stderr);
  troubled() = true;
}

std::string narrow(const std::wstring &wide) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, out.data(), n, nullptr, nullptr);
  out.resize(out.size() - 1);
  return out;
}

struct TreeStats {
  unsigned long long files = 0, bytes = 0;
  bool operator==(const TreeStats &) const = default;
};

TreeStats treeStats(const std::wstring &folder) {
  TreeStats stats;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(join(folder, L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE)
    return stats;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..")
      continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      const TreeStats sub = treeStats(join(folder, name));
      stats.files += sub.files;
      stats.bytes += sub.bytes;
    } else {
      ++stats.files;
      stats.bytes +=
          (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return stats;
}

// --- Windows of the programs under test -------------------------------------

// Form1 visible with its lists filled (the cycles list holds all its items).
bool form1Ready(HWND form) {
  if (!form || !IsWindowVisible(form))
    return false;
  const std::vector<HWND> lists = listBoxes(form);
  return lists.size() >= 2 && listCount(lists[1]) == CyclesItems;
}

HWND waitForWindow(const Process &process, const wchar_t *caption,
                   const std::function<bool(HWND)> &ready) {
  const double deadline = process.startedMs + StartLimitMs;
  for (;;) {
    HWND w = windowWithCaption(process.pid, caption);
    if (w && ready(w))
      return w;
    if (waitForExit(process, 1) || nowMs() > deadline)
      return nullptr;
  }
}

bool closeAndWait(const Process &process, HWND window) {
  PostMessageW(window, WM_CLOSE, 0, 0);
  if (waitForExit(process, ExitLimitMs))
    return true;
  problem("a program did not end after WM_CLOSE; ended by force");
  kill(process);
  return false;
}

struct StartRun {
  double ms = 0;
  double peakBytes = 0;
  double startedMs = 0; // on this program's clock
};

std::optional<StartRun> timeStart(const std::wstring &exe, const wchar_t *caption,
                                  const std::function<bool(HWND)> &ready) {
  const auto process = startProcess(exe, L"");
  if (!process) {
    problem("cannot start a program under test");
    return std::nullopt;
  }
  HWND window = waitForWindow(*process, caption, ready);
  const double ended = nowMs();
  if (!window) {
    problem("the window did not come up");
    kill(*process);
    return std::nullopt;
  }
  StartRun run;
  run.ms = ended - process->startedMs;
  run.startedMs = process->startedMs;
  Sleep(SettleMs);
  run.peakBytes = static_cast<double>(peakWorkingSet(*process).value_or(0));
  closeAndWait(*process, window);
  return run;
}

std::optional<StartRun> timeLauncher(const Paths &paths) {
  return timeStart(paths.launcher, LauncherCaption, form1Ready);
}

// --- Where a start goes -----------------------------------------------------

// One step of a start as the launcher's trace tells it: the time since the
// line before (the first: since the program was started).
struct Step {
  std::string name;
  double ms = 0;
};

// A start with the trace on, read as a debug-output viewer reads it. The
// trace's clock is the performance counter, as this program's.
std::optional<std::vector<Step>> traceStart(const Paths &paths) {
  const DebugOutputListener listener;
  if (!listener.ok()) {
    problem("cannot listen to the debug output");
    return std::nullopt;
  }
  SetEnvironmentVariableW(L"PEXOR_TRACE", L"1");
  const std::optional<StartRun> run = timeLauncher(paths);
  SetEnvironmentVariableW(L"PEXOR_TRACE", nullptr);
  if (!run)
    return std::nullopt;
  const double ready = run->startedMs + run->ms;
  std::vector<Step> steps;
  double last = run->startedMs;
  for (const std::string &line : listener.lines("pexor ")) {
    double at = 0;
    int consumed = 0;
    if (std::sscanf(line.c_str(), "pexor %lf ms: %n", &at, &consumed) != 1 || consumed == 0)
      continue;
    if (at > ready)
      break;
    std::string name = line.substr(static_cast<size_t>(consumed));
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r'))
      name.pop_back();
    steps.push_back({std::move(name), at - last});
    last = at;
  }
  steps.push_back({"seen ready by this program", ready - last});
  return steps;
}

std::optional<StartRun> timeBare(const Paths &paths) {
  // Ready as the launcher is: visible and answering its messages, so both
  // are timed to the end of showing the window.
  return timeStart(paths.bare, BareCaption, [](HWND w) {
    DWORD_PTR result = 0;
    return IsWindowVisible(w) != FALSE &&
           SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) != 0;
  });
}

void clearInstalled(const Paths &paths) {
  if (!removeTree(paths.installed))
    problem("cannot remove the installed copy");
}

// --- Copies -----------------------------------------------------------------

UniqueHandle nulDevice() {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  return UniqueHandle(CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                                  OPEN_EXISTING, 0, nullptr));
}

std::optional<double> timeXcopy(const Paths &paths) {
  wchar_t system[MAX_PATH];
  const UINT n = GetSystemDirectoryW(system, MAX_PATH);
  const std::wstring xcopy = join(std::wstring(system, n), L"xcopy.exe");
  const UniqueHandle nul = nulDevice();
  const auto process = startProcess(
      xcopy, L"/E /I /Y \"" + paths.shipped + L"\" \"" + paths.installed + L"\"", nul.get());
  if (!process || !waitForExit(*process, StartLimitMs)) {
    problem("xcopy did not run to its end");
    return std::nullopt;
  }
  const double ms = nowMs() - process->startedMs;
  DWORD code = 1;
  GetExitCodeProcess(process->handle.get(), &code);
  if (code != 0)
    problem("xcopy failed");
  return ms;
}

struct CopyRun {
  double processMs = 0; // from CreateProcess to exit, as xcopy is timed
  double callMs = 0;    // the copy call alone, as the program reports it
};

std::optional<CopyRun> timeInstallCopy(const Paths &paths) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) {
    problem("cannot make a pipe");
    return std::nullopt;
  }
  const UniqueHandle reader(readEnd);
  UniqueHandle writer(writeEnd);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  const auto process = startProcess(
      paths.copier, L"\"" + paths.shipped + L"\" \"" + paths.installed + L"\"", writeEnd);
  writer.reset();
  if (!process || !waitForExit(*process, StartLimitMs)) {
    problem("the install copy did not run to its end");
    return std::nullopt;
  }
  CopyRun run;
  run.processMs = nowMs() - process->startedMs;
  char text[64] = {};
  DWORD got = 0;
  ReadFile(readEnd, text, sizeof text - 1, &got, nullptr);
  run.callMs = std::strtod(text, nullptr);
  DWORD code = 1;
  GetExitCodeProcess(process->handle.get(), &code);
  if (code != 0)
    problem("the install copy failed");
  return run;
}

// --- Idle and shutdown ------------------------------------------------------

std::optional<Process> startLauncherAndWait(const Paths &paths, HWND &form) {
  auto process = startProcess(paths.launcher, L"");
  if (!process) {
    problem("cannot start the launcher");
    return std::nullopt;
  }
  form = waitForWindow(*process, LauncherCaption, form1Ready);
  if (!form) {
    problem("Form1 did not come up");
    kill(*process);
    return std::nullopt;
  }
  return process;
}

struct IdleRun {
  double launcherPercent = 0;
  std::optional<double> serverPercent; // Wine's server, on the launcher's behalf
};

// Processor time over the idle period, in % of one core.
std::optional<IdleRun> timeIdle(const Paths &paths, int seconds) {
  HWND form = nullptr;
  const auto process = startLauncherAndWait(paths, form);
  if (!process)
    return std::nullopt;
  // Wine does not keep another process's processor time up to date (it
  // reports a fixed figure): under Wine, ask the host instead.
  std::function<std::optional<double>()> launcherMs = [&] { return processorMs(*process); };
  std::function<std::optional<double>()> serverMs = [] { return std::optional<double>(); };
  if (runningUnderWine() && hostProcessTableVisible()) {
    const auto launcherPid = hostPidOfProgram(paths.launcher);
    const auto serverPid = hostPidOfWineServer();
    launcherMs = [=] {
      return launcherPid ? hostProcessorMs(*launcherPid) : std::optional<double>();
    };
    if (serverPid)
      serverMs = [=] { return hostProcessorMs(*serverPid); };
    std::printf("  idle: processor time from the host's process table (launcher %lu, server %lu)\n",
                launcherPid.value_or(0), serverPid.value_or(0));
    std::fflush(stdout);
  }
  Sleep(2000); // start-up work is over; only the key watch runs now
  const auto cpu0 = launcherMs(), server0 = serverMs();
  const double wall0 = nowMs();
  Sleep(static_cast<DWORD>(seconds) * 1000);
  const auto cpu1 = launcherMs(), server1 = serverMs();
  const double wall1 = nowMs();
  closeAndWait(*process, form);
  if (!cpu0 || !cpu1) {
    problem("cannot read the launcher's processor time");
    return std::nullopt;
  }
  IdleRun run;
  run.launcherPercent = (*cpu1 - *cpu0) / (wall1 - wall0) * 100.0;
  if (server0 && server1)
    run.serverPercent = (*server1 - *server0) / (wall1 - wall0) * 100.0;
  return run;
}

struct ShutdownRun {
  double ms = 0;
  bool emulatorsEnded = false;
  bool displayRestored = false;
};

std::optional<ShutdownRun> timeShutdown(const Paths &paths) {
  HWND form = nullptr;
  const SIZE startMode = currentDisplayMode();
  const auto process = startLauncherAndWait(paths, form);
  if (!process)
    return std::nullopt;
  Sleep(SettleMs);
  const std::wstring emulator = join(paths.installed, L"DOSBox.exe");
  const size_t before = windowsOfClass(EmulatorClass).size();
  std::vector<Process> emulators;
  for (int i = 0; i < 2; ++i)
    if (auto e = startProcess(emulator, L"-bench"))
      emulators.push_back(std::move(*e));
  const double deadline = nowMs() + StartLimitMs;
  while (windowsOfClass(EmulatorClass).size() < before + 2 && nowMs() < deadline)
    Sleep(10);
  if (emulators.size() != 2 || windowsOfClass(EmulatorClass).size() < before + 2)
    problem("the two stand-in emulators did not come up");
  const int awayWidth = startMode.cx == 1024 ? 800 : 1024;
  const int awayHeight = startMode.cx == 1024 ? 600 : 768;
  if (!setDisplayMode(awayWidth, awayHeight))
    problem("cannot switch the display away from the start-up mode");

  const double begin = nowMs();
  PostMessageW(form, WM_CLOSE, 0, 0);
  const bool ended = waitForExit(*process, ExitLimitMs);
  const double end = nowMs();

  ShutdownRun run;
  run.ms = end - begin;
  run.emulatorsEnded = std::all_of(emulators.begin(), emulators.end(),
                                   [](const Process &e) { return waitForExit(e, 2000); });
  const SIZE mode = currentDisplayMode();
  run.displayRestored = mode.cx == startMode.cx && mode.cy == startMode.cy;
  for (const Process &e : emulators)
    kill(e);
  if (!ended) {
    problem("the launcher did not end after WM_CLOSE; ended by force");
    kill(*process);
    return std::nullopt;
  }
  if (!run.displayRestored)
    setDisplayMode(startMode.cx, startMode.cy);
  return run;
}

// --- The guardian -----------------------------------------------------------

struct GuardianRun {
  double startMs = 0; // the start call, which the first START pays
  double peakMb = 0;  // its working set while it waits
  double idlePercent = -1;
  double releaseMs = 0; // from the release to its end
};

// The guardian as the launcher starts it: the program with its internal
// option, this process's handle and a release event inherited.
std::optional<GuardianRun> timeGuardian(const Paths &paths) {
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  UniqueHandle release(CreateEventW(&inherited, TRUE, FALSE, nullptr));
  HANDLE self = nullptr;
  DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                  SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, TRUE, 0);
  const UniqueHandle selfForIt(self);
  const UniqueHandle nul = nulDevice();
  const SIZE mode = currentDisplayMode();
  const std::wstring arguments =
      L"/PexorGuardian " + std::to_wstring(reinterpret_cast<std::uintptr_t>(self)) + L" " +
      std::to_wstring(reinterpret_cast<std::uintptr_t>(release.get())) + L" \"display=" +
      std::to_wstring(mode.cx) + L"x" + std::to_wstring(mode.cy) + L"\"";
  const auto guardian = startProcess(paths.launcher, arguments, nul.get());
  if (!guardian) {
    problem("cannot start the guardian");
    return std::nullopt;
  }
  GuardianRun run;
  run.startMs = nowMs() - guardian->startedMs;
  Sleep(1000);
  if (!isRunning(*guardian)) {
    problem("the guardian did not wait for its launcher");
    return std::nullopt;
  }
  if (runningUnderWine() && hostProcessTableVisible())
    if (const auto pid = hostPidOfProgram(paths.launcher)) {
      const auto cpu0 = hostProcessorMs(*pid);
      const double wall0 = nowMs();
      Sleep(5000);
      const auto cpu1 = hostProcessorMs(*pid);
      if (cpu0 && cpu1)
        run.idlePercent = (*cpu1 - *cpu0) / (nowMs() - wall0) * 100.0;
    }
  run.peakMb = static_cast<double>(peakWorkingSet(*guardian).value_or(0)) / 1048576.0;
  const double released = nowMs();
  SetEvent(release.get());
  if (!waitForExit(*guardian, ExitLimitMs)) {
    problem("the guardian outlived its release");
    kill(*guardian);
    return std::nullopt;
  }
  run.releaseMs = nowMs() - released;
  return run;
}

// --- The table --------------------------------------------------------------

struct Row {
  std::string measurement;
  std::string median;
  size_t runs = 0;
  std::string budget;
  std::string result;
};

std::string format(const char *pattern, double value) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

std::string verdict(bool measured, bool met) {
  if (!measured)
    return "n/a";
  return met ? "pass" : "FAIL";
}

void printTable(const std::vector<Row> &rows) {
  std::printf("\n%-44s %12s %5s  %-42s %s\n", "measurement", "median", "runs", "budget", "result");
  std::printf("%-44s %12s %5s  %-42s %s\n", std::string(44, '-').c_str(),
              std::string(12, '-').c_str(), "----", std::string(42, '-').c_str(), "------");
  for (const Row &r : rows)
    if (r.runs == 0) // a heading
      std::printf("%s\n", r.measurement.c_str());
    else
      std::printf("%-44s %12s %5zu  %-42s %s\n", r.measurement.c_str(), r.median.c_str(), r.runs,
                  r.budget.c_str(), r.result.c_str());
}

void printSamples(const std::vector<const Series *> &all) {
  std::printf("\nsamples, in run order:\n");
  for (const Series *s : all) {
    std::printf("  %-36s", s->name);
    for (double v : s->values)
      std::printf(" %.1f", v);
    std::printf("\n");
  }
}

Options parseOptions(int argc, wchar_t **argv) {
  Options o;
  for (int i = 1; i + 1 < argc; i += 2) {
    const int value = std::max(1, _wtoi(argv[i + 1]));
    if (std::wcscmp(argv[i], L"--only") == 0)
      o.only = argv[i + 1];
    else if (std::wcscmp(argv[i], L"--runs") == 0)
      o.runs = value;
    else if (std::wcscmp(argv[i], L"--idle-runs") == 0)
      o.idleRuns = value;
    else if (std::wcscmp(argv[i], L"--idle-seconds") == 0)
      o.idleSeconds = value;
  }
  return o;
}

int run(int argc, wchar_t **argv) {
  const Options options = parseOptions(argc, argv);
  const Paths paths;
  for (const std::wstring &file : {paths.launcher, paths.bare, paths.copier})
    if (!fileExists(file)) {
      std::fprintf(stderr, "bench: missing %s\n", narrow(file).c_str());
      return 2;
    }
  if (!fileExists(join(paths.shipped, L"DOSBox.exe"))) {
    std::fprintf(stderr, "bench: no shipped folder at %s\n", narrow(paths.shipped).c_str());
    return 2;
  }
  createFolders(paths.documents);
  const DocumentsRedirect documents(paths.documents);
  if (!documents.ok()) {
    std::fprintf(stderr, "bench: cannot point Documents at %s\n", narrow(paths.documents).c_str());
    return 2;
  }
  const TreeStats shipped = treeStats(paths.shipped);
  const SIZE mode = currentDisplayMode();
  std::printf(
      "shipped folder: %llu files, %.1f MB; display %ldx%ld; %d runs each, idle %d x %d s\n",
      shipped.files, static_cast<double>(shipped.bytes) / 1048576.0, mode.cx, mode.cy, options.runs,
      options.idleRuns, options.idleSeconds);
  std::fflush(stdout);

  Series floor{"floor: bare window start-up (ms)", {}};
  Series first{"start-up, first (ms)", {}};
  Series second{"start-up, second (ms)", {}};
  Series xcopy{"xcopy /E /I /Y (ms)", {}};
  Series copyProcess{"install copy, process (ms)", {}};
  Series copyCall{"install copy, copy call (ms)", {}};
  Series copyUnchanged{"install copy, unchanged (ms)", {}};
  Series copyUnchangedCall{"install copy, unchanged, call (ms)", {}};
  Series idle{"idle processor time (%)", {}};
  Series idleServer{"idle, Wine server's time (%)", {}};
  Series shutdown{"shutdown (ms)", {}};
  Series peakLauncher{"peak working set, launcher (MB)", {}};
  Series peakBare{"peak working set, bare (MB)", {}};
  Series guardianStart{"guardian, start call (ms)", {}};
  Series guardianPeak{"guardian, working set (MB)", {}};
  Series guardianIdle{"guardian, idle processor time (%)", {}};
  Series guardianRelease{"guardian, release to end (ms)", {}};
  bool emulatorsEnded = true, displayRestored = true;
  // The traced second start's steps, in the order the first run met them.
  std::vector<std::string> stepNames;
  std::vector<Series> stepTimes;
  std::vector<std::string> stepLabels;

  // Warm-up, not counted: the first programs of a session load what the
  // later ones find in memory.
  timeBare(paths);
  clearInstalled(paths);
  timeLauncher(paths);
  clearInstalled(paths);
  timeXcopy(paths);

  const int startRuns = options.wants(L"start") ? options.runs : 0;
  const int copyRuns = options.wants(L"copy") ? options.runs : 0;
  const int idleRuns = options.wants(L"idle") ? options.idleRuns : 0;
  const int shutdownRuns = options.wants(L"shutdown") ? options.runs : 0;

  std::printf("start-up...\n");
  std::fflush(stdout);
  for (int i = 0; i < startRuns; ++i) {
    if (const auto r = timeBare(paths)) {
      floor.add(r->ms);
      peakBare.add(r->peakBytes / 1048576.0);
    }
    clearInstalled(paths);
    if (const auto r = timeLauncher(paths)) {
      first.add(r->ms);
      peakLauncher.add(r->peakBytes / 1048576.0);
    }
    if (const auto r = timeLauncher(paths)) {
      second.add(r->ms);
      peakLauncher.add(r->peakBytes / 1048576.0);
    }
    if (const auto steps = traceStart(paths))
      for (const Step &step : *steps) {
        const auto at = std::find(stepNames.begin(), stepNames.end(), step.name);
        if (at != stepNames.end()) {
          stepTimes[static_cast<size_t>(at - stepNames.begin())].add(step.ms);
          continue;
        }
        stepNames.push_back(step.name);
        stepLabels.push_back("  " + step.name + " (ms)");
        stepTimes.push_back(Series{nullptr, {step.ms}});
      }
  }
  for (size_t i = 0; i < stepTimes.size(); ++i)
    stepTimes[i].name = stepLabels[i].c_str();

  std::printf("install copy...\n");
  std::fflush(stdout);
  for (int i = 0; i < copyRuns; ++i) {
    clearInstalled(paths);
    if (const auto ms = timeXcopy(paths))
      xcopy.add(*ms);
    if (i == 0 && !(treeStats(paths.installed) == shipped))
      problem("xcopy's copy differs from the shipped folder");
    clearInstalled(paths);
    if (const auto r = timeInstallCopy(paths)) {
      copyProcess.add(r->processMs);
      copyCall.add(r->callMs);
    }
    if (i == 0 && !(treeStats(paths.installed) == shipped))
      problem("the install copy differs from the shipped folder");
    if (const auto r = timeInstallCopy(paths)) {
      copyUnchanged.add(r->processMs);
      copyUnchangedCall.add(r->callMs);
    }
  }

  std::printf("idle...\n");
  std::fflush(stdout);
  for (int i = 0; i < idleRuns; ++i)
    if (const auto r = timeIdle(paths, options.idleSeconds)) {
      idle.add(r->launcherPercent);
      if (r->serverPercent)
        idleServer.add(*r->serverPercent);
    }

  std::printf("shutdown...\n");
  std::fflush(stdout);
  for (int i = 0; i < shutdownRuns; ++i)
    if (const auto r = timeShutdown(paths)) {
      shutdown.add(r->ms);
      emulatorsEnded = emulatorsEnded && r->emulatorsEnded;
      displayRestored = displayRestored && r->displayRestored;
    }
  if (!emulatorsEnded)
    problem("the launcher left a stand-in emulator running at shutdown");
  if (!displayRestored)
    problem("the launcher did not restore the start-up display mode at shutdown");

  std::printf("guardian...\n");
  std::fflush(stdout);
  const int guardianRuns = options.wants(L"guardian") ? options.runs : 0;
  for (int i = 0; i < guardianRuns; ++i)
    if (const auto r = timeGuardian(paths)) {
      guardianStart.add(r->startMs);
      guardianPeak.add(r->peakMb);
      if (r->idlePercent >= 0)
        guardianIdle.add(r->idlePercent);
      guardianRelease.add(r->releaseMs);
    }

  const auto exeBytes = fileSize(paths.launcher);
  const double floorMs = floor.median(), xcopyMs = xcopy.median();
  const double firstLimit = 1.3 * floorMs + xcopyMs, secondLimit = 1.25 * floorMs;
  const double peakLimit = 1.3 * peakBare.median();
  auto has = [](const Series &s) { return !s.values.empty(); };
  // A limit drawn from other figures, or only its rule when they are missing.
  auto limit = [](bool known, const char *pattern, double value, const char *rule) {
    return known ? format(pattern, value) + " (" + rule + ")" : std::string(rule);
  };

  std::vector<Row> rows;
  rows.push_back({"start-up, first (nothing installed)", format("%.0f ms", first.median()),
                  first.values.size(),
                  limit(has(floor) && has(xcopy), "<= %.0f ms", firstLimit, "1.3 x floor + xcopy"),
                  verdict(has(first) && has(floor) && has(xcopy), first.median() <= firstLimit)});
  rows.push_back({"start-up, second (installed, unchanged)", format("%.0f ms", second.median()),
                  second.values.size(),
                  limit(has(floor), "<= %.0f ms", secondLimit, "1.25 x floor"),
                  verdict(has(second) && has(floor), second.median() <= secondLimit)});
  if (!stepNames.empty())
    rows.push_back(
        {"second start, traced, step by step (time since the step before):", "", 0, "", ""});
  for (size_t i = 0; i < stepNames.size(); ++i)
    rows.push_back({"  " + stepNames[i], format("%.1f ms", stepTimes[i].median()),
                    stepTimes[i].values.size(), "-", "-"});
  rows.push_back(
      {"floor: bare window start-up", format("%.0f ms", floorMs), floor.values.size(), "-", "-"});
  rows.push_back({"xcopy /E /I /Y", format("%.0f ms", xcopyMs), xcopy.values.size(), "-", "-"});
  rows.push_back({"install copy (process, like xcopy)", format("%.0f ms", copyProcess.median()),
                  copyProcess.values.size(), limit(has(xcopy), "<= %.0f ms", xcopyMs, "xcopy"),
                  verdict(has(copyProcess) && has(xcopy), copyProcess.median() <= xcopyMs)});
  rows.push_back({"install copy (the copy call alone)", format("%.0f ms", copyCall.median()),
                  copyCall.values.size(), "-", "-"});
  rows.push_back({"install copy over an unchanged copy", format("%.0f ms", copyUnchanged.median()),
                  copyUnchanged.values.size(), "-", "-"});
  rows.push_back({"  the same, the copy call alone", format("%.0f ms", copyUnchangedCall.median()),
                  copyUnchangedCall.values.size(), "-", "-"});
  rows.push_back({format("idle processor time over %.0f s", options.idleSeconds),
                  format("%.2f %%", idle.median()), idle.values.size(), "< 0.5 % of one core",
                  verdict(has(idle), idle.median() < 0.5)});
  if (has(idleServer))
    rows.push_back({"  the same, Wine's server (host only)", format("%.2f %%", idleServer.median()),
                    idleServer.values.size(), "-", "-"});
  rows.push_back({"shutdown (2 emulators, display switched)", format("%.0f ms", shutdown.median()),
                  shutdown.values.size(), "< 300 ms",
                  verdict(has(shutdown), shutdown.median() < 300)});
  rows.push_back({"peak working set, launcher (start-up runs)",
                  format("%.1f MB", peakLauncher.median()), peakLauncher.values.size(),
                  limit(has(peakBare), "<= %.1f MB", peakLimit, "1.3 x bare"),
                  verdict(has(peakLauncher) && has(peakBare) && peakBare.median() > 0,
                          peakLauncher.median() <= peakLimit)});
  rows.push_back({"peak working set, bare window", format("%.1f MB", peakBare.median()),
                  peakBare.values.size(), "-", "-"});
  rows.push_back(
      {"guardian: its start, paid by the first START", format("%.0f ms", guardianStart.median()),
       guardianStart.values.size(), limit(has(floor), "<= %.0f ms", 0.5 * floorMs, "0.5 x floor"),
       verdict(has(guardianStart) && has(floor), guardianStart.median() <= 0.5 * floorMs)});
  rows.push_back(
      {"guardian: working set while it waits", format("%.1f MB", guardianPeak.median()),
       guardianPeak.values.size(),
       limit(has(peakBare), "<= %.1f MB", peakBare.median(), "bare window"),
       verdict(has(guardianPeak) && has(peakBare), guardianPeak.median() <= peakBare.median())});
  if (has(guardianIdle))
    rows.push_back({"guardian: idle processor time over 5 s",
                    format("%.2f %%", guardianIdle.median()), guardianIdle.values.size(),
                    "< 0.5 % of one core", verdict(true, guardianIdle.median() < 0.5)});
  rows.push_back({"guardian: gone after its release", format("%.0f ms", guardianRelease.median()),
                  guardianRelease.values.size(), "< 300 ms",
                  verdict(has(guardianRelease), guardianRelease.median() < 300)});
  const double exeMb = exeBytes ? static_cast<double>(*exeBytes) / 1048576.0 : 0;
  rows.push_back({"size of PexorLauncher.exe", format("%.2f MB", exeMb), 1, "< 1.50 MB",
                  verdict(exeBytes.has_value(), exeBytes && *exeBytes < ExeBudgetBytes)});
  printTable(rows);
  std::vector<const Series *> samples{
      &floor,          &first,         &second,        &xcopy,
      &copyProcess,    &copyCall,      &copyUnchanged, &copyUnchangedCall,
      &idle,           &idleServer,    &shutdown,      &peakLauncher,
      &peakBare,       &guardianStart, &guardianPeak,  &guardianIdle,
      &guardianRelease};
  for (const Series &step : stepTimes)
    samples.push_back(&step);
  printSamples(samples);
  std::fflush(stdout);

  clearInstalled(paths);
  if (troubled())
    return 2;
  const bool allMet =
      std::all_of(rows.begin(), rows.end(), [](const Row &r) { return r.result != "FAIL"; });
  return allMet ? 0 : 1;
}

} // namespace
} // namespace bench

int wmain(int argc, wchar_t **argv) { return bench::run(argc, argv); }
