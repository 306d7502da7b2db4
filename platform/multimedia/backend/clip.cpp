// A decoded sound file that plays from its own thread, and the sine tone.
#include "clip.h"

#include <sndfile.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "pcm.h"

namespace win::sound {
namespace {

class Clip : public AudioClip {
 public:
  Clip(std::vector<int16_t> samples, int channels, int rate)
      : samples_(std::move(samples)), channels_(channels), rate_(rate) {}
  ~Clip() override { Stop(); }

  unsigned LengthMs() const override {
    return static_cast<unsigned>(Frames() * 1000 / static_cast<unsigned long long>(rate_));
  }

  void Start(unsigned fromMs, unsigned toMs, bool repeat) override {
    Stop();
    size_t from = std::min(Frames(), static_cast<size_t>(static_cast<unsigned long long>(fromMs) * rate_ / 1000));
    size_t to = std::min(Frames(), static_cast<size_t>(static_cast<unsigned long long>(toMs) * rate_ / 1000));
    if (toMs >= LengthMs()) to = Frames();
    if (from >= to) return;
    stop_ = false;
    player_ = std::thread([this, from, to, repeat] { PlayFrames(samples_, channels_, rate_, from, to, repeat, stop_); });
  }

  void Stop() override {
    stop_ = true;
    if (player_.joinable()) player_.join();
  }

  void Wait() override {
    if (player_.joinable()) player_.join();
  }

 private:
  size_t Frames() const { return samples_.size() / static_cast<size_t>(channels_); }

  std::vector<int16_t> samples_;
  int channels_, rate_;
  std::atomic<bool> stop_{false};
  std::thread player_;
};

}  // namespace

std::unique_ptr<AudioClip> LoadClip(const std::string& hostPath) {
  SF_INFO info{};
  SNDFILE* f = sf_open(hostPath.c_str(), SFM_READ, &info);
  if (!f) return nullptr;
  if (info.channels <= 0 || info.samplerate <= 0 || info.frames < 0) {
    sf_close(f);
    return nullptr;
  }
  std::vector<int16_t> samples;
  std::vector<int16_t> block(4096 * static_cast<size_t>(info.channels));
  for (;;) {
    sf_count_t n = sf_readf_short(f, block.data(), 4096);
    if (n <= 0) break;
    samples.insert(samples.end(), block.begin(), block.begin() + n * info.channels);
  }
  sf_close(f);
  return std::make_unique<Clip>(std::move(samples), info.channels, info.samplerate);
}

bool PlayTone(unsigned frequency, unsigned ms) {
  const int rate = 44100;
  size_t frames = static_cast<size_t>(static_cast<unsigned long long>(ms) * rate / 1000);
  std::vector<int16_t> samples(frames);
  // Soft edges, so the tone starts and ends without a click.
  size_t edge = std::min(frames / 2, static_cast<size_t>(rate / 200));
  for (size_t i = 0; i < frames; ++i) {
    double gain = 1.0;
    if (i < edge) gain = static_cast<double>(i) / edge;
    if (frames - i < edge) gain = static_cast<double>(frames - i) / edge;
    samples[i] = static_cast<int16_t>(12000.0 * gain * std::sin(2 * M_PI * frequency * static_cast<double>(i) / rate));
  }
  std::atomic<bool> stop{false};
  return PlayFrames(samples, 1, rate, 0, frames, false, stop);
}

}  // namespace win::sound
