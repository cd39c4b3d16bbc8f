// The launcher's install copy alone: the same core function over the same
// Win32 port, in a console program, so that it can be timed against xcopy.
// Prints the time of the copy call itself, in milliseconds.
//
// Usage: bench_copy.exe FROM_FOLDER TO_FOLDER
#include "launcher/InstallCopy.h"
#include "platform/Error.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Port.h"

#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t **argv) {
  if (argc != 3) {
    std::fputs("usage: bench_copy FROM_FOLDER TO_FOLDER\n", stderr);
    return 2;
  }
  pexor::win32::Win32Port port;
  LARGE_INTEGER frequency, begin, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&begin);
  int status = 0;
  if (const auto failure = pexor::copyFolderContents(port, pexor::win32::narrow(argv[1]),
                                                     pexor::win32::narrow(argv[2]))) {
    std::fprintf(stderr, "copy failed: %s: %s\n", failure->path.c_str(), failure->error.what());
    status = 1;
  }
  QueryPerformanceCounter(&end);
  const double ms = static_cast<double>(end.QuadPart - begin.QuadPart) * 1000.0 /
                    static_cast<double>(frequency.QuadPart);
  std::printf("%.3f\n", ms);
  return status;
}
