// Standard MIDI files (and RIFF RMID files around one): the channel
// messages of all tracks in time order, in milliseconds by the tempo map.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace win {

struct MidiEvent {
  unsigned ms = 0;
  uint32_t msg = 0;  // status | data1 << 8 | data2 << 16
};

struct MidiSequence {
  std::vector<MidiEvent> events;
  unsigned lengthMs = 0;  // to the last event or track end
  int tracks = 0;
};

// False with the reason when the bytes are not a MIDI file.
bool ParseMidiFile(std::string_view bytes, MidiSequence* seq, std::string* why);
bool ReadMidiFile(const std::string& hostPath, MidiSequence* seq, std::string* why);

}  // namespace win
