// kernel32's clock: milliseconds since an arbitrary start, never going back.
#pragma once

#include <cstdint>

#include "wintypes.h"

// Wraps after 49.7 days, as on Windows.
DWORD GetTickCount();
uint64_t GetTickCount64();
