// The MIDI file reader: tempo map, running status, merged tracks, the RIFF
// wrapper, SMPTE time and damaged files.
#include <gtest/gtest.h>

#include "midifile.h"
#include "sound_fixture.h"

using namespace soundtest;

namespace {

win::MidiSequence Parse(const std::string& bytes) {
  win::MidiSequence seq;
  std::string why;
  EXPECT_TRUE(win::ParseMidiFile(bytes, &seq, &why)) << why;
  return seq;
}

std::string Tempo(uint32_t delta, uint32_t usPerQuarter) {
  return Ev(delta, {0xFF, 0x51, 3, static_cast<int>(usPerQuarter >> 16), static_cast<int>(usPerQuarter >> 8 & 0xFF),
                    static_cast<int>(usPerQuarter & 0xFF)});
}

const std::string kEnd = Ev(0, {0xFF, 0x2F, 0});

}  // namespace

TEST(MidiFile, TempoChangesTurnTicksIntoMilliseconds) {
  // 100 ticks a quarter; 120 beats a minute, then 60 from tick 200 on.
  std::string t = Tempo(0, 500000) + Ev(0, {0x90, 60, 90}) + Ev(100, {0x90, 60, 0}) + Tempo(100, 1000000) +
                  Ev(0, {0x90, 62, 90}) + Ev(100, {0x80, 62, 0}) + Ev(50, {0xFF, 0x2F, 0});
  win::MidiSequence s = Parse(MidiHeader(0, 1, 100) + Track(t));
  ASSERT_EQ(s.events.size(), 4u);
  EXPECT_EQ(s.events[0].ms, 0u);
  EXPECT_EQ(s.events[0].msg, 0x5A3C90u);
  EXPECT_EQ(s.events[1].ms, 500u);
  EXPECT_EQ(s.events[2].ms, 1000u);
  EXPECT_EQ(s.events[3].ms, 2000u);
  EXPECT_EQ(s.events[3].msg, 0x3E80u);
  // The track ends 50 ticks (500 ms at the slower tempo) after the last note.
  EXPECT_EQ(s.lengthMs, 2500u);
  EXPECT_EQ(s.tracks, 1);
}

TEST(MidiFile, RunningStatusAndOneByteMessages) {
  // Note on, two more under running status, a program change (one data
  // byte), then running status for program changes too.
  std::string t = Ev(0, {0x91, 60, 100}) + Ev(0, {64, 100}) + Ev(48, {60, 0}) + Ev(0, {0xC1, 5}) + Ev(48, {7}) +
                  Ev(0, {0xE1, 0, 64}) + kEnd;
  win::MidiSequence s = Parse(MidiHeader(0, 1, 96) + Track(t));
  ASSERT_EQ(s.events.size(), 6u);
  EXPECT_EQ(s.events[1].msg, 0x644091u);
  EXPECT_EQ(s.events[2].msg, 0x003C91u);
  EXPECT_EQ(s.events[2].ms, 250u);
  EXPECT_EQ(s.events[3].msg, 0x05C1u);
  EXPECT_EQ(s.events[4].msg, 0x07C1u);
  EXPECT_EQ(s.events[4].ms, 500u);
  EXPECT_EQ(s.events[5].msg, 0x4000E1u);
}

TEST(MidiFile, TracksMergeInTimeKeepingTheFileOrderAtEqualTimes) {
  std::string tempo = Track(Tempo(0, 250000) + kEnd);  // 240 beats a minute
  std::string a = Track(Ev(0, {0x90, 60, 1}) + Ev(10, {0x90, 61, 1}) + kEnd);
  std::string b = Track(Ev(0, {0x99, 36, 1}) + Ev(5, {0x99, 37, 1}) + Ev(5, {0x99, 38, 1}) + kEnd);
  win::MidiSequence s = Parse(MidiHeader(1, 3, 10) + tempo + a + b);
  ASSERT_EQ(s.events.size(), 5u);
  std::vector<std::pair<unsigned, uint32_t>> got;
  for (const auto& e : s.events) got.emplace_back(e.ms, e.msg >> 8 & 0x7F);
  std::vector<std::pair<unsigned, uint32_t>> want = {{0, 60}, {0, 36}, {125, 37}, {250, 61}, {250, 38}};
  EXPECT_EQ(got, want);
  EXPECT_EQ(s.tracks, 3);
}

TEST(MidiFile, SystemExclusiveAndOtherMetaEventsAreSkipped) {
  std::string t = Ev(0, {0xF0, 3, 0x43, 0x12, 0xF7}) + Ev(0, {0xFF, 0x03, 4, 'S', 'o', 'n', 'g'}) +
                  Ev(24, {0x90, 60, 100}) + kEnd;
  win::MidiSequence s = Parse(MidiHeader(0, 1, 24) + Track(t));
  ASSERT_EQ(s.events.size(), 1u);
  EXPECT_EQ(s.events[0].ms, 500u);
}

TEST(MidiFile, RiffRmidFilesCarryTheFileInTheirDataChunk) {
  std::string smf = MidiHeader(0, 1, 96) + Track(Ev(96, {0x90, 60, 100}) + kEnd);
  std::string info = "LIST" + Le(4, 4) + "INFO";
  std::string riff = "RIFF" + Le(static_cast<uint32_t>(4 + info.size() + 8 + smf.size()), 4) + "RMID" + info +
                     "data" + Le(static_cast<uint32_t>(smf.size()), 4) + smf;
  win::MidiSequence s = Parse(riff);
  ASSERT_EQ(s.events.size(), 1u);
  EXPECT_EQ(s.events[0].ms, 500u);
}

TEST(MidiFile, SmpteTimeCountsFramesNotBeats) {
  // 25 frames a second, 40 ticks a frame: a tick is a millisecond, and
  // tempo changes do not count.
  int division = (256 - 25) << 8 | 40;
  std::string t = Tempo(0, 1000000) + Ev(1234, {0x90, 60, 100}) + kEnd;
  win::MidiSequence s = Parse(MidiHeader(0, 1, division) + Track(t));
  ASSERT_EQ(s.events.size(), 1u);
  EXPECT_EQ(s.events[0].ms, 1234u);
}

TEST(MidiFile, DamagedFilesAreRefusedWithAReason) {
  win::MidiSequence s;
  std::string why;
  EXPECT_FALSE(win::ParseMidiFile("RIFF....WAVEfmt ", &s, &why));
  EXPECT_FALSE(why.empty());
  EXPECT_FALSE(win::ParseMidiFile(MidiHeader(0, 0, 96), &s, &why));
  EXPECT_FALSE(win::ParseMidiFile(MidiHeader(0, 1, 96), &s, &why));  // no track
  // A running status with nothing to run on, and a cut-off event.
  EXPECT_FALSE(win::ParseMidiFile(MidiHeader(0, 1, 96) + Track(Ev(0, {60, 100})), &s, &why));
  EXPECT_FALSE(win::ParseMidiFile(MidiHeader(0, 1, 96) + Track(Ev(0, {0x90, 60})), &s, &why));
  EXPECT_FALSE(win::ReadMidiFile("/nonexistent/tune.mid", &s, &why));
}
