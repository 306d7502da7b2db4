// The timeline every MCI device shares: mode and position on the sound
// clock, play, pause, resume, stop and seek; and opening a device's file.
#include "mci_device.h"

#include "sound.h"
#include "winpath.h"

namespace win {

MCIERROR MciDevice::Play(unsigned from, unsigned to, bool wait, bool repeat) {
  if (!HasMedia()) return MCIERR_NONAPPLICABLE_FUNCTION;
  if (repeat && wait) return MCIERR_FLAGS_NOT_COMPATIBLE;
  if (from > to || to > LengthMs()) return MCIERR_OUTOFRANGE;
  if (Mode() == MciMode::Playing) StopOutput();
  from_ = from;
  to_ = to;
  repeat_ = repeat && to > from;
  started_ = SoundClock();
  mode_ = MciMode::Playing;
  if (MCIERROR e = StartOutput(from, to, repeat_, wait)) {
    mode_ = MciMode::Stopped;
    pos_ = from;
    return e;
  }
  if (wait) {
    WaitUntil(started_ + (to - from));
    FinishOutput();
    mode_ = MciMode::Stopped;
    pos_ = to;
  }
  return 0;
}

unsigned MciDevice::Position() {
  if (mode_ != MciMode::Playing) return pos_;
  unsigned long long elapsed = SoundClock() - started_;
  unsigned span = to_ - from_;
  if (repeat_) return from_ + static_cast<unsigned>(elapsed % span);
  if (elapsed < span) return from_ + static_cast<unsigned>(elapsed);
  mode_ = MciMode::Stopped;
  pos_ = to_;
  FinishOutput();
  return pos_;
}

MciMode MciDevice::Mode() {
  Poll();
  return mode_;
}

void MciDevice::Stop() {
  if (Mode() == MciMode::Playing) {
    pos_ = Position();
    StopOutput();
  }
  mode_ = MciMode::Stopped;
}

void MciDevice::Pause() {
  if (Mode() != MciMode::Playing) return;
  pos_ = Position();
  StopOutput();
  mode_ = MciMode::Paused;
}

MCIERROR MciDevice::Resume() {
  if (Mode() != MciMode::Paused) return 0;
  return Play(pos_, to_, false, repeat_);
}

void MciDevice::Seek(unsigned to) {
  Stop();
  pos_ = to > LengthMs() ? LengthMs() : to;
}

MCIERROR OpenMciFile(int id, const std::string& name, const std::string& type,
                     const std::string& element, std::unique_ptr<MciDevice>* out) {
  std::string host;
  if (!element.empty()) {
    host = HostPath(element);
    if (host.empty() || !FileExists(element)) return MCIERR_FILE_NOT_FOUND;
  }
  MCIERROR error = 0;
  MciDevice* d = type == "sequencer" ? MakeSequencer(id, name, element, host, &error)
                                     : MakeClipDevice(id, name, type, element, host, &error);
  if (!d) return error ? error : MCIERR_INTERNAL;
  out->reset(d);
  return 0;
}

}  // namespace win
