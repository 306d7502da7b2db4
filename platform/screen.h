// Display metrics, Win32-shaped.
#pragma once

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;

int GetSystemMetrics(int index);

namespace win {
// Bits per pixel times colour planes of the display.
int DisplayBitsPerPixel();
}  // namespace win
