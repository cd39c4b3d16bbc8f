#include "platform/win32/Handles.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Port.h"

#include <tlhelp32.h>

namespace pexor::win32 {

std::vector<ProcessEntry> Win32Port::listProcesses() {
  std::vector<ProcessEntry> processes;
  UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot)
    return processes;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry))
    processes.push_back(ProcessEntry{entry.th32ProcessID, narrow(entry.szExeFile)});
  return processes;
}

std::string Win32Port::processImagePath(std::uint32_t pid) {
  UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process)
    return {};
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    auto length = static_cast<DWORD>(path.size());
    if (QueryFullProcessImageNameW(process.get(), 0, path.data(), &length) != FALSE) {
      path.resize(length);
      return narrow(path);
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || path.size() >= 32768)
      return {};
    path.resize(path.size() * 2);
  }
}

// This process goes into a job that ends everything in it when its last
// handle closes: the launches inherit the job, its guardian a handle to it,
// so the job outlives the launcher while the guardian does its work, and
// nothing it holds outlives both. A second job around a process that runs in
// one already is refused on systems older than Windows 8: then nothing holds.
bool Win32Port::tieLaunchesToProgram() {
  if (launchJob_)
    return true;
  UniqueHandle job(CreateJobObjectW(nullptr, nullptr));
  if (!job)
    return false;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits,
                              sizeof limits) == FALSE ||
      AssignProcessToJobObject(job.get(), GetCurrentProcess()) == FALSE)
    return false;
  launchJob_ = std::move(job);
  return true;
}

bool Win32Port::isLaunchOfProgram(std::uint32_t pid) {
  if (!launchJob_)
    return false;
  UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  BOOL inJob = FALSE;
  return process && pid != GetCurrentProcessId() &&
         IsProcessInJob(process.get(), launchJob_.get(), &inJob) != FALSE && inJob != FALSE;
}

bool Win32Port::terminateProcess(std::uint32_t pid) {
  UniqueHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, pid));
  return process && TerminateProcess(process.get(), 0) != FALSE;
}

} // namespace pexor::win32
