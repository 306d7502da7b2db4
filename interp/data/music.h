// The music-macro language of MUSIC: notes, pauses, octave, length, tempo,
// volume, articulation, channel and instrument, played note by note over
// the MIDI mapper. Its state lives for the whole run.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace tilmor {

struct MusicState {
  int32_t tempo = 120;
  int32_t volume = 100;
  int32_t length = 4;
  int32_t octave = 4;
  char mode = 'N';  // L legato, N normal, S staccato
  int32_t channel = 0;
};

// Milliseconds of one note: 240000 / tempo / length, half again when
// dotted; 0 when tempo × length is not positive.
int32_t NoteMs(int32_t tempo, int32_t length, bool dotted);
// The MIDI key of a note (semitone 0..11 and more after a sharp) in an
// octave; octaves beyond 0..6 go on twelve keys apart.
int32_t MusicKey(int32_t octave, int32_t semitone);

// Walks `text` (spaces removed first); `pump` runs after every character.
void PlayMusic(MusicState& state, std::string_view text, const std::function<void()>& pump);

// The run's state.
MusicState& Music();

}  // namespace tilmor
