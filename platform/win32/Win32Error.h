#pragma once

#include "platform/Error.h"

#include "platform/win32/Win32Api.h"

namespace pexor::win32 {

// A failed file operation as the file-system object reports it.
Error fileError(DWORD code);
[[noreturn]] inline void raiseLastFileError() { throw fileError(GetLastError()); }

// A failed component call: its HRESULT as the number, as automation reports it.
Error comError(HRESULT result);

} // namespace pexor::win32
