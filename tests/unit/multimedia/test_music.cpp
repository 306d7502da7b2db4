// The music language's note lengths, keys, state and the walk's steps.
#include <gtest/gtest.h>

#include "music.h"
#include "sound_fixture.h"

using namespace soundtest;

TEST(MusicTiming, NoteLengthsFollowTempoAndLength) {
  EXPECT_EQ(tilmor::NoteMs(120, 4, false), 500);
  EXPECT_EQ(tilmor::NoteMs(120, 4, true), 750);
  EXPECT_EQ(tilmor::NoteMs(120, 1, false), 2000);
  EXPECT_EQ(tilmor::NoteMs(120, 3, false), 666);  // truncated
  EXPECT_EQ(tilmor::NoteMs(120, 3, true), 1000);  // 666.67 + 333.33
  EXPECT_EQ(tilmor::NoteMs(7, 3, true), 17142);   // 11428.57 x 1.5, truncated
  EXPECT_EQ(tilmor::NoteMs(0, 4, false), 0);
  EXPECT_EQ(tilmor::NoteMs(120, -4, false), 0);
  EXPECT_EQ(tilmor::NoteMs(-120, -4, false), 500);  // the product counts
}

TEST(MusicTiming, KeysFollowTheOctaveTable) {
  const int octaveC[] = {0, 12, 24, 36, 48, 60, 72};
  for (int o = 0; o <= 6; ++o) EXPECT_EQ(tilmor::MusicKey(o, 0), octaveC[o]);
  EXPECT_EQ(tilmor::MusicKey(4, 11), 59);
  EXPECT_EQ(tilmor::MusicKey(4, 12), 60);  // B sharp
  EXPECT_EQ(tilmor::MusicKey(7, 0), 84);
  EXPECT_LT(tilmor::MusicKey(-1, 11), 0);
}

using MusicWalk = SoundTest;

TEST_F(MusicWalk, SettingsChangeTheStateThatStays) {
  tilmor::MusicState m;
  tilmor::PlayMusic(m, "t90 l8 o3 v50 ms k2", nullptr);
  EXPECT_EQ(m.tempo, 90);
  EXPECT_EQ(m.length, 8);
  EXPECT_EQ(m.octave, 3);
  EXPECT_EQ(m.volume, 50);
  EXPECT_EQ(m.mode, 'S');
  EXPECT_EQ(m.channel, 2);
  tilmor::PlayMusic(m, "<<<>K99V300C", nullptr);
  EXPECT_EQ(m.octave, 1);
  EXPECT_EQ(m.channel, 0);
  EXPECT_EQ(m.volume, 127);
  // A note's own length is for that note only.
  tilmor::PlayMusic(m, "C16", nullptr);
  EXPECT_EQ(m.length, 8);
}

TEST_F(MusicWalk, MessagesArePumpedOncePerStepOfTheWalk) {
  tilmor::MusicState m;
  int pumps = 0;
  auto pump = [&] { ++pumps; };
  // "C#8." is one step, "P" another; the blanks are gone before the walk.
  tilmor::PlayMusic(m, "C#8. P", pump);
  EXPECT_EQ(pumps, 2);
  pumps = 0;
  tilmor::PlayMusic(m, "O5L16T200", pump);
  EXPECT_EQ(pumps, 3);
  pumps = 0;
  tilmor::PlayMusic(m, "MLXYZ", pump);  // M takes the L with it
  EXPECT_EQ(pumps, 4);
  EXPECT_EQ(m.mode, 'L');
}

TEST_F(MusicWalk, NotesSoundOnTheClockAsTheModesSay) {
  tilmor::MusicState m;
  // Normal 7/8 and 1/8, legato whole, staccato half and half.
  tilmor::PlayMusic(m, "CMLDMSE", nullptr);
  std::vector<std::string> want = {"0 90 30 64", "437 90 30 00",  "499 90 32 64", "999 90 32 00",
                                   "999 90 34 64", "1249 90 34 00"};
  EXPECT_EQ(Log("midi.log"), want);
  EXPECT_EQ(Elapsed(), 1499u);
}

TEST_F(MusicWalk, WithoutADeviceNotesAndTheirTimeAreSkipped) {
  Write("WIN.INI", "[MIDI]\nPort=KeinSynthesizer\n");
  win::ForgetMidiOutput();
  tilmor::MusicState m;
  tilmor::PlayMusic(m, "CDEI5P", nullptr);
  EXPECT_TRUE(Log("midi.log").empty());
  EXPECT_EQ(Elapsed(), 0u);
}
