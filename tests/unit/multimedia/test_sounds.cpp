// Beeps, tones and wave sounds in batch mode: what the sound log records
// and the time each takes on the clock.
#include <gtest/gtest.h>

#include "sound_fixture.h"
#include "winuser.h"

using namespace soundtest;

using Sounds = SoundTest;

TEST_F(Sounds, ATonePassesItsTimeOutOfRangeOnesFail) {
  EXPECT_TRUE(Beep(440, 300));
  EXPECT_EQ(Elapsed(), 300u);
  EXPECT_FALSE(Beep(36, 300));
  EXPECT_FALSE(Beep(32768, 300));
  EXPECT_EQ(Elapsed(), 300u);
  EXPECT_TRUE(Beep(32767, 0));
  EXPECT_TRUE(MessageBeep(0));
  std::vector<std::string> want = {"0 TONE 440 300", "300 TONE 36 300", "300 TONE 32768 300",
                                   "300 TONE 32767 0", "300 BEEP"};
  EXPECT_EQ(Log("sound.log"), want);
}

TEST_F(Sounds, ASynchronousSoundTakesItsLength) {
  Write("ding.wav", WaveFile(640));
  EXPECT_TRUE(sndPlaySoundA("ding.wav", SND_SYNC));
  EXPECT_EQ(Elapsed(), 640u);
  // Asynchronous ones return at once.
  EXPECT_TRUE(sndPlaySoundA("DING.WAV", SND_ASYNC));
  EXPECT_EQ(Elapsed(), 640u);
}

TEST_F(Sounds, NoStopRefusesWhileASoundPlays) {
  Write("ding.wav", WaveFile(500));
  ASSERT_TRUE(sndPlaySoundA("ding.wav", SND_ASYNC));
  win::AdvanceBatchClock(499);
  EXPECT_FALSE(sndPlaySoundA("ding.wav", SND_ASYNC | SND_NOSTOP));
  win::AdvanceBatchClock(1);
  EXPECT_TRUE(sndPlaySoundA("ding.wav", SND_ASYNC | SND_NOSTOP));
  // A loop plays until it is stopped, however long that is.
  ASSERT_TRUE(sndPlaySoundA("ding.wav", SND_ASYNC | SND_LOOP));
  win::AdvanceBatchClock(100000);
  EXPECT_FALSE(sndPlaySoundA("ding.wav", SND_ASYNC | SND_NOSTOP));
  EXPECT_TRUE(sndPlaySoundA("", 0));
  EXPECT_TRUE(sndPlaySoundA("ding.wav", SND_ASYNC | SND_NOSTOP));
}

TEST_F(Sounds, MissingFilesFailAndSoundNamesComeFromWinIni) {
  EXPECT_FALSE(sndPlaySoundA("nix.wav", SND_SYNC));
  EXPECT_FALSE(sndPlaySoundA("nix.wav", SND_NODEFAULT));
  EXPECT_EQ(Elapsed(), 0u);
  Write("ding.wav", WaveFile(250));
  Write("WIN.INI", "[sounds]\nSystemAsterisk=ding.wav,Sternchen\n");
  EXPECT_TRUE(sndPlaySoundA("SystemAsterisk", SND_SYNC));
  EXPECT_EQ(Elapsed(), 250u);
  // A file that is no sound is as good as a missing one.
  Write("text.wav", "kein Klang");
  EXPECT_FALSE(sndPlaySoundA("text.wav", SND_SYNC));
  std::vector<std::string> log = Log("sound.log");
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0], "0 WAVE nix.wav 0");
  EXPECT_EQ(log[1], "0 WAVE nix.wav 2");
}

TEST_F(Sounds, PlaySoundKeepsOnlyTheFlagsItKnows) {
  Write("ding.wav", WaveFile(100));
  EXPECT_TRUE(PlaySoundA("ding.wav", 0, SND_FILENAME | SND_ASYNC));
  std::vector<std::string> want = {"0 WAVE ding.wav 1"};
  EXPECT_EQ(Log("sound.log"), want);
}
