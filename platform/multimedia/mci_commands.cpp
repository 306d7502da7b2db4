// mciSendStringA: the MCI command strings old programs send - open, play,
// stop, pause, resume, seek, close, status, set, capability, sysinfo and
// info - on the devices waveaudio, sequencer and mpegvideo.
#include <memory>
#include <string>
#include <vector>

#include "ascii.h"
#include "mci_device.h"
#include "mci_parse.h"
#include "mmsystem.h"
#include "sound.h"

namespace win {
namespace {

const char* const kTypes[] = {"waveaudio", "sequencer", "mpegvideo"};

struct Table {
  std::vector<std::unique_ptr<MciDevice>> open;
  int nextId = 1;
};

Table& T() {
  static Table t;
  return t;
}

void PollDevices() {
  for (auto& d : T().open) d->Poll();
}

void CloseAll() {
  for (auto& d : T().open) d->Stop();
  T().open.clear();
}

bool KnownType(const std::string& type) {
  for (const char* t : kTypes)
    if (type == t) return true;
  return false;
}

// The device type of a file by its extension, as [mci extensions] says.
std::string TypeOfFile(const std::string& element) {
  size_t dot = element.find_last_of('.');
  size_t slash = element.find_last_of("\\/:");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = AsciiLower(element.substr(dot + 1));
  if (ext == "wav") return "waveaudio";
  if (ext == "mid" || ext == "midi" || ext == "rmi") return "sequencer";
  for (const char* e : {"mp3", "mp2", "mpa", "ogg", "oga", "flac", "aif", "aiff", "au", "snd", "voc", "opus"})
    if (ext == e) return "mpegvideo";
  return {};
}

MciDevice* FindDevice(const std::string& name) {
  std::string low = AsciiLower(name);
  for (auto& d : T().open)
    if (AsciiLower(d->Name()) == low) return d.get();
  return nullptr;
}

struct Reply {
  std::string text;
};

MCIERROR Open(const std::string& device, MciWords& w, Reply& r) {
  std::string type, element, alias;
  size_t bang = device.find('!');
  if (bang != std::string::npos) {
    type = AsciiLower(device.substr(0, bang));
    element = device.substr(bang + 1);
  }
  while (!w.Done()) {
    std::string k = w.PeekLower();
    ++w.at;
    if (k == "type" || k == "alias") {
      if (w.Done()) return MCIERR_MISSING_STRING_ARGUMENT;
      (k == "type" ? type : alias) = w.Take();
      if (k == "type") type = AsciiLower(type);
    } else if (k == "shareable" || k == "wait" || k == "notify") {
    } else if (k == "buffer") {
      unsigned ignored;
      if (MCIERROR e = w.TakeNumber(&ignored)) return e;
    } else {
      return MCIERR_UNRECOGNIZED_KEYWORD;
    }
  }
  if (bang == std::string::npos) {
    if (!type.empty()) {
      element = device;
    } else if (KnownType(AsciiLower(device))) {
      type = AsciiLower(device);  // the device itself, without a file
    } else {
      element = device;
      type = TypeOfFile(element);
      if (type.empty())
        return element.find('.') == std::string::npos ? MCIERR_INVALID_DEVICE_NAME : MCIERR_EXTENSION_NOT_FOUND;
    }
  }
  if (type == "avivideo" || type == "digitalvideo") type = "mpegvideo";
  if (!KnownType(type)) return MCIERR_INVALID_DEVICE_NAME;
  std::string name = !alias.empty() ? alias : !element.empty() ? element : type;
  if (FindDevice(name)) return alias.empty() ? MCIERR_DEVICE_OPEN : MCIERR_DUPLICATE_ALIAS;
  std::unique_ptr<MciDevice> d;
  if (MCIERROR e = OpenMciFile(T().nextId, name, type, element, &d)) return e;
  ++T().nextId;
  r.text = std::to_string(d->Id());
  T().open.push_back(std::move(d));
  AtSoundPoll(PollDevices);
  AtSoundEnd(CloseAll);
  return 0;
}

MCIERROR Close(MciDevice* d, MciWords& w) {
  while (!w.Done()) {
    std::string k = w.PeekLower();
    if (k != "wait" && k != "notify") return MCIERR_UNRECOGNIZED_KEYWORD;
    ++w.at;
  }
  d->Stop();
  auto& open = T().open;
  for (auto it = open.begin(); it != open.end(); ++it)
    if (it->get() == d) {
      open.erase(it);
      break;
    }
  return 0;
}

MCIERROR Play(MciDevice* d, MciWords& w) {
  unsigned from = d->Position(), to = d->LengthMs();
  bool wait = false, repeat = false;
  while (!w.Done()) {
    std::string k = w.PeekLower();
    ++w.at;
    if (k == "from") {
      if (MCIERROR e = w.TakeNumber(&from)) return e;
    } else if (k == "to") {
      if (MCIERROR e = w.TakeNumber(&to)) return e;
    } else if (k == "wait") {
      wait = true;
    } else if (k == "repeat") {
      repeat = true;
    } else if (k != "notify" && k != "fullscreen" && k != "window") {
      return MCIERR_UNRECOGNIZED_KEYWORD;
    }
  }
  // Without "from" the play goes on from the position: a device that has
  // played to its end plays nothing until it is sought back, as on Windows.
  return d->Play(from, to, wait, repeat);
}

MCIERROR Seek(MciDevice* d, MciWords& w) {
  if (w.PeekLower() != "to") return w.Done() ? MCIERR_MISSING_PARAMETER : MCIERR_UNRECOGNIZED_KEYWORD;
  ++w.at;
  std::string where = w.PeekLower();
  unsigned pos = 0;
  if (where == "start") {
    ++w.at;
  } else if (where == "end") {
    ++w.at;
    pos = d->LengthMs();
  } else {
    if (MCIERROR e = w.TakeNumber(&pos)) return e;
    if (pos > d->LengthMs()) return MCIERR_OUTOFRANGE;
  }
  while (!w.Done()) {
    std::string k = w.PeekLower();
    if (k != "wait" && k != "notify") return MCIERR_UNRECOGNIZED_KEYWORD;
    ++w.at;
  }
  d->Seek(pos);
  return 0;
}

// The rest of the words as one item, lower case, single blanks.
std::string Item(MciWords& w) {
  std::string item;
  while (!w.Done()) {
    std::string k = w.PeekLower();
    ++w.at;
    if (k == "wait" || k == "notify") continue;
    if (!item.empty()) item += ' ';
    item += k;
  }
  return item;
}

const char* ModeText(MciMode m) {
  switch (m) {
    case MciMode::Playing: return "playing";
    case MciMode::Paused: return "paused";
    default: return "stopped";
  }
}

MCIERROR Status(MciDevice* d, MciWords& w, Reply& r) {
  std::string item = Item(w);
  if (item.empty()) return MCIERR_MISSING_PARAMETER;
  if (item == "mode") r.text = ModeText(d->Mode());
  else if (item == "length" || item == "length track 1") r.text = std::to_string(d->LengthMs());
  else if (item == "position" || item == "position track 1") r.text = std::to_string(d->Position());
  else if (item == "start position") r.text = "0";
  else if (item == "ready") r.text = "true";
  else if (item == "number of tracks") r.text = std::to_string(d->Tracks());
  else if (item == "current track") r.text = "1";
  else if (item == "media present") r.text = d->HasMedia() ? "true" : "false";
  else if (item == "time format") r.text = "milliseconds";
  else return MCIERR_UNRECOGNIZED_KEYWORD;
  return 0;
}

MCIERROR Set(MciWords& w) {
  std::string item = Item(w);
  if (item.empty()) return MCIERR_MISSING_PARAMETER;
  if (item.rfind("time format ", 0) == 0) {
    std::string f = item.substr(12);
    return f == "milliseconds" || f == "ms" ? 0 : MCIERR_BAD_TIME_FORMAT;
  }
  if (item.rfind("audio ", 0) == 0 || item.rfind("video ", 0) == 0) return 0;
  if (item.rfind("door ", 0) == 0) return MCIERR_UNSUPPORTED_FUNCTION;
  return MCIERR_UNRECOGNIZED_KEYWORD;
}

MCIERROR Capability(MciDevice* d, MciWords& w, Reply& r) {
  std::string item = Item(w);
  if (item.empty()) return MCIERR_MISSING_PARAMETER;
  bool video = d->HasVideo();
  auto yes = [&](bool b) { r.text = b ? "true" : "false"; };
  if (item == "can play") yes(true);
  else if (item == "can record" || item == "can save" || item == "can eject" || item == "can reverse" ||
           item == "can stretch" || item == "can freeze")
    yes(false);
  else if (item == "has audio" || item == "uses files" || item == "compound device") yes(true);
  else if (item == "has video") yes(video);
  else if (item == "device type") r.text = d->Type();
  else return MCIERR_UNRECOGNIZED_KEYWORD;
  return 0;
}

MCIERROR Info(MciDevice* d, MciWords& w, Reply& r) {
  std::string item = Item(w);
  if (item.empty()) return MCIERR_MISSING_PARAMETER;
  if (item == "product") {
    r.text = d->Type() == "sequencer" ? "MIDI-Sequencer" : d->Type() == "waveaudio" ? "Wave-Audio" : "Medien";
  } else if (item == "file") {
    r.text = d->Element();
  } else {
    return MCIERR_UNRECOGNIZED_KEYWORD;
  }
  return 0;
}

// sysinfo all|TYPE quantity [open], sysinfo all|TYPE name N [open]
MCIERROR SysInfo(const std::string& device, MciWords& w, Reply& r) {
  std::string what = AsciiLower(device);
  if (what != "all" && !KnownType(what)) return MCIERR_INVALID_DEVICE_NAME;
  std::string k = w.PeekLower();
  if (k.empty()) return MCIERR_MISSING_PARAMETER;
  ++w.at;
  std::vector<std::string> names;
  bool openOnly = false;
  unsigned index = 0;
  if (k == "name") {
    if (MCIERROR e = w.TakeNumber(&index)) return e;
  } else if (k != "quantity") {
    return MCIERR_UNRECOGNIZED_KEYWORD;
  }
  while (!w.Done()) {
    std::string f = w.PeekLower();
    ++w.at;
    if (f == "open") openOnly = true;
    else if (f != "wait" && f != "notify") return MCIERR_UNRECOGNIZED_KEYWORD;
  }
  if (openOnly) {
    for (auto& d : T().open)
      if (what == "all" || d->Type() == what) names.push_back(d->Name());
  } else {
    for (const char* t : kTypes)
      if (what == "all" || what == t) names.emplace_back(t);
  }
  if (k == "quantity") {
    r.text = std::to_string(names.size());
    return 0;
  }
  if (index < 1 || index > names.size()) return MCIERR_OUTOFRANGE;
  r.text = names[index - 1];
  return 0;
}

MCIERROR NoArguments(MciWords& w) {
  while (!w.Done()) {
    std::string k = w.PeekLower();
    if (k != "wait" && k != "notify") return MCIERR_UNRECOGNIZED_KEYWORD;
    ++w.at;
  }
  return 0;
}

MCIERROR Execute(std::string_view command, Reply& r) {
  MciWords w;
  if (MCIERROR e = SplitMciCommand(command, &w)) return e;
  if (w.Done()) return MCIERR_MISSING_COMMAND_STRING;
  std::string verb = AsciiLower(w.Take());
  static const char* const kVerbs[] = {"open",   "close", "play",       "stop",    "pause",  "resume",
                                       "seek",   "status", "set",       "capability", "sysinfo", "info",
                                       "cue",    "record", "save",      "break",   "window", "where",
                                       "put",    "load",  "delete",     "step",    "spin",   "update"};
  bool known = false;
  for (const char* v : kVerbs) known = known || verb == v;
  if (!known) return MCIERR_UNRECOGNIZED_COMMAND;
  if (w.Done()) return MCIERR_MISSING_DEVICE_NAME;
  std::string device = w.Take();
  if (verb == "open") return Open(device, w, r);
  if (verb == "sysinfo") return SysInfo(device, w, r);
  if (AsciiLower(device) == "all") {
    if (verb != "close" && verb != "stop" && verb != "pause" && verb != "resume") return MCIERR_CANNOT_USE_ALL;
    if (MCIERROR e = NoArguments(w)) return e;
    if (verb == "close") {
      CloseAll();
      return 0;
    }
    for (auto& d : T().open) {
      if (verb == "stop") d->Stop();
      else if (verb == "pause") d->Pause();
      else d->Resume();
    }
    return 0;
  }
  MciDevice* d = FindDevice(device);
  if (!d) return MCIERR_INVALID_DEVICE_NAME;
  if (verb == "close") return Close(d, w);
  if (verb == "play") return Play(d, w);
  if (verb == "seek") return Seek(d, w);
  if (verb == "status") return Status(d, w, r);
  if (verb == "set") return Set(w);
  if (verb == "capability") return Capability(d, w, r);
  if (verb == "info") return Info(d, w, r);
  if (MCIERROR e = NoArguments(w)) return e;
  if (verb == "stop") d->Stop();
  else if (verb == "pause") d->Pause();
  else if (verb == "resume") return d->Resume();
  else if (verb == "cue" || verb == "break") return 0;
  else return MCIERR_UNSUPPORTED_FUNCTION;
  return 0;
}

}  // namespace
}  // namespace win

using namespace win;

MCIERROR mciSendStringA(LPCSTR command, LPSTR reply, UINT replySize, HWND) {
  PollSound();
  unsigned long long at = SoundClock();
  std::string text = command ? command : "";
  Reply r;
  MCIERROR e = Execute(text, r);
  if (!e && reply && replySize > 0 && r.text.size() + 1 > replySize) e = MCIERR_PARAM_OVERFLOW;
  if (reply && replySize > 0) {
    size_t n = e ? 0 : r.text.size();
    r.text.copy(reply, n);
    reply[n] = '\0';
  }
  std::string line = "MCI \"" + text + "\" " + std::to_string(e);
  if (!e && !r.text.empty()) line += " " + r.text;
  LogSound(at, line);
  return e;
}
