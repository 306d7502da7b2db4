// The OEM character set of the console and of DOS files: code page 437,
// converted from and to Windows-1252 the way CharToOemA and OemToCharA do.
#pragma once

#include <string>
#include <string_view>

namespace win {

// Codes below 128 pass unchanged; a character without an exact counterpart
// takes its best-fit form, and "?" when it has none.
std::string AnsiToOem(std::string_view s);
std::string OemToAnsi(std::string_view s);
// The glyph a code page 437 byte shows (box characters included).
char32_t Cp437ToUnicode(unsigned char c);

}  // namespace win
