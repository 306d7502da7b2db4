// Upper and lower case of the ASCII letters only: names of ports, devices,
// libraries and commands, whose other bytes (Windows-1252 or UTF-8) stay.
#pragma once

#include <string>
#include <string_view>

namespace win {

inline std::string AsciiUpper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

inline std::string AsciiLower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace win
