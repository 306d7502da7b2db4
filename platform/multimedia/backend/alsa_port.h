// MIDI to a port of the ALSA sequencer: a running synthesizer or a
// hardware instrument, named "client:port" or by the client's name.
#pragma once

#include <cstdint>
#include <string>

namespace win::sound {

class SequencerPort {
 public:
  ~SequencerPort();
  // False when there is no sequencer or no such port.
  bool Connect(const std::string& name);
  void Send(uint32_t msg);

 private:
  struct Parts;
  Parts* p_ = nullptr;
};

}  // namespace win::sound
