// An open MCI device: a wave or other sound file played on the audio
// output, or a MIDI file played through the MIDI mapper. Its position runs
// on the sound clock, so batch mode and a machine without audio output
// see the same times as a desktop.
#pragma once

#include <memory>
#include <string>

#include "mmsystem.h"

namespace win {

enum class MciMode { Stopped, Playing, Paused };

class MciDevice {
 public:
  MciDevice(int id, std::string name, std::string type, std::string element)
      : id_(id), name_(std::move(name)), type_(std::move(type)), element_(std::move(element)) {}
  virtual ~MciDevice() = default;

  int Id() const { return id_; }
  const std::string& Name() const { return name_; }
  const std::string& Type() const { return type_; }
  const std::string& Element() const { return element_; }
  bool autoOpened = false;

  virtual unsigned LengthMs() const = 0;
  // A device opened without a file plays nothing.
  virtual bool HasMedia() const = 0;
  virtual int Tracks() const { return 1; }
  virtual bool HasVideo() const { return false; }

  // from..to in ms; `wait` returns when it has played.
  MCIERROR Play(unsigned from, unsigned to, bool wait, bool repeat);
  void Stop();
  void Pause();
  MCIERROR Resume();
  void Seek(unsigned to);
  unsigned Position();
  MciMode Mode();
  // Brings the play up to the clock: an end reached, notes due.
  virtual void Poll() { Position(); }

 protected:
  // The sound itself; the timeline is kept here.
  virtual MCIERROR StartOutput(unsigned from, unsigned to, bool repeat, bool wait) = 0;
  virtual void StopOutput() = 0;
  // After a waited play has run its time: the output's tail.
  virtual void FinishOutput() {}

  MciMode mode_ = MciMode::Stopped;
  unsigned pos_ = 0, from_ = 0, to_ = 0;
  bool repeat_ = false;
  unsigned long long started_ = 0;

 private:
  int id_;
  std::string name_, type_, element_;
};

MciDevice* MakeClipDevice(int id, const std::string& name, const std::string& type,
                          const std::string& element, const std::string& hostPath, MCIERROR* error);
MciDevice* MakeSequencer(int id, const std::string& name, const std::string& element,
                         const std::string& hostPath, MCIERROR* error);

// The device for a file of the given type ("waveaudio", "sequencer",
// "mpegvideo"), or an error: file not found, not readable as that type.
MCIERROR OpenMciFile(int id, const std::string& name, const std::string& type,
                     const std::string& element, std::unique_ptr<MciDevice>* out);

}  // namespace win
