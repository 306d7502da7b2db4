#include <gtest/gtest.h>
#include <time.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "commands.h"
#include "datetime.h"
#include "functions.h"
#include "interp.h"

namespace {

using namespace tilmor;

DatePattern Pattern(const char* shortDate, const char* sep) { return ParseDatePattern(shortDate, sep); }

const DatePattern kGerman = Pattern("dd.MM.yyyy", ".");
const DatePattern kUs = Pattern("M/d/yyyy", "/");
const DatePattern kIso = Pattern("yyyy-MM-dd", "-");

TEST(DatePatternTest, SeparatorAndOrderLetters) {
  EXPECT_EQ(std::string(1, kGerman.sep) + kGerman.order, ".dMy");
  EXPECT_EQ(std::string(1, kUs.sep) + kUs.order, "/Mdy");
  EXPECT_EQ(std::string(1, kIso.sep) + kIso.order, "-yMd");
  // Either case, each letter once, quoted text skipped, missing ones appended.
  EXPECT_EQ(Pattern("YY/mm/DD", "/").order, "yMd");
  EXPECT_EQ(Pattern("d.M.yy yyyy dd", ".").order, "dMy");
  EXPECT_EQ(Pattern("'am' yyyy-MM-dd", "-").order, "yMd");
  EXPECT_EQ(Pattern("MM/yy", "/").order, "Myd");
  // The separator is the first character of its own setting.
  EXPECT_EQ(Pattern("dd/MM/yyyy", "-/").sep, '-');
  EXPECT_EQ(Pattern("dd/MM/yyyy", "").sep, '.');
}

TEST(FormatDateTest, NumberedFormsModulo16) {
  const CivilDate d{2024, 3, 5};
  EXPECT_EQ(FormatDate(1, d, kGerman), "5. M\xE4rz 2024");
  EXPECT_EQ(FormatDate(2, d, kGerman), "Dienstag, der 5. M\xE4rz 2024");
  EXPECT_EQ(FormatDate(3, d, kGerman), "20240305");
  EXPECT_EQ(FormatDate(4, d, kGerman), ".dMy");
  for (int n : {0, 5, 9, 15, 16, 31, -1})
    EXPECT_EQ(FormatDate(n, d, kGerman), "05.03.2024") << n;
  EXPECT_EQ(FormatDate(17, d, kGerman), "5. M\xE4rz 2024");
  EXPECT_EQ(FormatDate(35, d, kGerman), "20240305");
  // Negative numbers take the residue 0..15.
  EXPECT_EQ(FormatDate(-15, d, kGerman), "5. M\xE4rz 2024");
  EXPECT_EQ(FormatDate(-12, d, kGerman), ".dMy");
  EXPECT_EQ(FormatDate(0, {1999, 12, 31}, kUs), "12/31/1999");
  EXPECT_EQ(FormatDate(0, {1999, 12, 31}, kIso), "1999-12-31");
  EXPECT_EQ(FormatDate(4, d, kIso), "-yMd");
  EXPECT_EQ(FormatDate(0, {987, 1, 2}, kGerman), "02.01.0987");
  EXPECT_EQ(FormatDate(1, {987, 1, 2}, kGerman), "2. Januar 0987");
}

TEST(FormatDateTest, MonthAndWeekdayNames) {
  const char* months[] = {"Januar", "Februar", "M\xE4rz",     "April",   "Mai",      "Juni",
                          "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
  for (int m = 1; m <= 12; ++m)
    EXPECT_EQ(FormatDate(1, {2023, m, 10}, kGerman), "10. " + std::string(months[m - 1]) + " 2023");
  // 2023-10-01 was a Sunday.
  const char* days[] = {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"};
  for (int i = 0; i < 7; ++i)
    EXPECT_EQ(FormatDate(2, {2023, 10, 1 + i}, kGerman),
              std::string(days[i]) + ", der " + std::to_string(1 + i) + ". Oktober 2023");
  EXPECT_EQ(Weekday({1970, 1, 1}), 4);
  EXPECT_EQ(Weekday({2000, 2, 29}), 2);
  EXPECT_EQ(Weekday({1900, 3, 1}), 4);
}

TEST(FormatTimeTest, EvenHoursMinutesOddSecondsMillis) {
  EXPECT_EQ(FormatTime(0, 9, 5, 7, 3), "09:05");
  EXPECT_EQ(FormatTime(-2, 23, 59, 7, 3), "23:59");
  EXPECT_EQ(FormatTime(1, 9, 5, 7, 3), "07.03");
  EXPECT_EQ(FormatTime(3, 9, 5, 59, 123), "59.123");
  EXPECT_EQ(FormatTime(-1, 0, 0, 0, 45), "00.45");
}

TEST(DbaseDateTest, BothDirections) {
  EXPECT_EQ(DbaseToShortDate("20240305", kGerman), "05.03.2024");
  EXPECT_EQ(DbaseToShortDate("20240305", kUs), "03/05/2024");
  EXPECT_EQ(DbaseToShortDate("20240229", kIso), "2024-02-29");
  // Years below 100 count from 1900, which is no leap year.
  EXPECT_EQ(DbaseToShortDate("00991231", kGerman), "31.12.1999");
  EXPECT_EQ(DbaseToShortDate("00000115", kIso), "1900-01-15");
  EXPECT_EQ(DbaseToShortDate("01000115", kIso), "0100-01-15");
  for (const char* s : {"00000229", "20241301", "20240001", "20240132", "20240100", "20240230",
                        "20230229", "2024O305", "        ", "+2024030", "2024030"})
    EXPECT_EQ(DbaseToShortDate(s, kGerman), "") << s;
  EXPECT_EQ(ShortDateToDbase("05.03.2024", kGerman), "20240305");
  EXPECT_EQ(ShortDateToDbase("03/05/2024", kUs), "20240305");
  EXPECT_EQ(ShortDateToDbase("2024-03-05", kIso), "20240305");
  // Orders other than dMy and Mdy read year, month, day.
  EXPECT_EQ(ShortDateToDbase("2024.03.05", Pattern("yyyy.dd.MM", ".")), "20240305");
}

// The functions through the evaluator, the pattern from a WIN.INI in a
// temporary Windows directory; level 0 keeps warnings silent.
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
  // strftime of the local time now.
  static std::string Now(const char* format) {
    time_t t = time(nullptr);
    tm local{};
    localtime_r(&t, &local);
    char buf[32];
    strftime(buf, sizeof buf, format, &local);
    return buf;
  }

  Interp in;
  std::string dir_;
  std::optional<std::string> oldWindir_;
};

TEST_F(DateFunctionTest, PatternFromWinIni) {
  EXPECT_EQ(Call("DATE$", "4)"), ".dMy");  // no WIN.INI yet
  WriteIntl("M/d/yyyy", "/");
  EXPECT_EQ(Call("DATE$", "4)"), "/Mdy");
  EXPECT_EQ(in.res.type, kString);
  EXPECT_EQ(in.param, "");
  WriteIntl("yyyy-MM-dd", "-");
  EXPECT_EQ(Call("DATE$", "4)"), "-yMd");
}

// A minute or day may turn between the readings; the result is one of them.
TEST_F(DateFunctionTest, DateAndTimeFollowTheClock) {
  std::string before = Now("%Y%m%d %H:%M");
  std::string date = Call("DATE$", "3)");
  std::string time = Call("TIME$", "0)");
  std::string after = Now("%Y%m%d %H:%M");
  EXPECT_TRUE(date + " " + time == before || date + " " + time == after) << date << " " << time;
  std::string seconds = Call("TIME$", "1)");
  ASSERT_GE(seconds.size(), 5u);
  EXPECT_EQ(seconds[2], '.');
  EXPECT_LE(std::atoi(seconds.c_str()), 60);
  EXPECT_LT(std::atoi(seconds.c_str() + 3), 1000);
  EXPECT_EQ(Call("DATE$", "0)").substr(6), date.substr(0, 4));
}

TEST_F(DateFunctionTest, DtocUsesTheSystemPattern) {
  EXPECT_EQ(Call("DTOC$", "\"20240305\")"), "05.03.2024");
  EXPECT_EQ(in.res.type, kString);
  WriteIntl("MM/dd/yy", "/");
  EXPECT_EQ(Call("DTOC$", "\"00451108\")"), "11/08/1945");
  EXPECT_EQ(Call("DTOC$", "\"20240230\")"), "");
  EXPECT_EQ(in.lastError, 0);
  // Not eight characters, and not a text at all.
  for (const char* arg : {"\"2024035\")", "\"\")", "\"20240305 \")", "20240305)"}) {
    EXPECT_EQ(Call("DTOC$", arg), "") << arg;
    EXPECT_EQ(in.lastError, 202) << arg;
  }
}

TEST_F(DateFunctionTest, CtodGivesTextAndNumber) {
  EXPECT_EQ(Call("CTOD$", "\"  05.03.2024 \")"), "20240305");
  EXPECT_EQ(in.res.type, kString);
  EXPECT_EQ(in.res.lval, 20240305);
  EXPECT_EQ(in.res.ival, 20240305);
  EXPECT_EQ(in.res.fval, 20240305.0);
  WriteIntl("M/d/yyyy", "/");
  EXPECT_EQ(Call("CTOD$", "\"12/31/1999\")"), "19991231");
  EXPECT_EQ(in.lastError, 0);
  for (const char* arg : {"\"5.3.2024\")", "\"05.03.20245\")", "\"   \")", "1234567890)"}) {
    EXPECT_EQ(Call("CTOD$", arg), "") << arg;
    EXPECT_EQ(in.lastError, 203) << arg;
    EXPECT_EQ(in.res.lval, 0);
  }
}

TEST_F(DateFunctionTest, DtocAndCtodAreInverse) {
  const char* kSettings[][2] = {{"dd.MM.yyyy", "."}, {"MM/dd/yyyy", "/"}, {"yyyy-MM-dd", "-"}};
  for (const auto& s : kSettings) {
    WriteIntl(s[0], s[1]);
    EXPECT_EQ(Call("CTOD$", "@DTOC$(\"19871124\"))"), "19871124") << s[0];
    EXPECT_EQ(in.res.lval, 19871124) << s[0];
  }
}

}  // namespace
