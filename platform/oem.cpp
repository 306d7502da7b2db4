#include "oem.h"

#include <array>
#include <cstdint>

#include "codepage.h"

namespace win {
namespace {

// Unicode of the code page 437 bytes 0x80..0xFF.
constexpr char16_t k437[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};

struct Fit {
  char16_t u;
  char to;
};

// Best fits into plain ASCII, used in both directions: accented letters lose
// the accent, typographic quotes and dashes become the typewriter ones, Greek
// and the mathematical signs of 437 become the Latin letter or sign they look
// like. Whatever is not listed (euro, dagger, trade mark, thorn, 3/4, peseta,
// black square, ...) becomes "?".
constexpr Fit kAsciiFits[] = {
    // Windows-1252 letters missing from 437.
    {0x00C0, 'A'}, {0x00C1, 'A'}, {0x00C2, 'A'}, {0x00C3, 'A'}, {0x00C8, 'E'}, {0x00CA, 'E'},
    {0x00CB, 'E'}, {0x00CC, 'I'}, {0x00CD, 'I'}, {0x00CE, 'I'}, {0x00CF, 'I'}, {0x00D0, 'D'},
    {0x00D2, 'O'}, {0x00D3, 'O'}, {0x00D4, 'O'}, {0x00D5, 'O'}, {0x00D8, 'O'}, {0x00D9, 'U'},
    {0x00DA, 'U'}, {0x00DB, 'U'}, {0x00DD, 'Y'}, {0x00E3, 'a'}, {0x00F0, 'd'}, {0x00F5, 'o'},
    {0x00F8, 'o'}, {0x00FD, 'y'}, {0x0160, 'S'}, {0x0161, 's'}, {0x017D, 'Z'}, {0x017E, 'z'},
    {0x0152, 'O'}, {0x0153, 'o'}, {0x0178, 'Y'},
    // Windows-1252 signs missing from 437.
    {0x00A6, '|'}, {0x00A8, '"'}, {0x00A9, 'c'}, {0x00AD, '-'}, {0x00AE, 'r'}, {0x00AF, '_'},
    {0x00B3, '3'}, {0x00B4, '\''}, {0x00B8, ','}, {0x00B9, '1'}, {0x00D7, 'x'}, {0x201A, ','},
    {0x201E, '"'}, {0x02C6, '^'}, {0x2030, '%'}, {0x2039, '<'}, {0x203A, '>'}, {0x2018, '\''},
    {0x2019, '\''}, {0x201C, '"'}, {0x201D, '"'}, {0x2013, '-'}, {0x2014, '-'}, {0x02DC, '~'},
    // Code page 437 characters missing from Windows-1252.
    {0x03B1, 'a'}, {0x0393, 'G'}, {0x03C0, 'p'}, {0x03A3, 'S'}, {0x03C3, 's'}, {0x03C4, 't'},
    {0x03A6, 'F'}, {0x0398, 'T'}, {0x03A9, 'O'}, {0x03B4, 'd'}, {0x221E, '8'}, {0x03C6, 'f'},
    {0x03B5, 'e'}, {0x2229, 'n'}, {0x2261, '='}, {0x2265, '='}, {0x2264, '='}, {0x2320, '('},
    {0x2321, ')'}, {0x2248, '~'}, {0x221A, 'v'}, {0x207F, 'n'}};

// Box drawing: the two horizontals "-", the two verticals "|", every corner,
// T-piece and crossing "+"; the shades and blocks "_", except that the left
// and right half blocks stand up like "|".
int BoxFit(char16_t u) {
  if (u == 0x2500 || u == 0x2550) return '-';
  if (u == 0x2502 || u == 0x2551) return '|';
  if (u > 0x2500 && u <= 0x257F) return '+';
  if (u == 0x258C || u == 0x2590) return '|';
  if (u >= 0x2580 && u <= 0x2593) return '_';
  return -1;
}

int AsciiFit(char16_t u) {
  for (const Fit& f : kAsciiFits)
    if (f.u == u) return static_cast<unsigned char>(f.to);
  return BoxFit(u);
}

using Table = std::array<char, 256>;

Table BuildAnsiToOem() {
  Table t{};
  for (int c = 0; c < 256; ++c) {
    t[c] = static_cast<char>(c);
    if (c < 128) continue;
    char32_t u = Cp1252ToUnicode(static_cast<unsigned char>(c));
    int to = -1;
    for (int k = 0; k < 128 && to < 0; ++k)
      if (k437[k] == u) to = 128 + k;
    // Pilcrow, section sign and bullet are the glyphs of 437's control codes.
    if (to < 0 && u == 0x00B6) to = 0x14;
    if (to < 0 && u == 0x00A7) to = 0x15;
    if (to < 0 && u == 0x2022) to = 0x07;
    if (to < 0 && u <= 0xFFFF) to = AsciiFit(static_cast<char16_t>(u));
    t[c] = static_cast<char>(to < 0 ? '?' : to);
  }
  return t;
}

Table BuildOemToAnsi() {
  Table t{};
  for (int c = 0; c < 256; ++c) {
    t[c] = static_cast<char>(c);
    if (c < 128) continue;
    char16_t u = k437[c - 128];
    int to = UnicodeToCp1252(u);
    if (to < 0) to = AsciiFit(u);
    if (to < 0 && u == 0x2219) to = 0xB7;  // bullet operator: the middle dot
    t[c] = static_cast<char>(to < 0 ? '?' : to);
  }
  return t;
}

std::string Convert(std::string_view s, const Table& t) {
  std::string out(s.size(), '\0');
  for (size_t i = 0; i < s.size(); ++i) out[i] = t[static_cast<unsigned char>(s[i])];
  return out;
}

}  // namespace

std::string AnsiToOem(std::string_view s) {
  static const Table t = BuildAnsiToOem();
  return Convert(s, t);
}

std::string OemToAnsi(std::string_view s) {
  static const Table t = BuildOemToAnsi();
  return Convert(s, t);
}

char32_t Cp437ToUnicode(unsigned char c) {
  // Below 32 the console shows symbols; the ones text needs are the usual.
  if (c < 128) return c;
  return k437[c - 128];
}

}  // namespace win
