// MUSIC's walk over its text, note by note, with the waits of the three
// articulations on the sound clock.
#include "music.h"

#include <cmath>
#include <string>

#include "mmsystem.h"
#include "numbers.h"
#include "sound.h"

namespace tilmor {
namespace {

constexpr int32_t kPause = 255;

int32_t NoteOf(char c) {
  switch (c) {
    case 'C': return 0;
    case 'D': return 2;
    case 'E': return 4;
    case 'F': return 5;
    case 'G': return 7;
    case 'A': return 9;
    case 'B': return 11;
    default: return -1;
  }
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

class Walk {
 public:
  Walk(MusicState& m, std::string text) : m_(m), t_(std::move(text)) {}

  void Run(const std::function<void()>& pump) {
    for (i_ = 0; i_ < t_.size(); ++i_) {
      char c = Upper(t_[i_]);
      if (int32_t n = NoteOf(c); n >= 0) {
        Note(n);
      } else if (c == 'P') {
        Note(kPause);
      } else if (c == '<') {
        --m_.octave;
      } else if (c == '>') {
        ++m_.octave;
      } else if (c == 'O') {
        m_.octave = Number();
      } else if (c == 'L') {
        m_.length = Number();
      } else if (c == 'T') {
        m_.tempo = Number();
      } else if (c == 'V') {
        m_.volume = Number();
      } else if (c == 'K') {
        int32_t k = Number();
        m_.channel = k < 0 || k > 15 ? 0 : k;
      } else if (c == 'I') {
        Program(Number());
      } else if (c == 'M') {
        // A last "M" has no mode to give.
        if (i_ + 1 < t_.size()) m_.mode = Upper(t_[++i_]);
      }
      if (pump) pump();
    }
  }

 private:
  // The characters after the current one: the first always, then digits;
  // four of them count. The walk goes on after the last one.
  int32_t Number() {
    std::string got;
    size_t j = i_ + 1;
    if (j < t_.size()) {
      got += t_[j++];
      while (j < t_.size() && IsDigit(t_[j])) got += t_[j++];
    }
    i_ = j - 1;
    if (got.size() > 4) got.resize(4);
    return ReadWhole(got);
  }

  char Next() const { return i_ + 1 < t_.size() ? t_[i_ + 1] : '\0'; }

  void Program(int32_t program) {
    HMIDIOUT h;
    if (midiOutOpen(&h, MIDI_MAPPER, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return;
    midiOutShortMsg(h, MidiShortMessage(0xC0 + m_.channel, program, 0));
    midiOutClose(h);
  }

  void Note(int32_t n) {
    bool dotted = false;
    unsigned long long s = win::SoundClock();
    if (char c = Next(); c == '#' || c == '+' || c == '-') {
      n += c == '-' ? -1 : 1;
      ++i_;
    }
    int32_t saved = m_.length;
    bool ownLength = IsDigit(Next());
    if (ownLength) m_.length = Number();
    if (Next() == '.') {
      ++i_;
      dotted = true;
    }
    if (m_.volume > 127) m_.volume = 127;
    HMIDIOUT h;
    if (midiOutOpen(&h, MIDI_MAPPER, 0, 0, CALLBACK_NULL) == MMSYSERR_NOERROR) {
      Sound(h, n, s, static_cast<unsigned long long>(NoteMs(m_.tempo, m_.length, dotted)));
      midiOutClose(h);
    }
    if (ownLength) m_.length = saved;
  }

  void Sound(HMIDIOUT h, int32_t n, unsigned long long s, unsigned long long d) {
    if (n == kPause) return win::WaitUntil(s + d);
    int32_t key = MusicKey(m_.octave, n);
    // Keys outside the MIDI range are not sent; their time passes.
    bool send = key > 0 && key <= 127;
    int32_t velocity = m_.volume < 0 ? 0 : m_.volume;
    int status = 0x90 + m_.channel;
    auto on = [&] { if (send) midiOutShortMsg(h, MidiShortMessage(status, key, velocity)); };
    auto off = [&] { if (send) midiOutShortMsg(h, MidiShortMessage(status, key, 0)); };
    switch (m_.mode) {
      case 'L':
        on();
        win::WaitUntil(s + d);
        off();
        break;
      case 'N':
        on();
        win::WaitUntil(s + 7 * d / 8);
        off();
        win::WaitUntil(win::SoundClock() + d / 8);
        break;
      case 'S':
        on();
        win::WaitUntil(s + 4 * d / 8);
        off();
        win::WaitUntil(win::SoundClock() + 4 * d / 8);
        break;
      default:
        break;
    }
  }

  MusicState& m_;
  std::string t_;
  size_t i_ = 0;
};

}  // namespace

int32_t NoteMs(int32_t tempo, int32_t length, bool dotted) {
  if (static_cast<int64_t>(tempo) * length <= 0) return 0;
  double d = 240000.0 / tempo / length;
  if (dotted) d = d + d * 0.5;
  return static_cast<int32_t>(std::trunc(d));
}

int32_t MusicKey(int32_t octave, int32_t semitone) { return octave * 12 + semitone; }

void PlayMusic(MusicState& state, std::string_view text, const std::function<void()>& pump) {
  std::string t;
  for (char c : text)
    if (c != ' ') t += c;
  Walk(state, std::move(t)).Run(pump);
}

MusicState& Music() {
  static MusicState state;
  return state;
}

}  // namespace tilmor
