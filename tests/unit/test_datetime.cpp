#include <gtest/gtest.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "datetime.h"
#include "functions.h"
#include "interp.h"

namespace {

using namespace tilmor;

DatePattern Pattern(const char* shortDate, const char* sep) { return ParseDatePattern(shortDate, sep); }

const DatePattern kGerman = Pattern("dd.MM.yyyy", ".");
const DatePattern kUs = Pattern("M/d/yyyy", "/");
const DatePattern kIso = Pattern("yyyy-MM-dd", "-");

TEST(DatePatternTest, OrderOfFirstAppearance) {
  EXPECT_EQ(kGerman.sep, '.');
  EXPECT_EQ(kGerman.order, "dMy");
  EXPECT_EQ(kUs.sep, '/');
  EXPECT_EQ(kUs.order, "Mdy");
  EXPECT_EQ(kIso.sep, '-');
  EXPECT_EQ(kIso.order, "yMd");
  // Letters are found in either case and counted once.
  EXPECT_EQ(Pattern("YY/mm/DD", "/").order, "yMd");
  EXPECT_EQ(Pattern("d.M.yy yyyy dd", ".").order, "dMy");
}

TEST(DatePatternTest, SeparatorIsFirstCharacterOfDateSetting) {
  EXPECT_EQ(Pattern("dd.MM.yyyy", "-/").sep, '-');
  // The separator comes from its own setting, not from the pattern.
  EXPECT_EQ(Pattern("dd/MM/yyyy", ".").sep, '.');
  EXPECT_EQ(Pattern("dd.MM.yyyy", "").sep, '.');
}

TEST(DatePatternTest, QuotedTextAndMissingLetters) {
  EXPECT_EQ(Pattern("'Tag' MM/dd/yyyy", "/").order, "Mdy");
  EXPECT_EQ(Pattern("MM/yy", "/").order, "Myd");
  EXPECT_EQ(Pattern("", ".").order, "dMy");
}

TEST(WeekdayTest, KnownDates) {
  EXPECT_EQ(Weekday({1970, 1, 1}), 4);
  EXPECT_EQ(Weekday({2000, 1, 1}), 6);
  EXPECT_EQ(Weekday({2000, 2, 29}), 2);
  EXPECT_EQ(Weekday({1900, 3, 1}), 4);
  EXPECT_EQ(Weekday({2023, 10, 1}), 0);
  EXPECT_EQ(Weekday({2024, 12, 25}), 3);
}

TEST(FormatDateTest, TheNumberedForms) {
  const CivilDate d{2024, 3, 5};
  EXPECT_EQ(FormatDate(1, d, kGerman), "5. M\xE4rz 2024");
  EXPECT_EQ(FormatDate(2, d, kGerman), "Dienstag, der 5. M\xE4rz 2024");
  EXPECT_EQ(FormatDate(3, d, kGerman), "20240305");
  EXPECT_EQ(FormatDate(4, d, kGerman), ".dMy");
  EXPECT_EQ(FormatDate(0, d, kGerman), "05.03.2024");
  for (int n = 5; n < 16; ++n) EXPECT_EQ(FormatDate(n, d, kGerman), "05.03.2024") << n;
}

TEST(FormatDateTest, NumberIsTakenModulo16) {
  const CivilDate d{2024, 3, 5};
  EXPECT_EQ(FormatDate(17, d, kGerman), "5. M\xE4rz 2024");
  EXPECT_EQ(FormatDate(35, d, kGerman), "20240305");
  EXPECT_EQ(FormatDate(16, d, kGerman), "05.03.2024");
  // Negative numbers take the residue 0..15.
  EXPECT_EQ(FormatDate(-15, d, kGerman), "5. M\xE4rz 2024");
  EXPECT_EQ(FormatDate(-12, d, kGerman), ".dMy");
  EXPECT_EQ(FormatDate(-1, d, kGerman), "05.03.2024");
}

TEST(FormatDateTest, ShortFormFollowsThePattern) {
  const CivilDate d{1999, 12, 31};
  EXPECT_EQ(FormatDate(0, d, kUs), "12/31/1999");
  EXPECT_EQ(FormatDate(4, d, kUs), "/Mdy");
  EXPECT_EQ(FormatDate(0, d, kIso), "1999-12-31");
  EXPECT_EQ(FormatDate(4, d, kIso), "-yMd");
  EXPECT_EQ(FormatDate(3, d, kUs), "19991231");
}

TEST(FormatDateTest, NamesAndPadding) {
  const char* months[] = {"Januar", "Februar", "M\xE4rz",     "April",   "Mai",      "Juni",
                          "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
  for (int m = 1; m <= 12; ++m)
    EXPECT_EQ(FormatDate(1, {2023, m, 10}, kGerman), "10. " + std::string(months[m - 1]) + " 2023");
  // 2023-10-01 is a Sunday, the days after it run through the week.
  const char* days[] = {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"};
  for (int i = 0; i < 7; ++i)
    EXPECT_EQ(FormatDate(2, {2023, 10, 1 + i}, kGerman),
              std::string(days[i]) + ", der " + std::to_string(1 + i) + ". Oktober 2023");
  EXPECT_EQ(FormatDate(1, {987, 1, 2}, kGerman), "2. Januar 0987");
  EXPECT_EQ(FormatDate(0, {987, 1, 2}, kGerman), "02.01.0987");
  EXPECT_EQ(FormatDate(3, {987, 1, 2}, kGerman), "09870102");
}

TEST(FormatTimeTest, EvenHoursMinutesOddSecondsMillis) {
  EXPECT_EQ(FormatTime(0, 9, 5, 7, 3), "09:05");
  EXPECT_EQ(FormatTime(2, 23, 59, 7, 3), "23:59");
  EXPECT_EQ(FormatTime(1, 9, 5, 7, 3), "07.03");
  EXPECT_EQ(FormatTime(3, 9, 5, 59, 123), "59.123");
  EXPECT_EQ(FormatTime(1, 0, 0, 0, 0), "00.00");
  EXPECT_EQ(FormatTime(-1, 9, 5, 7, 45), "07.45");
  EXPECT_EQ(FormatTime(-2, 0, 0, 7, 45), "00:00");
}

TEST(DbaseDateTest, WrittenInPatternOrder) {
  EXPECT_EQ(DbaseToShortDate("20240305", kGerman), "05.03.2024");
  EXPECT_EQ(DbaseToShortDate("20240305", kUs), "03/05/2024");
  EXPECT_EQ(DbaseToShortDate("20240305", kIso), "2024-03-05");
  EXPECT_EQ(DbaseToShortDate("20240229", kGerman), "29.02.2024");
  EXPECT_EQ(DbaseToShortDate("20001231", kGerman), "31.12.2000");
}

TEST(DbaseDateTest, YearBelow100CountsFrom1900) {
  EXPECT_EQ(DbaseToShortDate("00991231", kGerman), "31.12.1999");
  EXPECT_EQ(DbaseToShortDate("00000115", kIso), "1900-01-15");
  EXPECT_EQ(DbaseToShortDate("01000115", kIso), "0100-01-15");
  // 1900 is no leap year.
  EXPECT_EQ(DbaseToShortDate("00000229", kGerman), "");
}

TEST(DbaseDateTest, InvalidDatesGiveEmptyText) {
  for (const char* s : {"20241301", "20240001", "20240132", "20240100", "20240230", "20230229",
                        "19000229", "2024O305", "2024-3-5", "        ", "+2024030"})
    EXPECT_EQ(DbaseToShortDate(s, kGerman), "") << s;
  EXPECT_EQ(DbaseToShortDate("2024030", kGerman), "");
}

TEST(DbaseDateTest, ShortDateBackByOrderLetters) {
  EXPECT_EQ(ShortDateToDbase("05.03.2024", kGerman), "20240305");
  EXPECT_EQ(ShortDateToDbase("03/05/2024", kUs), "20240305");
  EXPECT_EQ(ShortDateToDbase("2024-03-05", kIso), "20240305");
  // Any order other than dMy and Mdy reads year, month, day.
  EXPECT_EQ(ShortDateToDbase("2024-03-05", Pattern("yyyy.dd.MM", ".")), "20240305");
  // The separator positions are not checked.
  EXPECT_EQ(ShortDateToDbase("05x03x2024", kGerman), "20240305");
  for (const DatePattern& p : {kGerman, kUs, kIso})
    EXPECT_EQ(ShortDateToDbase(DbaseToShortDate("19871124", p), p), "19871124") << p.order;
}

// The functions through the evaluator, with the pattern from a WIN.INI in a
// temporary Windows directory.
class DateFunctionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* v = std::getenv("TILMOR_WINDIR")) oldWindir_ = v;
    char tmpl[] = "/tmp/tilmor_datetime_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    ASSERT_EQ(setenv("TILMOR_WINDIR", dir_.c_str(), 1), 0);
    RegisterDateTimeFunctions();
    in.errorLevel = 0;
  }
  void TearDown() override {
    if (oldWindir_)
      setenv("TILMOR_WINDIR", oldWindir_->c_str(), 1);
    else
      unsetenv("TILMOR_WINDIR");
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  void WriteIntl(const std::string& shortDate, const std::string& sep) {
    std::ofstream(dir_ + "/WIN.INI", std::ios::binary)
        << "[windows]\r\nload=\r\n[intl]\r\nsShortDate=" << shortDate << "\r\nsDate=" << sep << "\r\n";
  }
  std::string Call(const char* name, const std::string& param) {
    in.param = param;
    in.lastError = 0;
    EvaluateFunction(in, name);
    return in.res.text;
  }
  static tm LocalNow() {
    time_t t = time(nullptr);
    tm out{};
    localtime_r(&t, &out);
    return out;
  }
  static std::string Print(const char* format, int a, int b, int c = 0) {
    char buf[32];
    std::snprintf(buf, sizeof buf, format, a, b, c);
    return buf;
  }

  Interp in;
  std::string dir_;
  std::optional<std::string> oldWindir_;
};

TEST_F(DateFunctionTest, PatternFromWinIni) {
  EXPECT_EQ(SystemDatePattern().order, "dMy");  // no WIN.INI yet
  EXPECT_EQ(SystemDatePattern().sep, '.');
  WriteIntl("M/d/yyyy", "/");
  EXPECT_EQ(SystemDatePattern().order, "Mdy");
  EXPECT_EQ(SystemDatePattern().sep, '/');
  EXPECT_EQ(Call("DATE$", "4)"), "/Mdy");
  EXPECT_EQ(in.res.type, kString);
  EXPECT_EQ(in.param, "");
  WriteIntl("yyyy-MM-dd", "-");
  EXPECT_EQ(Call("DATE$", "4)"), "-yMd");
}

TEST_F(DateFunctionTest, DateFollowsTheClock) {
  tm before = LocalNow();
  std::string text = Call("DATE$", "3)");
  tm after = LocalNow();
  auto Stamp = [](const tm& t) {
    return Print("%04d%02d%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
  };
  EXPECT_TRUE(text == Stamp(before) || text == Stamp(after)) << text;
  std::string shortForm = Call("DATE$", "0)");
  EXPECT_EQ(shortForm.size(), 10u);
  EXPECT_EQ(shortForm.substr(6), text.substr(0, 4));
}

TEST_F(DateFunctionTest, TimeFollowsTheClock) {
  tm before = LocalNow();
  std::string hm = Call("TIME$", "0)");
  tm after = LocalNow();
  EXPECT_TRUE(hm == Print("%02d:%02d", before.tm_hour, before.tm_min) ||
              hm == Print("%02d:%02d", after.tm_hour, after.tm_min))
      << hm;
  std::string sm = Call("TIME$", "1)");
  ASSERT_GE(sm.size(), 5u);
  ASSERT_LE(sm.size(), 6u);
  EXPECT_EQ(sm[2], '.');
  int seconds = std::atoi(sm.substr(0, 2).c_str());
  EXPECT_GE(seconds, 0);
  EXPECT_LE(seconds, 60);
  EXPECT_LT(std::atoi(sm.substr(3).c_str()), 1000);
  EXPECT_EQ(in.res.type, kString);
}

TEST_F(DateFunctionTest, DtocUsesTheSystemPattern) {
  EXPECT_EQ(Call("DTOC$", "\"20240305\")"), "05.03.2024");
  EXPECT_EQ(in.res.type, kString);
  WriteIntl("MM/dd/yy", "/");
  EXPECT_EQ(Call("DTOC$", "\"00451108\")"), "11/08/1945");
  WriteIntl("yyyy-MM-dd", "-");
  EXPECT_EQ(Call("DTOC$", "\"20240305\")"), "2024-03-05");
  EXPECT_EQ(Call("DTOC$", "\"20240230\")"), "");
  EXPECT_EQ(in.lastError, 0);
}

TEST_F(DateFunctionTest, DtocWarnsOnWrongLength) {
  for (const char* arg : {"\"2024035\")", "\"202403051\")", "\"\")", "\"20240305 \")"}) {
    EXPECT_EQ(Call("DTOC$", arg), "") << arg;
    EXPECT_EQ(in.lastError, 202) << arg;
    EXPECT_EQ(in.res.type, kString);
  }
  // A number is no dBase date, not even one of eight digits.
  EXPECT_EQ(Call("DTOC$", "20240305)"), "");
  EXPECT_EQ(in.lastError, 202);
}

TEST_F(DateFunctionTest, CtodGivesTextAndNumber) {
  EXPECT_EQ(Call("CTOD$", "\"  05.03.2024 \")"), "20240305");
  EXPECT_EQ(in.res.type, kString);
  EXPECT_EQ(in.res.lval, 20240305);
  EXPECT_EQ(in.res.ival, 20240305);
  EXPECT_EQ(in.res.fval, 20240305.0);
  EXPECT_EQ(in.lastError, 0);
  WriteIntl("M/d/yyyy", "/");
  EXPECT_EQ(Call("CTOD$", "\"12/31/1999\")"), "19991231");
  EXPECT_EQ(in.res.lval, 19991231);
  WriteIntl("yy-MM-dd", "-");
  EXPECT_EQ(Call("CTOD$", "\"1999-12-31\")"), "19991231");
  EXPECT_EQ(in.res.lval, 19991231);
}

TEST_F(DateFunctionTest, CtodWarnsOnWrongLength) {
  for (const char* arg : {"\"5.3.2024\")", "\"05.03.20245\")", "\"   \")"}) {
    in.res.lval = 77;
    EXPECT_EQ(Call("CTOD$", arg), "") << arg;
    EXPECT_EQ(in.lastError, 203) << arg;
    EXPECT_EQ(in.res.lval, 0);
  }
  EXPECT_EQ(Call("CTOD$", "1234567890)"), "");
  EXPECT_EQ(in.lastError, 203);
}

TEST_F(DateFunctionTest, DtocAndCtodAreInverse) {
  const struct {
    const char* shortDate;
    const char* sep;
  } kSettings[] = {{"dd.MM.yyyy", "."}, {"MM/dd/yyyy", "/"}, {"yyyy-MM-dd", "-"}};
  for (const auto& s : kSettings) {
    WriteIntl(s.shortDate, s.sep);
    EXPECT_EQ(Call("CTOD$", "@DTOC$(\"19871124\"))"), "19871124") << s.shortDate;
    EXPECT_EQ(in.res.lval, 19871124) << s.shortDate;
  }
}

}  // namespace
