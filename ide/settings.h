// TILMED32.INI: the editor's settings in the Windows directory, read and
// written through the same profile functions as the interpreter's.
#pragma once

#include <string>

namespace ide {

constexpr const char* kIniFile = "TILMED32.INI";
constexpr const char* kDefaultFilter =
    "Tilmor-Dateien (*.tmf)|*.tmf|TilmorScript-Dateien (*.tms)|*.tms|"
    "Include-Dateien (*.inc)|*.inc|Alle Dateien|*.*";

// What the frame reads at start and writes when it closes.
struct FrameSettings {
  bool toolbar = true;
  int top = 20, left = 20, width = 600, height = 400;
  std::string project;  // Windows-1252, at most 80 characters
  std::string filter = kDefaultFilter;
};

FrameSettings ReadFrameSettings();
// Position, tool bar flag and project; the filter is only read.
void WriteFrameSettings(const FrameSettings& s);
// [Tilmed] Projekt alone: the frame reads it again when it is shown.
std::string ReadProjectName();

// The editor font of [Schrift].
struct FontSetting {
  std::string name = "FixedSys";
  long color = 0;  // COLORREF, decimal in the file
  int size = 12;
};
FontSetting ReadFont();
void WriteFont(const FontSetting& f);

int ReadTabSize();
void WriteTabSize(int tab);

void WriteRuntime(const std::string& runtime);

std::string ReadIncludePath();
void WriteIncludePath(const std::string& path);

// A key's value as the profile functions give it, at most `limit` characters.
std::string ReadValue(const char* section, const char* key, const char* def, unsigned limit = 255);
// A whole number as Delphi's ReadInteger reads it: the default when the
// text is no number.
int ReadNumber(const char* section, const char* key, int def);

}  // namespace ide
