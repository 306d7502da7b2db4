// MessageBeep and Beep: the desktop's bell sound, and a sine tone on the
// audio output in place of the PC speaker.
#include <string>

#include "app.h"
#include "batch.h"
#include "mmsystem.h"
#include "sound.h"
#include "sound_backend.h"
#include "winuser.h"

using namespace win;

BOOL MessageBeep(UINT) {
  PollSound();
  LogSound(SoundClock(), "BEEP");
  if (IsBatchMode()) return TRUE;
  SoundBackend* s = Sound();
  if (!s || !s->Bell()) WindowBell();
  return TRUE;
}

BOOL Beep(DWORD frequency, DWORD duration) {
  PollSound();
  unsigned long long start = SoundClock();
  LogSound(start, "TONE " + std::to_string(frequency) + " " + std::to_string(duration));
  // The range kernel32 accepts; anything else fails at once.
  if (frequency < 37 || frequency > 32767) return FALSE;
  if (!IsBatchMode())
    if (SoundBackend* s = Sound()) s->Tone(frequency, duration);
  WaitUntil(start + duration);
  return TRUE;
}
