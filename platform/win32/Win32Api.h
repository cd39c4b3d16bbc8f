#pragma once

// The Windows headers, for the adapter.
#include <windows.h>
