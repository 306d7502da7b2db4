// sndPlaySoundA: one wave sound at a time, synchronous or in the
// background, once or looping; the default sound for a missing file.
#include <memory>
#include <string>

#include "batch.h"
#include "files.h"
#include "mmsystem.h"
#include "profile.h"
#include "sound.h"
#include "sound_backend.h"
#include "winpath.h"

namespace win {
namespace {

struct Current {
  std::unique_ptr<AudioClip> clip;
  unsigned long long end = 0;  // on the sound clock
  bool loop = false;
  bool on = false;
};

Current& C() {
  static Current c;
  return c;
}

bool Playing() {
  Current& c = C();
  return c.on && (c.loop || SoundClock() < c.end);
}

// Nothing of the stopped sound stays, its loop flag least of all.
void StopCurrent() {
  Current& c = C();
  if (c.clip) c.clip->Stop();
  c = Current{};
}

// A file, or a name of section [sounds] of WIN.INI ("FILE,Description").
std::string FindSoundFile(const std::string& name) {
  std::string host = HostPath(name);
  if (!host.empty() && FileExists(name)) return host;
  std::string alias = WinIniString("sounds", name, "");
  alias = alias.substr(0, alias.find(','));
  if (alias.empty()) return {};
  host = HostPath(alias);
  return !host.empty() && FileExists(alias) ? host : std::string();
}

std::unique_ptr<AudioClip> Load(const std::string& name) {
  std::string host = FindSoundFile(name);
  SoundBackend* s = host.empty() ? nullptr : Sound();
  return s ? s->LoadClip(host) : nullptr;
}

// What plays when the sound asked for cannot: the system default, else the bell.
void PlayDefault(bool async) {
  if (IsBatchMode()) return;
  std::unique_ptr<AudioClip> clip = Load("SystemDefault");
  if (clip) {
    clip->Start(0, clip->LengthMs(), false);
    if (!async) return clip->Wait();
    Current& c = C();
    c.end = SoundClock() + clip->LengthMs();
    c.clip = std::move(clip);
    c.on = true;
    AtSoundEnd(StopCurrent);
    return;
  }
  if (SoundBackend* s = Sound()) s->Bell();
}

}  // namespace
}  // namespace win

using namespace win;

BOOL sndPlaySoundA(LPCSTR sound, UINT flags) {
  PollSound();
  std::string name = sound ? sound : "";
  unsigned long long start = SoundClock();
  LogSound(start, "WAVE " + (name.empty() ? std::string("-") : name) + " " + std::to_string(flags));
  if ((flags & SND_NOSTOP) && Playing()) return FALSE;
  StopCurrent();
  if (name.empty()) return TRUE;  // only stops
  bool async = flags & SND_ASYNC;
  std::unique_ptr<AudioClip> clip = Load(name);
  if (!clip) {
    if (!(flags & SND_NODEFAULT)) PlayDefault(async);
    return FALSE;
  }
  // Looping needs the background; a synchronous loop plays once.
  bool loop = async && (flags & SND_LOOP);
  unsigned length = clip->LengthMs();
  if (!IsBatchMode()) clip->Start(0, length, loop);
  if (!async) {
    WaitUntil(start + length);
    clip->Wait();
    return TRUE;
  }
  Current& c = C();
  c.clip = std::move(clip);
  c.end = start + length;
  c.loop = loop;
  c.on = true;
  AtSoundEnd(StopCurrent);
  return TRUE;
}

BOOL PlaySoundA(LPCSTR sound, uintptr_t, DWORD flags) {
  return sndPlaySoundA(sound, flags & (SND_ASYNC | SND_NODEFAULT | SND_LOOP | SND_NOSTOP));
}
