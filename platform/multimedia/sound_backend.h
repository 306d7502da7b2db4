// What the loadable sound module offers the sound layer: the ALSA
// sequencer, the FluidSynth synthesizer, the audio output and sound files.
// The module is loaded the first time a program makes sound, so a program
// that makes none never maps these libraries.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace win {

// Changed whenever the interface changes.
constexpr int kSoundBackendVersion = 1;

// A sound file, decoded, ready to play on the audio output.
class AudioClip {
 public:
  virtual ~AudioClip() = default;
  virtual unsigned LengthMs() const = 0;
  // Plays from..to (ms) once, or over and over; returns at once. Without
  // an audio output nothing sounds.
  virtual void Start(unsigned fromMs, unsigned toMs, bool repeat) = 0;
  virtual void Stop() = 0;
  // Returns when a play started once has been heard to its end.
  virtual void Wait() = 0;
};

class SoundBackend {
 public:
  virtual ~SoundBackend() = default;
  // MIDI to an ALSA sequencer port ("client:port" or a client's name);
  // false when there is no sequencer or no such port.
  virtual bool ConnectPort(const std::string& port) = 0;
  // The built-in General MIDI synthesizer, playing through the audio
  // output when there is one; false without a sound font.
  virtual bool StartSynth() = 0;
  // The synthesizer plays into a WAV file instead, on the clock that
  // RenderTo gives.
  virtual bool StartRender(const std::string& wavPath) = 0;
  virtual void RenderTo(unsigned long long ms) = 0;
  // A short message to the port, else the synthesizer.
  virtual void MidiShort(uint32_t msg) = 0;
  // The desktop's "bell" sound; false when it cannot be played.
  virtual bool Bell() = 0;
  // A sine tone; returns when it has sounded. False at once without an
  // audio output.
  virtual bool Tone(unsigned frequency, unsigned ms) = 0;
  virtual std::unique_ptr<AudioClip> LoadClip(const std::string& hostPath) = 0;
  // The end of the run: sounds stop, the rendered file is completed.
  virtual void Shutdown() = 0;
};

// The module's backend, loaded on first call; nullptr when it cannot be
// loaded (the layer then stays silent).
SoundBackend* Sound();
// Whether it has been loaded (the end of the run leaves it unloaded alone).
bool SoundLoaded();

}  // namespace win

extern "C" win::SoundBackend* tilmor_sound_backend(int version);
