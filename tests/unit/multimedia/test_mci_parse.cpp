// The words of MCI command strings and their numbers.
#include <gtest/gtest.h>

#include "mci_parse.h"

TEST(MciParse, WordsSplitAtBlanksAndQuotesKeepBlanks) {
  win::MciWords w;
  ASSERT_EQ(win::SplitMciCommand("  open \"C:\\Eigene Dateien\\a b.wav\"\ttype waveaudio ", &w), 0u);
  std::vector<std::string> want = {"open", "C:\\Eigene Dateien\\a b.wav", "type", "waveaudio"};
  EXPECT_EQ(w.words, want);
  EXPECT_EQ(win::SplitMciCommand("play \"\" wait", &w), 0u);
  EXPECT_EQ(w.words.size(), 3u);
  EXPECT_EQ(w.words[1], "");
  EXPECT_EQ(win::SplitMciCommand("open \"a.wav", &w), MCIERR_NO_CLOSING_QUOTE);
  EXPECT_EQ(win::SplitMciCommand("", &w), 0u);
  EXPECT_TRUE(w.Done());
}

TEST(MciParse, KeywordsAreReadInLowerCase) {
  win::MciWords w;
  ASSERT_EQ(win::SplitMciCommand("Status X LENGTH", &w), 0u);
  EXPECT_EQ(w.PeekLower(), "status");
  EXPECT_EQ(w.Take(), "Status");
  EXPECT_EQ(w.Take(), "X");
  EXPECT_EQ(w.PeekLower(), "length");
  ++w.at;
  EXPECT_EQ(w.PeekLower(), "");
  EXPECT_EQ(w.Take(), "");
}

TEST(MciParse, NumbersAreWholeAndUnsigned) {
  win::MciWords w;
  ASSERT_EQ(win::SplitMciCommand("1500 -3 12a 4294967295 4294967296", &w), 0u);
  unsigned v = 7;
  EXPECT_EQ(w.TakeNumber(&v), 0u);
  EXPECT_EQ(v, 1500u);
  EXPECT_EQ(w.TakeNumber(&v), MCIERR_BAD_INTEGER);
  ++w.at;
  EXPECT_EQ(w.TakeNumber(&v), MCIERR_BAD_INTEGER);
  ++w.at;
  EXPECT_EQ(w.TakeNumber(&v), 0u);
  EXPECT_EQ(v, 4294967295u);
  EXPECT_EQ(w.TakeNumber(&v), MCIERR_BAD_INTEGER);
  ++w.at;
  EXPECT_EQ(w.TakeNumber(&v), MCIERR_MISSING_PARAMETER);
}
