#include "codepage.h"

namespace win {
namespace {

// 0x80..0x9F of Windows-1252; 0 marks the five undefined bytes.
constexpr char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t u) {
  if (u < 0x80) {
    out += static_cast<char>(u);
  } else if (u < 0x800) {
    out += static_cast<char>(0xC0 | (u >> 6));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    out += static_cast<char>(0xE0 | (u >> 12));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (u >> 18));
    out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  }
}

// Decodes one sequence at s[i]; returns its length, 0 when malformed.
size_t DecodeUtf8(std::string_view s, size_t i, char32_t& u) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  size_t len;
  char32_t min;
  if (c < 0x80) {
    u = c;
    return 1;
  } else if ((c & 0xE0) == 0xC0) {
    len = 2, u = c & 0x1F, min = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    len = 3, u = c & 0x0F, min = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    len = 4, u = c & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    unsigned char d = static_cast<unsigned char>(s[i + k]);
    if ((d & 0xC0) != 0x80) return 0;
    u = (u << 6) | (d & 0x3F);
  }
  if (u < min || u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) return 0;
  return len;
}

}  // namespace

char32_t Cp1252ToUnicode(unsigned char c) {
  if (c < 0x80 || c >= 0xA0) return c;
  char16_t u = kHigh[c - 0x80];
  return u ? u : c;
}

int UnicodeToCp1252(char32_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<int>(u);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == u) return 0x80 + i;
  // The undefined bytes round-trip as C1 controls.
  if (u == 0x81 || u == 0x8D || u == 0x8F || u == 0x90 || u == 0x9D) return static_cast<int>(u);
  return -1;
}

std::string Cp1252ToUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size() + s.size() / 4);
  for (unsigned char c : s) {
    if (c < 0x80)
      out += static_cast<char>(c);
    else
      AppendUtf8(out, Cp1252ToUnicode(c));
  }
  return out;
}

std::string Utf8ToCp1252(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    char32_t u;
    size_t len = DecodeUtf8(s, i, u);
    if (len == 0) {
      out += s[i];
      ++i;
      continue;
    }
    int b = UnicodeToCp1252(u);
    out += b < 0 ? '?' : static_cast<char>(b);
    i += len;
  }
  return out;
}

bool IsWellFormedUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    char32_t u;
    size_t len = DecodeUtf8(s, i, u);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

bool IsUtf8WithMultibyte(std::string_view s) {
  bool multi = false;
  for (size_t i = 0; i < s.size();) {
    char32_t u;
    size_t len = DecodeUtf8(s, i, u);
    if (len == 0) return false;
    if (len > 1) multi = true;
    i += len;
  }
  return multi;
}

bool HasUtf8Bom(std::string_view s) {
  return s.size() >= 3 && static_cast<unsigned char>(s[0]) == 0xEF &&
         static_cast<unsigned char>(s[1]) == 0xBB && static_cast<unsigned char>(s[2]) == 0xBF;
}

}  // namespace win
