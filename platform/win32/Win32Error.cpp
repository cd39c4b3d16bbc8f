#include "platform/win32/Win32Error.h"

#include "platform/win32/Text.h"

#include <cstdint>

namespace pexor::win32 {

namespace {
constexpr long FileAlreadyExists = 58;

std::string systemMessage(DWORD code) {
  wchar_t *buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
  std::wstring text(buffer != nullptr ? buffer : L"", length);
  LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
    text.pop_back();
  return narrow(text);
}
} // namespace

Error fileError(DWORD code) {
  switch (code) {
  case ERROR_FILE_NOT_FOUND:
    return Error(err::FileNotFound, "File not found");
  case ERROR_PATH_NOT_FOUND:
  case ERROR_INVALID_DRIVE:
  case ERROR_BAD_NETPATH:
  case ERROR_BAD_PATHNAME:
  case ERROR_INVALID_NAME:
  case ERROR_DIRECTORY:
    return Error(err::PathNotFound, "Path not found");
  case ERROR_ACCESS_DENIED:
  case ERROR_SHARING_VIOLATION:
  case ERROR_LOCK_VIOLATION:
  case ERROR_WRITE_PROTECT:
    return Error(err::PermissionDenied, "Permission denied");
  case ERROR_DISK_FULL:
  case ERROR_HANDLE_DISK_FULL:
    return Error(err::DiskFull, "Disk full");
  case ERROR_FILE_EXISTS:
  case ERROR_ALREADY_EXISTS:
    return Error(FileAlreadyExists, "File already exists");
  default:
    return Error(err::PathFileAccess, "Path/File access error");
  }
}

Error comError(HRESULT result) {
  const std::string message = systemMessage(static_cast<DWORD>(result));
  return Error(static_cast<long>(static_cast<std::int32_t>(result)),
               message.empty() ? "Automation error" : "Automation error\n" + message);
}

} // namespace pexor::win32
