// PLAY: a chord of up to 16 MIDI keys, one per channel, held for a time;
// or, with a = -1, an instrument per channel.
#include <cstdint>
#include <vector>

#include "argreader.h"
#include "commands.h"
#include "data_registry.h"
#include "errors.h"
#include "mmsystem.h"
#include "sound.h"

namespace tilmor {
namespace {

// Value 3 and value 9 swap channels: 9 is the percussion channel.
DWORD ChannelOf(size_t j) { return j == 3 ? 9 : j == 9 ? 3 : static_cast<DWORD>(j); }

DWORD NoteOn(size_t j, int32_t key, int32_t velocity) {
  return MidiShortMessage(static_cast<int>(0x90 | ChannelOf(j)), key, velocity);
}

void CmdPlay(Interp& in, int) {
  std::vector<int8_t> values;
  while (in.param.find(';') != std::string_view::npos && values.size() < 15) {
    ReadArg(in, ';', kNumber);
    values.push_back(static_cast<int8_t>(in.res.ival & 0xFF));
  }
  ReadArg(in, ',', kNumber);
  values.push_back(static_cast<int8_t>(in.res.ival & 0xFF));
  ReadArg(in, ',', kNumber);
  int32_t a = in.res.ival;
  ReadArg(in, ' ', kNumber);
  auto c = static_cast<uint8_t>(in.res.ival & 0xFF);
  // Any reachable MIDI output will do (a single synthesizer is the usual case).
  if (midiOutGetNumDevs() == 0) return Warning(in, 234, "");
  unsigned long long t0 = win::SoundClock();
  HMIDIOUT h;
  if (midiOutOpen(&h, MIDI_MAPPER, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return Warning(in, 234, "");
  if (a >= 0) {
    for (size_t j = 0; j < values.size(); ++j) {
      int32_t v = values[j];
      if (v > 0) midiOutShortMsg(h, NoteOn(j, v - 1, 127));
      if (v < 0) midiOutShortMsg(h, NoteOn(j, -v - 1, 0));
    }
    if (a > 0) {
      int32_t e = 2000 / a;
      win::WaitUntil(t0 + static_cast<unsigned long long>(e + c * (e / 2)));
      for (size_t j = 0; j < values.size(); ++j)
        if (values[j] > 0) midiOutShortMsg(h, NoteOn(j, values[j] - 1, 0));
    }
  } else if (a == -1) {
    for (size_t j = 0; j < values.size(); ++j)
      if (j != 3) midiOutShortMsg(h, (0xC0 | ChannelOf(j)) | (static_cast<DWORD>(values[j]) & 0xFF) << 8);
  }
  midiOutClose(h);
}

}  // namespace

void RegisterPlay() { RegisterCommand("PLAY", CmdPlay); }

}  // namespace tilmor
