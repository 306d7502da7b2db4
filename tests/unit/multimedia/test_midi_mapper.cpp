// The MIDI mapper in batch mode: one silent device, every message in the
// log with its time; a port named in WIN.INI that is not there leaves none.
#include <gtest/gtest.h>

#include "sound_fixture.h"

using namespace soundtest;

using MidiMapper = SoundTest;

TEST_F(MidiMapper, BatchModeHasOneSilentDeviceThatLogsEveryMessage) {
  EXPECT_EQ(midiOutGetNumDevs(), 1u);
  HMIDIOUT h = 0;
  ASSERT_EQ(midiOutOpen(&h, MIDI_MAPPER, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  EXPECT_NE(h, 0u);
  EXPECT_EQ(midiOutShortMsg(h, 0x7F3C90), MMSYSERR_NOERROR);
  win::AdvanceBatchClock(1234);
  EXPECT_EQ(midiOutShortMsg(h, 0x0AC9), MMSYSERR_NOERROR);
  EXPECT_EQ(midiOutClose(h), MMSYSERR_NOERROR);
  std::vector<std::string> want = {"0 90 3C 7F", "1234 C9 0A 00"};
  EXPECT_EQ(Log("midi.log"), want);
}

TEST_F(MidiMapper, HandlesAreCheckedAndDevicesOtherThanTheMapperRefused) {
  HMIDIOUT h = 99;
  EXPECT_EQ(midiOutOpen(&h, 5, 0, 0, 0), MMSYSERR_BADDEVICEID);
  EXPECT_EQ(h, 0u);
  EXPECT_EQ(midiOutOpen(nullptr, MIDI_MAPPER, 0, 0, 0), MMSYSERR_INVALPARAM);
  ASSERT_EQ(midiOutOpen(&h, 0, 0, 0, 0), MMSYSERR_NOERROR);
  HMIDIOUT other = 0;
  ASSERT_EQ(midiOutOpen(&other, MIDI_MAPPER, 0, 0, 0), MMSYSERR_NOERROR);
  EXPECT_NE(h, other);
  EXPECT_EQ(midiOutClose(h), MMSYSERR_NOERROR);
  EXPECT_EQ(midiOutClose(h), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(midiOutShortMsg(h, 0x90), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(midiOutShortMsg(other, 0x90), MMSYSERR_NOERROR);
  EXPECT_EQ(midiOutClose(other), MMSYSERR_NOERROR);
  EXPECT_EQ(Log("midi.log").size(), 1u);
}

TEST_F(MidiMapper, ResetEndsSustainAndNotesOnEveryChannel) {
  HMIDIOUT h;
  ASSERT_EQ(midiOutOpen(&h, MIDI_MAPPER, 0, 0, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(midiOutReset(h), MMSYSERR_NOERROR);
  std::vector<std::string> log = Log("midi.log");
  ASSERT_EQ(log.size(), 32u);
  EXPECT_EQ(log[0], "0 B0 40 00");
  EXPECT_EQ(log[1], "0 B0 7B 00");
  EXPECT_EQ(log[31], "0 BF 7B 00");
  midiOutClose(h);
  EXPECT_EQ(midiOutReset(h), MMSYSERR_INVALHANDLE);
}

TEST_F(MidiMapper, AMissingPortNamedInWinIniLeavesNoDevice) {
  Write("WIN.INI", "[MIDI]\nPort=KeinSynthesizer\n");
  win::ForgetMidiOutput();
  EXPECT_EQ(midiOutGetNumDevs(), 0u);
  HMIDIOUT h = 7;
  EXPECT_EQ(midiOutOpen(&h, MIDI_MAPPER, 0, 0, 0), MIDIERR_NODEVICE);
  EXPECT_EQ(h, 0u);
  EXPECT_TRUE(Log("midi.log").empty());
}
