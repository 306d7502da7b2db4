// Character routines shared by loading, translation, evaluation and commands.
// All texts are Windows-1252 short strings (at most 255 characters).
#pragma once

#include <string>
#include <string_view>

namespace tilmor {

constexpr size_t kShortMax = 255;

// Cuts a text to the 255 characters of a short string.
inline void Cut255(std::string& s) {
  if (s.size() > kShortMax) s.resize(kShortMax);
}

// Removes characters of code below 33 at the end, then at the start.
std::string Trim(std::string_view s);
std::string_view TrimView(std::string_view s);
void TrimInPlace(std::string& s);

// a-z and 224-246, 248-254 move down by 32; everything else stays.
inline char UpperChar(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  if ((u >= 'a' && u <= 'z') || (u >= 224 && u <= 254 && u != 247)) return static_cast<char>(u - 32);
  return c;
}
// The inverse mapping: A-Z and 192-214, 216-222 move up by 32.
inline char LowerChar(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  if ((u >= 'A' && u <= 'Z') || (u >= 192 && u <= 222 && u != 215)) return static_cast<char>(u + 32);
  return c;
}
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);

// 1-based position of the first c outside double-quoted strings at
// parenthesis depth 0, or 0.
int FindTop(char c, std::string_view s);
// The same scan from the right: the distance of the match from the end
// (the last character is 1), or 0.
int FindTopRight(char c, std::string_view s);

// Right-aligns s in a field of `width` characters; never cuts s itself,
// but the padded text is a short string (at most 255 characters).
std::string PadLeft(std::string_view s, int width);

// True when the upper-cased, trimmed `line` begins with `prefix`
// (prefix given in upper case).
bool StartsWithUpper(std::string_view line, std::string_view prefix);

}  // namespace tilmor
