// MIDI output through "the mapper": an ALSA sequencer port named in WIN.INI,
// else the built-in synthesizer; in batch mode a silent device that only
// the MIDI log (and the rendering) hears. The device is found on the
// first need and stays for the whole run, so opening and closing it per
// command costs nothing.
#include <cstdio>
#include <mutex>
#include <set>

#include "batch.h"
#include "midiout.h"
#include "profile.h"
#include "sound.h"
#include "sound_backend.h"

namespace win {
namespace {

enum class Output { Unknown, None, Silent, Port, Synth, Render };

struct Mapper {
  Output out = Output::Unknown;
  std::set<HMIDIOUT> open;
  HMIDIOUT next = 1;
  std::mutex lock;  // a sequence may play from its own thread
};

Mapper& M() {
  static Mapper m;
  return m;
}

void EndRender() {
  if (M().out == Output::Render)
    if (SoundBackend* s = Sound()) {
      // The last notes die away.
      s->RenderTo(SoundClock() + 250);
      s->Shutdown();
    }
}

Output Find() {
  std::string port = WinIniString("MIDI", "Port", "");
  SoundBackend* s = nullptr;
  if (!port.empty()) {
    // A port that was asked for and is not there: no MIDI at all, rather
    // than a surprise from another instrument.
    s = Sound();
    if (!s || !s->ConnectPort(port)) return Output::None;
    if (!IsBatchMode()) return Output::Port;
  }
  if (IsBatchMode()) {
    if (MidiRenderPath().empty()) return Output::Silent;
    s = Sound();
    if (s && s->StartRender(MidiRenderPath())) {
      AtSoundEnd(EndRender);
      return Output::Render;
    }
    std::fprintf(stderr, "tilmor: --midi-render: the synthesizer cannot render into %s\n",
                 MidiRenderPath().c_str());
    return Output::Silent;
  }
  s = Sound();
  return s && s->StartSynth() ? Output::Synth : Output::None;
}

Output Out() {
  if (M().out == Output::Unknown) M().out = Find();
  return M().out;
}

}  // namespace

void ForgetMidiOutput() {
  std::lock_guard<std::mutex> hold(M().lock);
  M().out = Output::Unknown;
  M().open.clear();
}

MMRESULT MidiShortAt(HMIDIOUT h, DWORD msg, unsigned long long ms) {
  Mapper& m = M();
  std::lock_guard<std::mutex> hold(m.lock);
  if (!m.open.count(h)) return MMSYSERR_INVALHANDLE;
  LogMidi(ms, msg);
  switch (m.out) {
    case Output::Render:
      Sound()->RenderTo(ms);
      Sound()->MidiShort(msg);
      break;
    case Output::Port:
    case Output::Synth:
      Sound()->MidiShort(msg);
      break;
    default:
      break;
  }
  return MMSYSERR_NOERROR;
}

}  // namespace win

using namespace win;

UINT midiOutGetNumDevs() {
  PollSound();
  return Out() == Output::None ? 0 : 1;
}

MMRESULT midiOutOpen(HMIDIOUT* out, UINT device, DWORD, DWORD, DWORD) {
  PollSound();
  if (!out) return MMSYSERR_INVALPARAM;
  *out = 0;
  if (device != MIDI_MAPPER && device != 0) return MMSYSERR_BADDEVICEID;
  if (Out() == Output::None) return MIDIERR_NODEVICE;
  std::lock_guard<std::mutex> hold(M().lock);
  *out = M().next++;
  M().open.insert(*out);
  return MMSYSERR_NOERROR;
}

// What plays on in the background catches up first, so the log stays in
// time order.
MMRESULT midiOutShortMsg(HMIDIOUT h, DWORD msg) {
  PollSound();
  return MidiShortAt(h, msg, SoundClock());
}

MMRESULT midiOutReset(HMIDIOUT h) {
  for (DWORD ch = 0; ch < 16; ++ch) {
    if (MMRESULT r = midiOutShortMsg(h, 0xB0 | ch | (64u << 8))) return r;  // sustain off
    midiOutShortMsg(h, 0xB0 | ch | (123u << 8));                           // all notes off
  }
  return MMSYSERR_NOERROR;
}

MMRESULT midiOutClose(HMIDIOUT h) {
  std::lock_guard<std::mutex> hold(M().lock);
  return M().open.erase(h) ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
}
