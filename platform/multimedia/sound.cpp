// The sound layer's logs, clock and end of run.
#include "sound.h"

#include <time.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "batch.h"
#include "ticks.h"

namespace win {
namespace {

struct Logs {
  std::FILE* midi = nullptr;
  std::FILE* sound = nullptr;
  std::string render;
  std::mutex lock;  // a sequence playing in the background logs too
  std::vector<void (*)()> polls, ends;
  bool ended = false;
};

Logs& L() {
  static Logs logs;
  return logs;
}

bool OpenLog(std::FILE*& f, const std::string& path, std::string* error) {
  std::FILE* opened = std::fopen(path.c_str(), "w");
  if (!opened) {
    if (error) *error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  if (f) std::fclose(f);
  f = opened;
  return true;
}

}  // namespace

bool SetMidiLog(const std::string& path, std::string* error) { return OpenLog(L().midi, path, error); }
bool SetSoundLog(const std::string& path, std::string* error) { return OpenLog(L().sound, path, error); }
void SetMidiRender(const std::string& path) { L().render = path; }
const std::string& MidiRenderPath() { return L().render; }

void LogMidi(unsigned long long ms, unsigned long msg) {
  Logs& l = L();
  std::lock_guard<std::mutex> hold(l.lock);
  if (!l.midi) return;
  std::fprintf(l.midi, "%llu %02X %02X %02X\n", ms, static_cast<unsigned>(msg & 0xFF),
               static_cast<unsigned>((msg >> 8) & 0xFF), static_cast<unsigned>((msg >> 16) & 0xFF));
  std::fflush(l.midi);
}

void LogSound(unsigned long long ms, std::string_view what) {
  Logs& l = L();
  std::lock_guard<std::mutex> hold(l.lock);
  if (!l.sound) return;
  std::fprintf(l.sound, "%llu %.*s\n", ms, static_cast<int>(what.size()), what.data());
  std::fflush(l.sound);
}

unsigned long long SoundClock() {
  if (IsBatchMode()) return BatchClock();
  static const unsigned long long start = GetTickCount64();
  return GetTickCount64() - start;
}

void WaitUntil(unsigned long long ms) {
  if (IsBatchMode()) {
    if (ms > BatchClock()) AdvanceBatchClock(ms - BatchClock());
    PollSound();
    return;
  }
  for (;;) {
    unsigned long long now = SoundClock();
    if (now >= ms) return;
    unsigned long long left = ms - now;
    timespec ts{static_cast<time_t>(left / 1000), static_cast<long>((left % 1000) * 1000000)};
    nanosleep(&ts, nullptr);
  }
}

void AtSoundPoll(void (*poll)()) {
  for (auto p : L().polls)
    if (p == poll) return;
  L().polls.push_back(poll);
}

void AtSoundEnd(void (*end)()) {
  for (auto e : L().ends)
    if (e == end) return;
  L().ends.push_back(end);
}

void PollSound() {
  for (auto p : L().polls) p();
}

void EndSound() {
  Logs& l = L();
  if (l.ended) return;
  l.ended = true;
  PollSound();
  for (auto e : l.ends) e();
  std::lock_guard<std::mutex> hold(l.lock);
  if (l.midi) std::fclose(l.midi);
  if (l.sound) std::fclose(l.sound);
  l.midi = l.sound = nullptr;
}

}  // namespace win
