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

bool Win32Port::terminateProcess(std::uint32_t pid) {
  UniqueHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, pid));
  return process && TerminateProcess(process.get(), 0) != FALSE;
}

} // namespace pexor::win32
