// The built-in General MIDI synthesizer: FluidSynth with a sound font that
// Debian ships, playing through the audio output or into a WAV file.
#pragma once

#include <cstdint>
#include <string>

namespace win::sound {

// The sound font: $TILMOR_SOUNDFONT, else Debian's General MIDI fonts; ""
// when there is none.
std::string FindSoundFont();

class Synth {
 public:
  ~Synth();
  // Live: through whatever audio output FluidSynth finds, or none.
  bool Start();
  // Into a WAV file, as far as RenderTo says.
  bool StartRender(const std::string& wavPath);
  void RenderTo(unsigned long long ms);
  void Send(uint32_t msg);
  void Stop();

 private:
  bool Create();
  struct Parts;
  Parts* p_ = nullptr;
};

}  // namespace win::sound
