// @DATE$, @TIME$ and the dBase date conversions @DTOC$ and @CTOD$.
#include <time.h>

#include <chrono>

#include "argreader.h"
#include "chars.h"
#include "commands.h"
#include "datetime.h"
#include "errors.h"
#include "functions.h"
#include "numbers.h"
#include "profile.h"

namespace tilmor {
namespace {

const char* const kMonths[] = {"Januar", "Februar", "M\xE4rz",     "April",   "Mai",      "Juni",
                               "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
const char* const kWeekdays[] = {"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                                 "Donnerstag", "Freitag", "Samstag"};

// v in decimal with leading zeros up to `width` digits.
std::string Digits(int v, int width) {
  std::string s = std::to_string(v);
  if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<size_t>(width) - s.size(), '0');
  return s;
}

bool IsValid(const CivilDate& d) {
  using namespace std::chrono;
  return year_month_day{year{d.year}, month{static_cast<unsigned>(d.month)},
                        day{static_cast<unsigned>(d.day)}}
      .ok();
}

// Day, month and year in the pattern's order, joined by its separator.
std::string ShortDate(const CivilDate& d, const DatePattern& p) {
  std::string s;
  for (char letter : p.order) {
    if (!s.empty()) s += p.sep;
    if (letter == 'd')
      s += Digits(d.day, 2);
    else if (letter == 'M')
      s += Digits(d.month, 2);
    else
      s += Digits(d.year, 4);
  }
  return s;
}

struct Clock {
  CivilDate date;
  int hour, minute, second, millis;
};

Clock Now() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm t{};
  localtime_r(&ts.tv_sec, &t);
  return {{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday},
          t.tm_hour,
          t.tm_min,
          t.tm_sec,
          static_cast<int>(ts.tv_nsec / 1000000)};
}

void SetText(Interp& in, std::string text) {
  in.res.type = kString;
  in.res.text = std::move(text);
}

void DateFunction(Interp& in) {
  ReadArg(in, ')', kAny);
  int32_t n = in.res.lval;
  SetText(in, FormatDate(n, Now().date, SystemDatePattern()));
}

void TimeFunction(Interp& in) {
  ReadArg(in, ')', kAny);
  int32_t n = in.res.lval;
  Clock c = Now();
  SetText(in, FormatTime(n, c.hour, c.minute, c.second, c.millis));
}

// A number is as wrong an argument as a text of the wrong length.
void DbaseToShortFunction(Interp& in) {
  ReadArg(in, ')', kAny);
  if (in.res.type != kString || in.res.text.size() != 8) {
    Warning(in, 202);
    SetText(in, "");
    return;
  }
  SetText(in, DbaseToShortDate(in.res.text, SystemDatePattern()));
}

void ShortToDbaseFunction(Interp& in) {
  ReadArg(in, ')', kAny);
  std::string s = in.res.type == kString ? Trim(in.res.text) : std::string();
  if (in.res.type != kString || s.size() != 10) {
    Warning(in, 203);
    SetText(in, "");
    in.res.lval = in.res.ival = 0;
    return;
  }
  SetText(in, ShortDateToDbase(s, SystemDatePattern()));
  // A string result that carries the date as a number too.
  in.res.lval = in.res.ival = ReadWhole(in.res.text);
}

}  // namespace

DatePattern ParseDatePattern(std::string_view shortDate, std::string_view dateSep) {
  DatePattern p;
  if (!dateSep.empty()) p.sep = dateSep[0];
  p.order.clear();
  bool quoted = false;
  for (char c : shortDate) {
    if (c == '\'') quoted = !quoted;
    if (quoted) continue;
    char letter = c == 'D' || c == 'd' ? 'd' : c == 'M' || c == 'm' ? 'M' : c == 'Y' || c == 'y' ? 'y' : 0;
    if (letter && p.order.find(letter) == std::string::npos) p.order += letter;
  }
  // A pattern that lacks a letter still needs all three to write a date.
  for (char letter : {'d', 'M', 'y'})
    if (p.order.find(letter) == std::string::npos) p.order += letter;
  return p;
}

DatePattern SystemDatePattern() {
  return ParseDatePattern(win::WinIniString("intl", "sShortDate", "dd.MM.yyyy"),
                          win::WinIniString("intl", "sDate", "."));
}

int Weekday(const CivilDate& d) {
  using namespace std::chrono;
  sys_days days{year{d.year} / month{static_cast<unsigned>(d.month)} / day{static_cast<unsigned>(d.day)}};
  return static_cast<int>(weekday{days}.c_encoding());
}

std::string FormatDate(int32_t n, const CivilDate& d, const DatePattern& p) {
  // The non-negative residue, so that -15 is form 1.
  std::string longForm = std::to_string(d.day) + ". " + kMonths[(d.month + 11) % 12] + " " + Digits(d.year, 4);
  switch (n & 15) {
    case 1: return longForm;
    case 2: return std::string(kWeekdays[Weekday(d)]) + ", der " + longForm;
    case 3: return Digits(d.year, 4) + Digits(d.month, 2) + Digits(d.day, 2);
    case 4: return p.sep + p.order;
    default: return ShortDate(d, p);
  }
}

std::string FormatTime(int32_t n, int hour, int minute, int second, int millis) {
  if (n & 1) return Digits(second, 2) + "." + Digits(millis, 2);
  return Digits(hour, 2) + ":" + Digits(minute, 2);
}

std::string DbaseToShortDate(std::string_view s, const DatePattern& p) {
  if (s.size() != 8) return "";
  for (char c : s)
    if (c < '0' || c > '9') return "";
  auto number = [&](size_t at, size_t len) { return std::stoi(std::string(s.substr(at, len))); };
  CivilDate d{number(0, 4), number(4, 2), number(6, 2)};
  if (d.year < 100) d.year += 1900;
  if (!IsValid(d)) return "";
  return ShortDate(d, p);
}

std::string ShortDateToDbase(std::string_view s, const DatePattern& p) {
  if (s.size() != 10) return "";
  std::string out;
  if (p.order == "dMy") {
    out.append(s.substr(6, 4)).append(s.substr(3, 2)).append(s.substr(0, 2));
  } else if (p.order == "Mdy") {
    out.append(s.substr(6, 4)).append(s.substr(0, 2)).append(s.substr(3, 2));
  } else {
    out.append(s.substr(0, 4)).append(s.substr(5, 2)).append(s.substr(8, 2));
  }
  return out;
}

void RegisterDateTimeFunctions() {
  RegisterFunction("DATE$", DateFunction);
  RegisterFunction("TIME$", TimeFunction);
  RegisterFunction("DTOC$", DbaseToShortFunction);
  RegisterFunction("CTOD$", ShortToDbaseFunction);
}

}  // namespace tilmor
