// Windows-1252 is the text of the system; UTF-8 is spoken at the Qt, file
// name and terminal boundaries; code page 437 is the OEM character set.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace win {

// Unicode code point of a Windows-1252 byte (undefined bytes map to U+FFFD
// except 0x81, 0x8D, 0x8F, 0x90, 0x9D, which pass through as C1 controls).
char32_t Cp1252ToUnicode(unsigned char c);
// Windows-1252 byte of a code point, or -1 when it has none.
int UnicodeToCp1252(char32_t u);

std::string Cp1252ToUtf8(std::string_view s);
// Characters without a Windows-1252 byte become "?". Malformed bytes are
// taken as Windows-1252 bytes themselves.
std::string Utf8ToCp1252(std::string_view s);

// True when s is well-formed UTF-8 and holds at least one multi-byte sequence.
bool IsUtf8WithMultibyte(std::string_view s);
bool IsWellFormedUtf8(std::string_view s);
bool HasUtf8Bom(std::string_view s);

}  // namespace win
