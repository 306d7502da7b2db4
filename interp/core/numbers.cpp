#include "numbers.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "chars.h"
#include "lazytext.h"

namespace tilmor {

std::string FormatInteger(int64_t v, int width) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return PadLeft(std::string_view(buf, static_cast<size_t>(r.ptr - buf)), width);
}

std::string FormatFloat(double v, int width, int decimals) {
  if (decimals < 0) decimals = 0;
  if (decimals > 200) decimals = 200;
  std::string s;
  if (std::isnan(v)) {
    s = "NAN";
  } else if (std::isinf(v)) {
    s = v > 0 ? "INF" : "-INF";
  } else {
    // The formatter rounds an exact tie to even; the language rounds it away
    // from zero. A tie at d places means v = m * 2^e with m odd and
    // e + d == -1.
    int e2;
    double m = std::frexp(v, &e2);  // v = m * 2^e2, 0.5 <= |m| < 1
    if (m != 0) {
      auto mant = static_cast<uint64_t>(std::fabs(std::ldexp(m, 53)));
      int e = e2 - 53 + std::countr_zero(mant);
      if (e + decimals == -1) v = std::nextafter(v, v > 0 ? INFINITY : -INFINITY);
    }
    // 309 digits before the point at most, 200 after.
    char buf[520];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    s.assign(buf, r.ptr);
  }
  if (width > 0) s = PadLeft(s, width);
  Cut255(s);
  return s;
}

void LazyText::Materialize() const {
  s_ = kind_ == kWhole ? FormatInteger(whole_, width_) : FormatFloat(float_, width_, decimals_);
  kind_ = kReady;
}

int32_t ReadWhole(std::string_view s, bool* ok) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  uint64_t v = 0;
  bool any = false;
  bool overflow = false;
  if (i < s.size() && s[i] == '$') {
    ++i;
    for (; i < s.size(); ++i) {
      char c = s[i];
      int d = (c >= '0' && c <= '9') ? c - '0'
              : (c >= 'A' && c <= 'F') ? c - 'A' + 10
              : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                                       : -1;
      if (d < 0) break;
      if (v > 0xFFFFFFFFull >> 4) {
        overflow = true;
        break;
      }
      v = v * 16 + static_cast<unsigned>(d);
      any = true;
    }
  } else {
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
      uint64_t nv = v * 10 + static_cast<unsigned>(s[i] - '0');
      if (nv > (neg ? 2147483648ull : 2147483647ull)) {
        overflow = true;
        break;
      }
      v = nv;
      any = true;
    }
  }
  if (ok) *ok = any && !overflow && i == s.size();
  uint32_t u = static_cast<uint32_t>(v);
  return static_cast<int32_t>(neg ? 0u - u : u);
}

bool ReadFloat(std::string_view s, double& out) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  size_t start = i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  size_t digits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    size_t ed = 0;
    while (j < s.size() && s[j] >= '0' && s[j] <= '9') ++j, ++ed;
    if (ed == 0) return false;
    i = j;
  }
  if (i != s.size()) return false;
  std::string text(s.substr(start, i - start));
  out = std::strtod(text.c_str(), nullptr);
  return true;
}

int32_t TruncToInt32(double v) {
  if (!(std::fabs(v) <= 2147483647.0)) return 0;
  return static_cast<int32_t>(std::trunc(v));
}

}  // namespace tilmor
