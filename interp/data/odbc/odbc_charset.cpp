#include "odbc_charset.h"

#include <cstdlib>

#include "chars.h"
#include "codepage.h"

namespace tilmor::odbc {
namespace {

bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

Charset Charset::Named(std::string_view name) {
  std::string n = UpperCase(std::string(name));
  for (const char* single : {"WINDOWS-1252", "CP1252", "1252", "LATIN1", "ISO-8859-1", "ISO8859-1"})
    if (n == single) return Charset(Kind::Cp1252);
  return Charset(Kind::Utf8);
}

Charset Charset::FromEnvironment() {
  const char* name = std::getenv("TILMOR_ODBC_CHARSET");
  return name ? Named(name) : Charset(Kind::Utf8);
}

std::string Charset::ToDriver(std::string_view text) const {
  if (kind_ == Kind::Cp1252 || IsAscii(text)) return std::string(text);
  return win::Cp1252ToUtf8(text);
}

void Charset::AppendFromDriver(std::string& out, std::string_view text, bool cut) const {
  if (kind_ == Kind::Cp1252 || IsAscii(text)) {
    out.append(text);
    return;
  }
  if (cut) text = text.substr(0, WithoutSplitCharacter(text));
  out += win::Utf8ToCp1252(text);
}

size_t WithoutSplitCharacter(std::string_view text) {
  size_t n = text.size();
  // Back over at most three continuation bytes to the sequence's first byte.
  for (size_t back = 1; back <= 4 && back <= n; ++back) {
    unsigned char c = static_cast<unsigned char>(text[n - back]);
    if ((c & 0xC0) == 0x80) continue;
    size_t need = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
    return need > back ? n - back : n;
  }
  return n;
}

}  // namespace tilmor::odbc
