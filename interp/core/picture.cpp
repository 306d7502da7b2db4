#include "picture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace tilmor {

namespace {

constexpr size_t kMaxLen = 255;
constexpr int kMaxDigits = 18;      // the runtime never shows more
constexpr int kGeneralDigits = 15;  // general format precision

// A non-negative decimal: 0.digits * 10^exp, no trailing zeros in `digits`.
// Zero has empty digits.
struct Decimal {
  std::string digits;
  int exp = 0;
};

// Every double has a finite decimal expansion (at most 767 significant
// digits) and glibc prints it exactly; working on it makes halves exact.
// v = m * 2^e with m odd has at most -e decimals and E*log10(2)+1 integer
// digits, so asking for that many keeps the common case short.
Decimal Exact(double v) {
  v = std::fabs(v);
  int big_e = 0;
  double mant = std::ldexp(std::frexp(v, &big_e), 53);
  int e = big_e - 53;
  while (mant != 0 && std::fmod(mant, 2.0) == 0) mant /= 2, ++e;
  int need = (big_e > 0 ? big_e * 30103 / 100000 + 1 : 0) + (e < 0 ? -e : 0);
  char buf[800];
  std::snprintf(buf, sizeof buf, "%.*e", std::clamp(need + 1, 17, 766), v);
  Decimal d;
  const char* x = std::strchr(buf, 'e');
  for (const char* p = buf; p < x; ++p)
    if (*p != '.') d.digits += *p;
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (!d.digits.empty()) d.exp = std::atoi(x + 1) + 1;
  return d;
}

// Keeps `keep` significant digits, halves away from zero.
Decimal Round(Decimal d, int keep) {
  if (keep < 0) return {};
  if (static_cast<size_t>(keep) >= d.digits.size()) return d;
  bool up = d.digits[static_cast<size_t>(keep)] >= '5';
  d.digits.resize(static_cast<size_t>(keep));
  if (up) {
    while (!d.digits.empty() && d.digits.back() == '9') d.digits.pop_back();
    if (d.digits.empty()) {
      d.digits = "1";
      ++d.exp;
    } else {
      ++d.digits.back();
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) d.exp = 0;
  return d;
}

// Shortest form at 15 digits; scientific outside 0.00001 .. 15 integer digits.
std::string General(const Decimal& exact, bool neg) {
  Decimal d = Round(exact, kGeneralDigits);
  if (d.digits.empty()) return "0";
  std::string s = neg ? "-" : "";
  if (d.exp > kGeneralDigits || d.exp < -4) {
    s += d.digits[0];
    if (d.digits.size() > 1) s += "." + d.digits.substr(1);
    s += "E" + std::to_string(d.exp - 1);
  } else if (d.exp <= 0) {
    s += "0." + std::string(static_cast<size_t>(-d.exp), '0') + d.digits;
  } else {
    size_t n = static_cast<size_t>(d.exp);
    std::string digits = d.digits;
    if (digits.size() < n) digits.resize(n, '0');
    s += digits.substr(0, n);
    if (digits.size() > n) s += "." + digits.substr(n);
  }
  return s;
}

enum class Kind { kText, kInt, kPoint, kFrac, kExp };

struct Item {
  Kind kind;
  int index = 0;  // placeholder number: integer ones from 0, fraction from 1
  std::string text;
};

struct Section {
  std::vector<Item> items;
  int n_int = 0, n_dec = 0;    // placeholders before / after the point
  int min_int = 0, min_dec = 0;  // digits the '0' placeholders force
  bool group = false;
  bool sci = false;
  char exp_char = 'E';
  bool exp_plus = false;
  int exp_digits = 0;
};

void AddText(Section& sec, std::string_view text) {
  if (sec.items.empty() || sec.items.back().kind != Kind::kText)
    sec.items.push_back({Kind::kText, 0, {}});
  sec.items.back().text += text;
}

Section Parse(std::string_view s) {
  Section sec;
  bool point = false;
  int first_zero = -1;
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '"' || c == '\'') {
      size_t end = std::min(s.find(c, i + 1), s.size());
      AddText(sec, s.substr(i + 1, end - i - 1));
      i = end;
    } else if ((c == '0' || c == '#') && !sec.sci) {
      if (!point) {
        if (c == '0' && first_zero < 0) first_zero = sec.n_int;
        sec.items.push_back({Kind::kInt, sec.n_int++, {}});
      } else {
        sec.items.push_back({Kind::kFrac, ++sec.n_dec, {}});
        if (c == '0') sec.min_dec = sec.n_dec;
      }
    } else if (c == '.') {
      if (!point) sec.items.push_back({Kind::kPoint, 0, {}});
      point = true;
    } else if (c == ',') {
      sec.group = true;  // where the commas are does not matter
    } else if ((c == 'E' || c == 'e') && !sec.sci && sec.n_int + sec.n_dec > 0 &&
               i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-')) {
      sec.sci = true;
      sec.exp_char = c;
      sec.exp_plus = s[++i] == '+';
      while (sec.exp_digits < 4 && i + 1 < s.size() && s[i + 1] == '0') ++sec.exp_digits, ++i;
      sec.items.push_back({Kind::kExp, 0, {}});
    } else {
      AddText(sec, std::string_view(&s[i], 1));
    }
  }
  if (first_zero >= 0) sec.min_int = sec.n_int - first_zero;
  return sec;
}

// Rounds to what the section shows: its decimals, or in scientific form its
// placeholders; never more than 18 significant digits.
Decimal RoundFor(const Section& sec, const Decimal& exact) {
  if (sec.sci) return Round(exact, std::min(kMaxDigits, sec.n_int + sec.n_dec));
  return Round(exact, std::min(kMaxDigits, exact.exp + sec.n_dec));
}

std::string Render(const Section& sec, const Decimal& d, bool neg) {
  // In scientific form the exponent moves the point behind n_int digits.
  int exp10 = 0, point = d.exp;
  if (sec.sci && !d.digits.empty()) {
    exp10 = d.exp - sec.n_int;
    point = sec.n_int;
  }
  auto digit = [&](int pos) {
    return pos >= 0 && static_cast<size_t>(pos) < d.digits.size() ? d.digits[static_cast<size_t>(pos)]
                                                                    : '0';
  };
  std::string int_part, frac;
  for (int k = 0; k < point; ++k) int_part += digit(k);
  if (int_part.size() < static_cast<size_t>(sec.min_int))
    int_part.insert(0, static_cast<size_t>(sec.min_int) - int_part.size(), '0');
  for (int k = 0; k < sec.n_dec; ++k) frac += digit(point + k);
  while (frac.size() > static_cast<size_t>(sec.min_dec) && frac.back() == '0') frac.pop_back();

  const int len = static_cast<int>(int_part.size());
  std::string out;
  // pos counts integer digits from the right, starting at 0.
  auto put = [&](int pos) {
    out += int_part[static_cast<size_t>(len - 1 - pos)];
    if (sec.group && !sec.sci && pos > 0 && pos % 3 == 0) out += ',';
  };
  // The sign and any surplus integer digits go where the number starts.
  bool started = false;
  auto start = [&](int first_pos) {
    if (started) return;
    started = true;
    if (neg) out += '-';
    for (int pos = len - 1; pos >= first_pos; --pos) put(pos);
  };
  for (const Item& item : sec.items) {
    switch (item.kind) {
      case Kind::kText:
        out += item.text;
        break;
      case Kind::kInt: {
        start(sec.n_int);
        int pos = sec.n_int - 1 - item.index;
        if (pos < len) put(pos);
        break;
      }
      case Kind::kPoint:
        if (sec.n_int == 0 && sec.n_dec > 0) start(0);
        if (!frac.empty()) out += '.';
        break;
      case Kind::kFrac:
        if (static_cast<size_t>(item.index) <= frac.size()) out += frac[static_cast<size_t>(item.index - 1)];
        break;
      case Kind::kExp: {
        out += sec.exp_char;
        if (exp10 < 0) out += '-';
        else if (sec.exp_plus) out += '+';
        std::string e = std::to_string(std::abs(exp10));
        if (e.size() < static_cast<size_t>(sec.exp_digits))
          e.insert(0, static_cast<size_t>(sec.exp_digits) - e.size(), '0');
        out += e;
        break;
      }
    }
  }
  return out;
}

// Splits at ';' outside quotes; a fourth section and beyond are ignored.
std::vector<std::string_view> Sections(std::string_view picture) {
  std::vector<std::string_view> out;
  size_t begin = 0;
  char quote = 0;
  for (size_t i = 0; i < picture.size(); ++i) {
    char c = picture[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == ';') {
      out.push_back(picture.substr(begin, i - begin));
      begin = i + 1;
    }
  }
  out.push_back(picture.substr(begin));
  if (out.size() > 3) out.resize(3);
  return out;
}

std::string Cut(std::string s) {
  if (s.size() > kMaxLen) s.resize(kMaxLen);
  return s;
}

}  // namespace

std::string FormatPicture(std::string_view picture, double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  const std::vector<std::string_view> secs = Sections(picture);
  const Decimal exact = Exact(value);
  const bool neg = value < 0;
  if (!exact.digits.empty()) {
    // A negative section shows the absolute value; the first one adds '-'.
    bool own_neg = neg && secs.size() >= 2 && !secs[1].empty();
    std::string_view pick = own_neg ? secs[1] : secs[0];
    if (pick.empty()) return Cut(General(exact, neg));
    Section sec = Parse(pick);
    Decimal d = RoundFor(sec, exact);
    if (!d.digits.empty()) {
      if (!sec.sci && d.exp > kMaxDigits) return Cut(General(exact, neg));
      return Cut(Render(sec, d, neg && !own_neg));
    }
    // Rounded away to nothing: shown as zero, without a sign.
  }
  std::string_view zero = secs.size() == 3 && !secs[2].empty() ? secs[2] : secs[0];
  if (zero.empty()) return "0";
  return Cut(Render(Parse(zero), Decimal{}, false));
}

}  // namespace tilmor
