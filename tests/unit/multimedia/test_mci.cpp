// MCI command strings on files the tests write: lengths, waited plays on
// the batch clock, positions, replies that do not fit, error texts, and a
// MIDI file whose notes reach the log at their times.
#include <gtest/gtest.h>

#include <cstring>

#include "sound_fixture.h"

using namespace soundtest;

namespace {

struct Answer {
  MCIERROR code;
  std::string reply;
};

Answer Send(const std::string& command, UINT size = 256) {
  char buffer[256];
  std::memset(buffer, 'x', sizeof buffer);
  MCIERROR e = mciSendStringA(command.c_str(), buffer, size, 0);
  return {e, std::string(buffer, strnlen(buffer, size))};
}

}  // namespace

using Mci = SoundTest;

TEST_F(Mci, AWaveFileReportsItsLengthAndPlaysItOnTheClock) {
  Write("ton.wav", WaveFile(1234));
  EXPECT_EQ(Send("open ton.wav type waveaudio alias ton").code, 0u);
  Answer a = Send("status ton length");
  EXPECT_EQ(a.code, 0u);
  EXPECT_EQ(a.reply, "1234");
  EXPECT_EQ(Send("play ton wait").code, 0u);
  EXPECT_EQ(Elapsed(), 1234u);
  EXPECT_EQ(Send("status ton position").reply, "1234");
  EXPECT_EQ(Send("status ton mode").reply, "stopped");
  EXPECT_EQ(Send("close ton").code, 0u);
  EXPECT_EQ(Send("status ton mode").code, MCIERR_INVALID_DEVICE_NAME);
}

TEST_F(Mci, PositionsRunWithTheClockWhileAPlayGoesOn) {
  Write("ton.wav", WaveFile(1000, 11025));
  ASSERT_EQ(Send("open ton.wav alias t").code, 0u);
  EXPECT_EQ(Send("play t from 200 to 800").code, 0u);
  EXPECT_EQ(Elapsed(), 0u);
  win::AdvanceBatchClock(150);
  EXPECT_EQ(Send("status t position").reply, "350");
  EXPECT_EQ(Send("status t mode").reply, "playing");
  win::AdvanceBatchClock(1000);
  EXPECT_EQ(Send("status t position").reply, "800");
  EXPECT_EQ(Send("status t mode").reply, "stopped");
  // Paused time does not count.
  EXPECT_EQ(Send("play t from 0").code, 0u);
  win::AdvanceBatchClock(100);
  EXPECT_EQ(Send("pause t").code, 0u);
  win::AdvanceBatchClock(500);
  EXPECT_EQ(Send("status t position").reply, "100");
  EXPECT_EQ(Send("resume t").code, 0u);
  win::AdvanceBatchClock(50);
  EXPECT_EQ(Send("status t position").reply, "150");
  // Repeating wraps around.
  EXPECT_EQ(Send("play t from 0 repeat").code, 0u);
  win::AdvanceBatchClock(2300);
  EXPECT_EQ(Send("status t position").reply, "300");
  EXPECT_EQ(Send("seek t to end").code, 0u);
  EXPECT_EQ(Send("status t mode").reply, "stopped");
  EXPECT_EQ(Send("status t position").reply, "1000");
}

TEST_F(Mci, RepliesThatDoNotFitAndEmptyBuffers) {
  Write("ton.wav", WaveFile(1500));
  ASSERT_EQ(Send("open ton.wav alias t").code, 0u);
  // "1500" needs 5 characters with its zero.
  Answer a = Send("status t length", 4);
  EXPECT_EQ(a.code, MCIERR_PARAM_OVERFLOW);
  EXPECT_EQ(a.reply, "");
  EXPECT_EQ(Send("status t length", 5).reply, "1500");
  EXPECT_EQ(mciSendStringA("status t length", nullptr, 0, 0), 0u);
  EXPECT_EQ(mciSendStringA(nullptr, nullptr, 0, 0), MCIERR_MISSING_COMMAND_STRING);
}

TEST_F(Mci, ErrorTextsAreGermanAndFitTheirBuffer) {
  char text[256];
  ASSERT_TRUE(mciGetErrorStringA(MCIERR_FILE_NOT_FOUND, text, sizeof text));
  EXPECT_STREQ(text, "Datei nicht gefunden!");
  ASSERT_TRUE(mciGetErrorStringA(MCIERR_UNRECOGNIZED_COMMAND, text, sizeof text));
  EXPECT_STREQ(text, "MCI-Befehl unbekannt!");
  // Every code this layer returns has its own text.
  for (MCIERROR e : {MCIERR_INVALID_DEVICE_NAME, MCIERR_DEVICE_OPEN, MCIERR_MISSING_COMMAND_STRING,
                     MCIERR_PARAM_OVERFLOW, MCIERR_BAD_INTEGER, MCIERR_MISSING_PARAMETER,
                     MCIERR_UNSUPPORTED_FUNCTION, MCIERR_CANNOT_USE_ALL, MCIERR_EXTENSION_NOT_FOUND,
                     MCIERR_OUTOFRANGE, MCIERR_FLAGS_NOT_COMPATIBLE, MCIERR_DUPLICATE_ALIAS,
                     MCIERR_MISSING_DEVICE_NAME, MCIERR_BAD_TIME_FORMAT, MCIERR_NO_CLOSING_QUOTE,
                     MCIERR_INVALID_FILE, MCIERR_NONAPPLICABLE_FUNCTION, MCIERR_UNRECOGNIZED_KEYWORD,
                     MCIERR_CANNOT_LOAD_DRIVER, MCIERR_SEQ_NOMIDIPRESENT, MCIERR_MISSING_STRING_ARGUMENT})
    EXPECT_TRUE(mciGetErrorStringA(e, text, sizeof text)) << e;
  char small[6];
  ASSERT_TRUE(mciGetErrorStringA(MCIERR_FILE_NOT_FOUND, small, sizeof small));
  EXPECT_STREQ(small, "Datei");
  EXPECT_FALSE(mciGetErrorStringA(9999, text, sizeof text));
  EXPECT_FALSE(mciGetErrorStringA(MCIERR_FILE_NOT_FOUND, text, 0));
}

TEST_F(Mci, AMidiFilePlaysThroughTheMapperAtItsTimes) {
  // 120 beats a minute, 4 ticks a quarter: a tick is 125 ms.
  Write("lied.mid", MidiHeader(0, 1, 4) + Track(Ev(0, {0x90, 60, 100}) + Ev(4, {0x90, 60, 0}) +
                                                 Ev(0, {0x90, 62, 100}) + Ev(8, {0x80, 62, 0}) +
                                                 Ev(0, {0xFF, 0x2F, 0})));
  ASSERT_EQ(Send("open lied.mid alias l").code, 0u);
  EXPECT_EQ(Send("status l length").reply, "1500");
  EXPECT_EQ(Send("play l").code, 0u);
  win::AdvanceBatchClock(700);
  // Anything of the sound layer brings the play up to the clock.
  EXPECT_EQ(Send("status l mode").reply, "playing");
  std::vector<std::string> want = {"0 90 3C 64", "500 90 3C 00", "500 90 3E 64"};
  EXPECT_EQ(Log("midi.log"), want);
  // A stop ends the note that sounds.
  EXPECT_EQ(Send("stop l").code, 0u);
  want.push_back("700 90 3E 00");
  EXPECT_EQ(Log("midi.log"), want);
  EXPECT_EQ(Send("play l from 400 wait").code, 0u);
  EXPECT_EQ(Elapsed(), 1800u);
  want.insert(want.end(), {"800 90 3C 00", "800 90 3E 64", "1800 80 3E 00"});
  EXPECT_EQ(Log("midi.log"), want);
}

TEST_F(Mci, EveryCommandIsInTheSoundLog) {
  Send("open nix.wav");
  Send("sysinfo sequencer quantity");
  std::vector<std::string> want = {"0 MCI \"open nix.wav\" 275", "0 MCI \"sysinfo sequencer quantity\" 0 1"};
  EXPECT_EQ(Log("sound.log"), want);
}
