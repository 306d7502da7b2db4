// The MIDI mapper's extras for the layer itself and its tests.
#pragma once

#include "mmsystem.h"

namespace win {

// A short message stamped with a time of the sound clock already passed
// (a sequence catching up in batch mode); the rendering follows it.
MMRESULT MidiShortAt(HMIDIOUT out, DWORD msg, unsigned long long ms);
// The mapper is looked for again at its next use (tests).
void ForgetMidiOutput();

}  // namespace win
