#include "contexthelp.h"

#include <cstring>

namespace ide {
namespace {

bool IsWordChar(char c) {
  // "@" too: the word of @LEN( is LEN.
  static const char kDelimiters[] = "()+-*/\\^,.;:<>=?[]{}|_\"@";
  return static_cast<unsigned char>(c) > ' ' && std::strchr(kDelimiters, c) == nullptr;
}

}  // namespace

std::string ContextWord(const std::string& text, int column) {
  std::string line = text.substr(0, 255);
  int n = static_cast<int>(line.size());
  if (column > n) column = n;
  if (column < 0) column = 0;
  int start = column;
  while (start > 0 && IsWordChar(line[start - 1])) --start;
  int end = start;
  while (end < n && IsWordChar(line[end])) ++end;
  return line.substr(start, end - start);
}

}  // namespace ide
