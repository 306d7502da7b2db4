#include "prepare.h"

#include "chars.h"
#include "translate.h"

namespace tilmor {
namespace {

bool IsExcludedBeforeParen(char c) {
  switch (static_cast<unsigned char>(c)) {
    case '\'': case '"': case '/': case ')': case '[': case '\\': case ']': case '=':
    case '?': case ',': case ';': case ':': case '-': case '<': case '>': case '*':
    case '+': case 96: case 180: case '{': case '|': case '}': case ' ':
      return true;
    default:
      return false;
  }
}

}  // namespace

bool IsCallFormText(std::string_view text) {
  if (text.empty()) return false;
  if (text[0] == '@') return true;
  size_t p = text.find('(');
  if (p == std::string_view::npos || p < 1) return false;
  for (char c : TrimView(text.substr(0, p)))
    if (IsExcludedBeforeParen(c)) return false;
  return true;
}

PreparedLine SplitLine(std::string_view line) {
  PreparedLine out;
  if (IsCallFormText(line)) {
    out.cmd.assign(1, '@');
    out.param = std::string(line);
    return out;
  }
  size_t b = line.find(' ');
  if (b == std::string_view::npos) {
    out.cmd = UpperCase(line);
  } else {
    out.cmd = UpperCase(TrimView(line.substr(0, b)));
    out.param = Trim(line.substr(b + 1));
  }
  return out;
}

std::string TranslateIfNeeded(std::string_view line, bool operatorMode) {
  if (operatorMode) return TranslateInfix(line);
  return std::string(line);
}

PreparedLine PrepareLine(std::string_view stored, bool operatorMode) {
  std::string line = TranslateIfNeeded(TrimView(stored), operatorMode);
  return SplitLine(line);
}

}  // namespace tilmor
