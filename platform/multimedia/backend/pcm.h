// The audio output: interleaved 16-bit samples to ALSA's default device
// (which the desktop's sound server takes over where there is one).
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

namespace win::sound {

// Plays frames [from, to) once or over and over until `stop` is set;
// false when there is no audio output.
bool PlayFrames(const std::vector<int16_t>& samples, int channels, int rate, size_t from, size_t to,
                bool repeat, const std::atomic<bool>& stop);

}  // namespace win::sound
