#include "highlight.h"

#include <algorithm>
#include <string>

#include "chars.h"
#include "names.h"
#include "prepare.h"

namespace ide {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
bool IsNameChar(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '_' ||
         u >= 0x80;
}
bool IsTypeChar(char c) { return c == '%' || c == '$' || c == '&' || c == '!'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHex(char c) { return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

class Builder {
 public:
  explicit Builder(LineStyle& out) : out_(out) {}
  void Add(int start, int length, Style style) {
    if (length > 0 && style != Style::Default) out_.spans.push_back({start, length, style});
  }

 private:
  LineStyle& out_;
};

// Parameters and expressions: strings, calls, system variables, numbers.
void ScanTokens(std::string_view s, int from, int to, Builder& b) {
  int i = from;
  while (i < to) {
    char c = s[i];
    if (c == '"') {
      int j = i + 1;
      while (j < to && s[j] != '"') ++j;
      if (j < to) ++j;
      b.Add(i, j - i, Style::String);
      i = j;
    } else if (c == '@') {
      int j = i + 1;
      std::string name;
      if (j < to && IsTypeChar(s[j])) {
        name = s[j++];
      } else {
        while (j < to && IsNameChar(s[j])) name += s[j++];
        if (j < to && IsTypeChar(s[j]) && !name.empty()) name += s[j++];
      }
      if (!name.empty() && tilmor::IsFunctionName(tilmor::UpperCase(name)))
        b.Add(i, j - i, Style::Function);
      i = j > i + 1 ? j : i + 1;
    } else if (IsTypeChar(c) && i + 1 < to && IsNameChar(s[i + 1]) && !IsDigit(s[i + 1])) {
      int j = i + 1;
      while (j < to && IsNameChar(s[j])) ++j;
      std::string name = std::string(1, c) + tilmor::UpperCase(s.substr(i + 1, j - i - 1));
      if (tilmor::IsSystemVariableName(name)) {
        b.Add(i, j - i, Style::SystemVariable);
      } else if (c == '$' && std::all_of(s.begin() + i + 1, s.begin() + j, [](char h) { return IsHex(h); })) {
        b.Add(i, j - i, Style::Number);  // $FF is a hexadecimal number like $0F
      }
      i = j;
    } else if (c == '$' && i + 1 < to && IsHex(s[i + 1])) {
      int j = i + 1;
      while (j < to && IsHex(s[j])) ++j;
      b.Add(i, j - i, Style::Number);
      i = j;
    } else if (IsDigit(c)) {
      int j = i;
      while (j < to && (IsDigit(s[j]) || s[j] == '.')) ++j;
      b.Add(i, j - i, Style::Number);
      i = j;
    } else if (IsNameChar(c)) {
      // A variable or name, with its type character.
      while (i < to && IsNameChar(s[i])) ++i;
      if (i < to && IsTypeChar(s[i])) ++i;
    } else {
      ++i;
    }
  }
}

// A statement from `start` to `end`: the command word, then its
// parameters; behind a CASE condition the statement it guards.
void ClassifyStatement(std::string_view s, int start, int end, Builder& b) {
  std::string_view code = s.substr(start, end - start);
  if (code.empty()) return;
  if (tilmor::IsCallFormText(code)) {
    ScanTokens(s, start, end, b);
    return;
  }
  int wordEnd = start;
  while (wordEnd < end && !IsBlank(s[wordEnd])) ++wordEnd;
  std::string word = tilmor::UpperCase(s.substr(start, wordEnd - start));
  int rest = wordEnd;
  while (rest < end && IsBlank(s[rest])) ++rest;
  if (tilmor::IsOperatorModeSwitch(word)) {
    b.Add(start, wordEnd - start, Style::Directive);
  } else if (rest == end && word.size() > 1 && word.back() == ':') {
    b.Add(start, wordEnd - start, Style::Label);
  } else if (word == "REM") {
    b.Add(start, end - start, Style::Comment);
    return;
  } else if (word == "CASE" || word == "CASENOT") {
    b.Add(start, wordEnd - start, Style::Keyword);
    int colon = tilmor::FindTop(':', s.substr(rest, end - rest));
    if (colon > 0) {
      int stmt = rest + colon;
      ScanTokens(s, rest, stmt, b);
      while (stmt < end && IsBlank(s[stmt])) ++stmt;
      ClassifyStatement(s, stmt, end, b);
      return;
    }
  } else if (tilmor::IsKeywordWord(word)) {
    b.Add(start, wordEnd - start, Style::Keyword);
  } else if (tilmor::IsCommandWord(word)) {
    b.Add(start, wordEnd - start, Style::Command);
  }
  ScanTokens(s, rest, end, b);
}

}  // namespace

LineStyle ClassifyLine(std::string_view s, bool continued) {
  LineStyle out;
  Builder b(out);
  int n = static_cast<int>(s.size());
  int start = 0;
  while (start < n && IsBlank(s[start])) ++start;
  int end = n;
  while (end > start && IsBlank(s[end - 1])) --end;
  if (start == end) return out;

  if (continued) {
    // Joined to the line before as it is: no comment, no command word.
    ScanTokens(s, start, end, b);
    out.continues = s[end - 1] == '\\';
    return out;
  }

  // The loader's comment: the first apostrophe outside strings and
  // parentheses of the trimmed line.
  int codeEnd = end;
  int p = tilmor::FindTop('\'', s.substr(start, end - start));
  if (p > 0) {
    codeEnd = start + p - 1;
    b.Add(codeEnd, end - codeEnd, Style::Comment);
    while (codeEnd > start && IsBlank(s[codeEnd - 1])) --codeEnd;
  }
  if (codeEnd == start) {
    return out;
  }
  std::string_view code = s.substr(start, codeEnd - start);
  out.continues = code.back() == '\\';

  // Include and protection directives are exact; "$O+"/"$O-" any case.
  if (code.substr(0, 3) == "$I " || code.substr(0, 3) == "$P+") {
    b.Add(start, codeEnd - start, Style::Directive);
    std::sort(out.spans.begin(), out.spans.end(), [](const Span& a, const Span& c) { return a.start < c.start; });
    return out;
  }
  ClassifyStatement(s, start, codeEnd, b);
  std::sort(out.spans.begin(), out.spans.end(), [](const Span& a, const Span& c) { return a.start < c.start; });
  return out;
}

}  // namespace ide
