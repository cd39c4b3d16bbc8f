#pragma once

// The Windows headers, for the adapter. Names of the port that Windows also
// defines as macros (the display-mode field flags) are declared before the
// macros exist.
#include "platform/DisplayMode.h"

#include <windows.h>
