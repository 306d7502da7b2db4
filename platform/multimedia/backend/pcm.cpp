// Writing samples to the ALSA default device, in slices so a stop is heard
// at once.
#include "pcm.h"

#include <alsa/asoundlib.h>

#include <algorithm>

namespace win::sound {

bool PlayFrames(const std::vector<int16_t>& samples, int channels, int rate, size_t from, size_t to,
                bool repeat, const std::atomic<bool>& stop) {
  snd_pcm_t* pcm = nullptr;
  if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0) return false;
  if (snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, static_cast<unsigned>(channels),
                         static_cast<unsigned>(rate), 1, 100000) < 0) {
    snd_pcm_close(pcm);
    return false;
  }
  const size_t slice = static_cast<size_t>(rate) / 50;  // 20 ms
  size_t at = from;
  while (!stop && at < to) {
    size_t n = std::min(slice, to - at);
    snd_pcm_sframes_t w = snd_pcm_writei(pcm, samples.data() + at * static_cast<size_t>(channels), n);
    if (w < 0) w = snd_pcm_recover(pcm, static_cast<int>(w), 1) < 0 ? -1 : 0;
    if (w < 0) break;
    at += static_cast<size_t>(w);
    if (at >= to && repeat) at = from;
  }
  if (stop)
    snd_pcm_drop(pcm);
  else
    snd_pcm_drain(pcm);
  snd_pcm_close(pcm);
  return true;
}

}  // namespace win::sound
