#include "settings.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "profile.h"
#include "winpath.h"

namespace ide {
namespace {

void Write(const char* section, const char* key, const std::string& value) {
  win::EnsureWindowsDirectory();
  WritePrivateProfileStringA(section, key, value.c_str(), kIniFile);
}

// Decimal, or hexadecimal with "$" or "0x" as Delphi's StrToInt takes it.
bool ParseNumber(const std::string& text, long& out) {
  std::string t = text;
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.pop_back();
  size_t i = 0;
  while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) ++i;
  t = t.substr(i);
  if (t.empty()) return false;
  int base = 10;
  bool negative = false;
  size_t p = 0;
  if (t[p] == '-' || t[p] == '+') negative = t[p++] == '-';
  if (p < t.size() && t[p] == '$') {
    base = 16;
    ++p;
  } else if (p + 1 < t.size() && t[p] == '0' && (t[p + 1] == 'x' || t[p + 1] == 'X')) {
    base = 16;
    p += 2;
  }
  if (p >= t.size()) return false;
  char* end = nullptr;
  errno = 0;
  long v = std::strtol(t.c_str() + p, &end, base);
  if (*end != '\0' || errno != 0 || (end && *(t.c_str() + p) == '-')) return false;
  out = negative ? -v : v;
  return true;
}

}  // namespace

std::string ReadValue(const char* section, const char* key, const char* def, unsigned limit) {
  std::vector<char> buffer(limit + 1);
  uint32_t n = GetPrivateProfileStringA(section, key, def, buffer.data(), limit + 1, kIniFile);
  return std::string(buffer.data(), n);
}

int ReadNumber(const char* section, const char* key, int def) {
  long v;
  if (!ParseNumber(ReadValue(section, key, ""), v)) return def;
  return static_cast<int>(v);
}

FrameSettings ReadFrameSettings() {
  FrameSettings s;
  s.toolbar = ReadNumber("Optionen", "Toolbar1", 1) == 1;
  s.top = ReadNumber("Position", "Top", 20);
  s.left = ReadNumber("Position", "Left", 20);
  s.width = ReadNumber("Position", "Width", 600);
  s.height = ReadNumber("Position", "Height", 400);
  s.project = ReadProjectName();
  s.filter = ReadValue("Projekt", "Filter", kDefaultFilter, 255);
  return s;
}

std::string ReadProjectName() { return ReadValue("Tilmed", "Projekt", "", 80); }

void WriteFrameSettings(const FrameSettings& s) {
  Write("Position", "Top", std::to_string(s.top));
  Write("Position", "Left", std::to_string(s.left));
  Write("Position", "Height", std::to_string(s.height));
  Write("Position", "Width", std::to_string(s.width));
  Write("Optionen", "Toolbar1", s.toolbar ? "1" : "0");
  Write("Tilmed", "Projekt", s.project);
}

FontSetting ReadFont() {
  FontSetting f;
  f.name = ReadValue("Schrift", "FontName", "FixedSys");
  long color;
  f.color = ParseNumber(ReadValue("Schrift", "Color", "0"), color) ? color : 0;
  f.size = ReadNumber("Schrift", "Size", 12);
  return f;
}

void WriteFont(const FontSetting& f) {
  Write("Schrift", "FontName", f.name);
  Write("Schrift", "Color", std::to_string(f.color));
  Write("Schrift", "Size", std::to_string(f.size));
}

int ReadTabSize() { return ReadNumber("Optionen", "Tab", 8); }

void WriteTabSize(int tab) { Write("Optionen", "Tab", std::to_string(tab)); }

void WriteRuntime(const std::string& runtime) { Write("LINK", "Runtime", runtime); }

std::string ReadIncludePath() { return ReadValue("COMPILE", "Include", ""); }

void WriteIncludePath(const std::string& path) { Write("COMPILE", "Include", path); }

}  // namespace ide
