#pragma once

#include "platform/win32/Win32Api.h"

namespace pexor::win32 {

// Libraries loaded by name come from the system folder only, never from the
// program's own folder: a player may run it from a Downloads folder that
// holds anything. Called first thing, before anything of the program runs.
void loadLibrariesFromTheSystemFolderOnly();

// A library of the system folder, loaded by its full path, so that the
// search order plays no part. Null when it cannot be loaded.
HMODULE loadSystemLibrary(const wchar_t *name);

} // namespace pexor::win32
