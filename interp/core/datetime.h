// Dates and times of the language: @DATE$, @TIME$, @DTOC$, @CTOD$. The
// formatting works on given values so that it does not depend on the clock.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tilmor {

struct CivilDate {
  int year = 1900;
  int month = 1;
  int day = 1;
};

// The system's short-date pattern reduced to what the language uses: the
// separator and the order of the letters d, M and y.
struct DatePattern {
  char sep = '.';
  std::string order = "dMy";
};

// shortDate as in sShortDate ("dd.MM.yyyy"), dateSep as in sDate (".").
DatePattern ParseDatePattern(std::string_view shortDate, std::string_view dateSep);
// The pattern of section intl of WIN.INI.
DatePattern SystemDatePattern();

// 0 Sunday .. 6 Saturday.
int Weekday(const CivilDate& d);
// The forms of @DATE$(n) and @TIME$(n).
std::string FormatDate(int32_t n, const CivilDate& d, const DatePattern& p);
std::string FormatTime(int32_t n, int hour, int minute, int second, int millis);

// "YYYYMMDD" to day, month and year in the pattern's order; "" when it is
// not a valid date.
std::string DbaseToShortDate(std::string_view s, const DatePattern& p);
// A ten-character short date back to "YYYYMMDD" by the order letters.
std::string ShortDateToDbase(std::string_view s, const DatePattern& p);

}  // namespace tilmor
