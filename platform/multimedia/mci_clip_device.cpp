// The MCI devices "waveaudio" and "mpegvideo": a sound file, decoded by
// the sound module, played on the audio output.
#include <memory>

#include "batch.h"
#include "mci_device.h"
#include "sound_backend.h"

namespace win {
namespace {

class ClipDevice : public MciDevice {
 public:
  ClipDevice(int id, const std::string& name, const std::string& type, const std::string& element,
             std::unique_ptr<AudioClip> clip)
      : MciDevice(id, name, type, element), clip_(std::move(clip)) {}
  ~ClipDevice() override {
    if (clip_) clip_->Stop();
  }

  unsigned LengthMs() const override { return clip_ ? clip_->LengthMs() : 0; }
  bool HasMedia() const override { return clip_ != nullptr; }

 protected:
  MCIERROR StartOutput(unsigned from, unsigned to, bool repeat, bool) override {
    // Batch mode plays nothing; the time passes all the same.
    if (!IsBatchMode()) clip_->Start(from, to, repeat);
    return 0;
  }
  void StopOutput() override { clip_->Stop(); }
  void FinishOutput() override {
    if (!IsBatchMode()) clip_->Wait();
  }

 private:
  std::unique_ptr<AudioClip> clip_;
};

}  // namespace

MciDevice* MakeClipDevice(int id, const std::string& name, const std::string& type,
                          const std::string& element, const std::string& hostPath, MCIERROR* error) {
  std::unique_ptr<AudioClip> clip;
  if (!hostPath.empty()) {
    SoundBackend* s = Sound();
    if (!s) {
      *error = MCIERR_CANNOT_LOAD_DRIVER;
      return nullptr;
    }
    clip = s->LoadClip(hostPath);
    if (!clip) {
      *error = MCIERR_INVALID_FILE;
      return nullptr;
    }
  }
  return new ClipDevice(id, name, type, element, std::move(clip));
}

}  // namespace win
