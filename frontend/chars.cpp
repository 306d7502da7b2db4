#include "chars.h"

namespace tilmor {

std::string_view TrimView(std::string_view s) {
  size_t end = s.size();
  while (end > 0 && static_cast<unsigned char>(s[end - 1]) < 33) --end;
  size_t start = 0;
  while (start < end && static_cast<unsigned char>(s[start]) < 33) ++start;
  return s.substr(start, end - start);
}

std::string Trim(std::string_view s) { return std::string(TrimView(s)); }

void TrimInPlace(std::string& s) {
  size_t end = s.size();
  while (end > 0 && static_cast<unsigned char>(s[end - 1]) < 33) --end;
  size_t start = 0;
  while (start < end && static_cast<unsigned char>(s[start]) < 33) ++start;
  if (end < s.size()) s.resize(end);
  if (start > 0) s.erase(0, start);
}

std::string UpperCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = UpperChar(c);
  return out;
}

std::string LowerCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = LowerChar(c);
  return out;
}

int FindTop(char c, std::string_view s) {
  int depth = 0;
  const size_t n = s.size();
  for (size_t i = 0; i < n; ++i) {
    char ch = s[i];
    if (depth == 0 && ch == c) return static_cast<int>(i) + 1;
    if (ch == '"') {
      size_t q = s.find('"', i + 1);
      if (q == std::string_view::npos) return 0;
      i = q;
      continue;
    }
    if (ch == '(')
      ++depth;
    else if (ch == ')')
      --depth;
  }
  return 0;
}

int FindTopRight(char c, std::string_view s) {
  int depth = 0;
  for (size_t k = s.size(); k > 0; --k) {
    size_t i = k - 1;
    char ch = s[i];
    if (depth == 0 && ch == c) return static_cast<int>(s.size() - i);
    if (ch == '"') {
      size_t q = i == 0 ? std::string_view::npos : s.rfind('"', i - 1);
      if (q == std::string_view::npos) return 0;
      k = q + 1;
      continue;
    }
    if (ch == ')')
      ++depth;
    else if (ch == '(')
      --depth;
  }
  return 0;
}

std::string PadLeft(std::string_view s, int width) {
  if (width <= 0 || static_cast<int>(s.size()) >= width) return std::string(s);
  // A short string holds 255 characters: a wider field is cut there, so
  // blanks beyond that are never made.
  size_t blanks = static_cast<size_t>(width) - s.size();
  if (blanks >= kShortMax) return std::string(kShortMax, ' ');
  std::string out(blanks, ' ');
  out += s;
  Cut255(out);
  return out;
}

bool StartsWithUpper(std::string_view line, std::string_view prefix) {
  std::string_view t = TrimView(line);
  if (t.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (UpperChar(t[i]) != prefix[i]) return false;
  return true;
}

}  // namespace tilmor
