// A fresh working and Windows directory in batch mode, with both sound logs
// written into it, and files of sound made by the tests.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "../../common/scratch_dir.h"
#include "batch.h"
#include "midiout.h"
#include "mmsystem.h"
#include "sound.h"

namespace soundtest {

namespace fs = std::filesystem;

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_.emplace("tilmor_sound");
    dir_ = scratch_->path();
    oldBatch_ = win::IsBatchMode();
    win::SetBatchMode(true);
    win::ForgetMidiOutput();
    std::string error;
    ASSERT_TRUE(win::SetMidiLog(dir_ + "/midi.log", &error)) << error;
    ASSERT_TRUE(win::SetSoundLog(dir_ + "/sound.log", &error)) << error;
    start_ = win::BatchClock();
  }
  void TearDown() override {
    mciSendStringA("close all", nullptr, 0, 0);
    sndPlaySoundA("", 0);
    win::ForgetMidiOutput();
    win::SetBatchMode(oldBatch_);
    scratch_.reset();
  }

  // Lines of a log, with the times made relative to the test's start.
  std::vector<std::string> Log(const std::string& name) const {
    std::vector<std::string> lines;
    std::ifstream f(dir_ + "/" + name);
    for (std::string line; std::getline(f, line);) {
      size_t blank = line.find(' ');
      unsigned long long ms = std::stoull(line.substr(0, blank));
      lines.push_back(std::to_string(ms - start_) + line.substr(blank));
    }
    return lines;
  }
  unsigned long long Elapsed() const { return win::BatchClock() - start_; }

  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(dir_ + "/" + name, std::ios::binary) << bytes;
  }

  std::string dir_;
  unsigned long long start_ = 0;

 private:
  std::optional<testsupport::ScratchDir> scratch_;
  bool oldBatch_ = false;
};

inline std::string Le(uint32_t v, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += static_cast<char>(v >> (8 * i) & 0xFF);
  return s;
}

// A mono 16-bit PCM wave file of `ms` milliseconds of silence.
inline std::string WaveFile(unsigned ms, unsigned rate = 8000) {
  uint32_t frames = static_cast<uint32_t>(static_cast<unsigned long long>(ms) * rate / 1000);
  uint32_t data = frames * 2;
  return "RIFF" + Le(36 + data, 4) + "WAVE" + "fmt " + Le(16, 4) + Le(1, 2) + Le(1, 2) + Le(rate, 4) +
         Le(rate * 2, 4) + Le(2, 2) + Le(16, 2) + "data" + Le(data, 4) + std::string(data, '\0');
}

inline std::string Be(uint32_t v, int n) {
  std::string s;
  for (int i = n - 1; i >= 0; --i) s += static_cast<char>(v >> (8 * i) & 0xFF);
  return s;
}

inline std::string VarLen(uint32_t v) {
  std::string s(1, static_cast<char>(v & 0x7F));
  while (v >>= 7) s.insert(s.begin(), static_cast<char>(0x80 | (v & 0x7F)));
  return s;
}

inline std::string Track(const std::string& events) { return "MTrk" + Be(static_cast<uint32_t>(events.size()), 4) + events; }

inline std::string MidiHeader(int format, int tracks, int division) {
  return "MThd" + Be(6, 4) + Be(static_cast<uint32_t>(format), 2) + Be(static_cast<uint32_t>(tracks), 2) +
         Be(static_cast<uint32_t>(division), 2);
}

// delta time and bytes of one event
inline std::string Ev(uint32_t delta, std::initializer_list<int> bytes) {
  std::string s = VarLen(delta);
  for (int b : bytes) s += static_cast<char>(b);
  return s;
}

}  // namespace soundtest
