#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "odbc_charset.h"

namespace {

using tilmor::odbc::Charset;
using tilmor::odbc::WithoutSplitCharacter;

TEST(OdbcCharsetTest, ChosenByName) {
  EXPECT_EQ(Charset::Named("UTF-8").kind(), Charset::Kind::Utf8);
  EXPECT_EQ(Charset::Named("utf8").kind(), Charset::Kind::Utf8);
  EXPECT_EQ(Charset::Named("windows-1252").kind(), Charset::Kind::Cp1252);
  EXPECT_EQ(Charset::Named("CP1252").kind(), Charset::Kind::Cp1252);
  EXPECT_EQ(Charset::Named("1252").kind(), Charset::Kind::Cp1252);
  EXPECT_EQ(Charset::Named("latin1").kind(), Charset::Kind::Cp1252);
  EXPECT_EQ(Charset::Named("").kind(), Charset::Kind::Utf8);
}

TEST(OdbcCharsetTest, FromTheEnvironment) {
  const char* old = std::getenv("TILMOR_ODBC_CHARSET");
  std::string saved = old ? old : "";
  unsetenv("TILMOR_ODBC_CHARSET");
  EXPECT_EQ(Charset::FromEnvironment().kind(), Charset::Kind::Utf8);
  setenv("TILMOR_ODBC_CHARSET", "WINDOWS-1252", 1);
  EXPECT_EQ(Charset::FromEnvironment().kind(), Charset::Kind::Cp1252);
  if (old)
    setenv("TILMOR_ODBC_CHARSET", saved.c_str(), 1);
  else
    unsetenv("TILMOR_ODBC_CHARSET");
}

TEST(OdbcCharsetTest, Utf8RoundTripOfEveryCharacter) {
  Charset cs(Charset::Kind::Utf8);
  EXPECT_EQ(cs.ToDriver("M\xFCller \x80"), "M\xC3\xBCller \xE2\x82\xAC");
  EXPECT_EQ(cs.FromDriver("Gr\xC3\xB6\xC3\x9F" "e"), "Gr\xF6\xDF" "e");
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(cs.FromDriver(cs.ToDriver(all)), all);
  // What Windows-1252 cannot show becomes "?".
  EXPECT_EQ(cs.FromDriver("\xE4\xB8\xAD!"), "?!");
  EXPECT_EQ(cs.maxBytesPerChar(), 4u);
}

TEST(OdbcCharsetTest, Cp1252PassesBytesUnchanged) {
  Charset cs(Charset::Kind::Cp1252);
  EXPECT_EQ(cs.ToDriver("M\xFCller"), "M\xFCller");
  EXPECT_EQ(cs.FromDriver("\xC3\xBC"), "\xC3\xBC");
  EXPECT_EQ(cs.maxBytesPerChar(), 1u);
}

TEST(OdbcCharsetTest, AppendKeepsWhatIsThere) {
  Charset cs;
  std::string out = "a|";
  cs.AppendFromDriver(out, "\xC3\xA4");
  cs.AppendFromDriver(out, "b");
  EXPECT_EQ(out, "a|\xE4" "b");
}

TEST(OdbcCharsetTest, ACutValueLosesItsSplitCharacter) {
  EXPECT_EQ(WithoutSplitCharacter("abc"), 3u);
  EXPECT_EQ(WithoutSplitCharacter("ab\xC3"), 2u);
  EXPECT_EQ(WithoutSplitCharacter("ab\xC3\xBC"), 4u);
  EXPECT_EQ(WithoutSplitCharacter("a\xE2\x82"), 1u);
  EXPECT_EQ(WithoutSplitCharacter("a\xE2\x82\xAC"), 4u);
  EXPECT_EQ(WithoutSplitCharacter("\xF0\x9F\x98"), 0u);
  EXPECT_EQ(WithoutSplitCharacter(""), 0u);
  Charset cs;
  EXPECT_EQ(cs.FromDriver("M\xC3\xBCl\xC3", true), "M\xFCl");
  // Not cut: a stray byte is kept as the character it is.
  EXPECT_EQ(cs.FromDriver("M\xC3\xBCl\xC3", false), "M\xFCl\xC3");
}

}  // namespace
