// The sound layer's settings and clock: where batch mode records what it
// would have played, the synthesizer's rendering into a file, and the time
// that notes, tones and sounds take.
#pragma once

#include <string>
#include <string_view>

namespace win {

// --midi-log: every MIDI short message as "MS STATUS DATA1 DATA2".
bool SetMidiLog(const std::string& path, std::string* error);
// --sound-log: "MS BEEP", "MS TONE FREQ DURATION", "MS WAVE NAME FLAGS",
// "MS MCI "COMMAND" RESULT".
bool SetSoundLog(const std::string& path, std::string* error);
// --midi-render: the built-in synthesizer plays into this WAV file on the
// program's clock (batch mode).
void SetMidiRender(const std::string& path);
const std::string& MidiRenderPath();

// Lines of the logs, at `ms` on the sound clock; nothing without the log.
void LogMidi(unsigned long long ms, unsigned long msg);
void LogSound(unsigned long long ms, std::string_view what);

// Milliseconds of the program's clock: the batch clock in batch mode,
// else the time since the process started.
unsigned long long SoundClock();
// Returns when the clock has reached `ms`: batch mode moves its clock
// there, otherwise the time passes (asleep, not busy).
void WaitUntil(unsigned long long ms);

// Things that play on while the program runs (a sequence, a wave) are
// brought up to the clock; called by every sound function.
void PollSound();
// The end of the run: playing sounds stop, the rendering is completed, the
// logs are closed.
void EndSound();
// Registers what EndSound and PollSound must reach (the MCI devices, the
// wave of PLAYSOUND).
void AtSoundPoll(void (*poll)());
void AtSoundEnd(void (*end)());

}  // namespace win
