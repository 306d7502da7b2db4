// BEEP, SOUND and PLAYSOUND: the bell, a tone, a wave file.
#include <cmath>
#include <string>

#include "argreader.h"
#include "commands.h"
#include "data_registry.h"
#include "mmsystem.h"
#include "winuser.h"

namespace tilmor {
namespace {

void CmdBeep(Interp&, int) { MessageBeep(0); }

// The duration in the old PC-speaker units becomes milliseconds.
void CmdSound(Interp& in, int) {
  ReadArg(in, ',', kNumber);
  int32_t frequency = in.res.ival;
  ReadArg(in, ' ', kNumber);
  int32_t duration = in.res.ival;
  auto ms = static_cast<int64_t>(std::trunc(static_cast<long double>(duration) * 0.3799969600243198L));
  // A negative duration would be a wait of weeks: no tone instead.
  if (ms < 0) ms = 0;
  Beep(static_cast<DWORD>(frequency), static_cast<DWORD>(ms));
}

void CmdPlaySound(Interp& in, int) {
  ReadArg(in, ',', kRawText);
  std::string file(in.res.text);
  ReadArg(in, ' ', kNumber);
  UINT flags = static_cast<UINT>(in.res.ival) & 0x1B;
  sndPlaySoundA(file.c_str(), flags);
}

}  // namespace

void RegisterSoundCommands() {
  RegisterCommand("BEEP", CmdBeep);
  RegisterCommand("SOUND", CmdSound);
  RegisterCommand("PLAYSOUND", CmdPlaySound);
}

}  // namespace tilmor
