// The sound module's entry point: the backend over the ALSA sequencer,
// FluidSynth, libsndfile, the ALSA audio output and libcanberra.
#include <alsa/asoundlib.h>
#include <canberra.h>

#include <memory>
#include <mutex>

#include "alsa_port.h"
#include "clip.h"
#include "sound_backend.h"
#include "synth.h"

namespace win::sound {
namespace {

// ALSA's complaints (no sequencer, no sound card) are answers here, not news.
void Quiet(const char*, int, const char*, int, const char*, ...) {}

class Backend : public SoundBackend {
 public:
  Backend() { snd_lib_error_set_handler(Quiet); }

  bool ConnectPort(const std::string& port) override {
    std::lock_guard<std::mutex> hold(lock_);
    if (!port_) port_ = std::make_unique<SequencerPort>();
    if (port_->Connect(port)) return true;
    port_.reset();
    return false;
  }

  bool StartSynth() override {
    std::lock_guard<std::mutex> hold(lock_);
    return synth_.Start();
  }

  bool StartRender(const std::string& wavPath) override {
    std::lock_guard<std::mutex> hold(lock_);
    port_.reset();  // the rendering takes the messages
    return synth_.StartRender(wavPath);
  }

  void RenderTo(unsigned long long ms) override {
    std::lock_guard<std::mutex> hold(lock_);
    synth_.RenderTo(ms);
  }

  void MidiShort(uint32_t msg) override {
    std::lock_guard<std::mutex> hold(lock_);
    if (port_)
      port_->Send(msg);
    else
      synth_.Send(msg);
  }

  bool Bell() override {
    if (!bell_ && ca_context_create(&bell_) != CA_SUCCESS) bell_ = nullptr;
    return bell_ && ca_context_play(bell_, 0, CA_PROP_EVENT_ID, "bell", CA_PROP_EVENT_DESCRIPTION, "Glocke",
                                    nullptr) == CA_SUCCESS;
  }

  bool Tone(unsigned frequency, unsigned ms) override { return PlayTone(frequency, ms); }

  std::unique_ptr<AudioClip> LoadClip(const std::string& hostPath) override {
    return sound::LoadClip(hostPath);
  }

  void Shutdown() override {
    std::lock_guard<std::mutex> hold(lock_);
    synth_.Stop();
    port_.reset();
    if (bell_) ca_context_destroy(bell_);
    bell_ = nullptr;
  }

 private:
  std::mutex lock_;  // a sequence plays from a thread of its own
  std::unique_ptr<SequencerPort> port_;
  Synth synth_;
  ca_context* bell_ = nullptr;
};

}  // namespace
}  // namespace win::sound

extern "C" __attribute__((visibility("default"))) win::SoundBackend* tilmor_sound_backend(int version) {
  if (version != win::kSoundBackendVersion) return nullptr;
  static win::sound::Backend backend;
  return &backend;
}
