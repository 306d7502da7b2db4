// Classifies the characters of a program line as the loader and the
// interpreter see them: comments, labels, directives, the command word,
// strings, functions, system variables and numbers.
#pragma once

#include <string_view>
#include <vector>

namespace ide {

enum class Style : int {
  Default = 0,
  Command = 1,
  Keyword = 2,
  Function = 3,
  SystemVariable = 4,
  String = 5,
  Comment = 6,
  Label = 7,
  Directive = 8,
  Number = 9,
};
constexpr int kStyleCount = 10;

struct Span {
  int start;   // byte offset in the line
  int length;
  Style style;
};

struct LineStyle {
  std::vector<Span> spans;  // in order, not overlapping; the rest is Default
  bool continues = false;   // the line ends with "\": the next one joins it
};

// `line` without its line end; `continued` when the line before ended with
// "\" (its text is then parameters of that line, without comment removal).
LineStyle ClassifyLine(std::string_view line, bool continued);

}  // namespace ide
