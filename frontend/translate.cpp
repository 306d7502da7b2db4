#include "translate.h"

#include "chars.h"

namespace tilmor {
namespace {

constexpr std::string_view kOperators = "+-*/\\^><=";
constexpr const char* kNames[] = {"@ADD(", "@SUB(", "@MUL(", "@DIV(", "@DIV&(",
                                  "@POW(", "@GT(",  "@LT(",  "@EQU("};
constexpr std::string_view kSeparators = "*=,;:->";

struct Pieces {
  std::string remaining;
  std::string piece;
  std::string sep;

  void Next() {
    if (remaining.empty()) {
      piece.clear();
      return;
    }
    int depth = 0;
    for (size_t i = 0; i < remaining.size(); ++i) {
      char c = remaining[i];
      if (depth == 0 && kSeparators.find(c) != std::string_view::npos) {
        piece = remaining.substr(0, i);
        sep = std::string(1, c);
        remaining = Trim(std::string_view(remaining).substr(i + 1));
        return;
      }
      if (c == '"') {
        size_t q = remaining.find('"', i + 1);
        if (q == std::string::npos) break;
        i = q;
        continue;
      }
      if (c == '(')
        ++depth;
      else if (c == ')')
        --depth;
    }
    piece = std::move(remaining);
    remaining.clear();
    sep.clear();
  }
};

// 0-based index of the first operator outside strings, or npos.
size_t FindOperator(const std::string& s) {
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '"') {
      size_t q = s.find('"', i + 1);
      if (q == std::string::npos) return std::string::npos;
      i = q;
      continue;
    }
    if (kOperators.find(c) != std::string_view::npos) return i;
  }
  return std::string::npos;
}

// 0-based index of the "(" that opens the operand left of p, or p itself.
size_t OpeningBracket(const std::string& s, size_t p) {
  int depth = 0;
  for (size_t k = p; k > 0; --k) {
    size_t i = k - 1;
    char c = s[i];
    if (c == '"') {
      size_t q = i == 0 ? std::string::npos : s.rfind('"', i - 1);
      if (q == std::string::npos) return p;
      k = q + 1;
      continue;
    }
    if (depth == 0 && c == '(') return i;
    if (c == ')')
      ++depth;
    else if (c == '(')
      --depth;
  }
  return p;
}

void TranslatePiece(std::string& piece) {
  for (size_t p = FindOperator(piece); p != std::string::npos; p = FindOperator(piece)) {
    int op = static_cast<int>(kOperators.find(piece[p]));
    bool unary = false;
    if (p > 0) {
      size_t i = p - 1;
      while (i > 0 && piece[i] == ' ') --i;
      char before = piece[i];
      unary = before == '(' || before == ',' || before == ' ';
    }
    if (unary) {
      piece[p] = static_cast<char>(op + 1);
      continue;
    }
    std::string name = kNames[op];
    piece[p] = ',';
    size_t d = OpeningBracket(piece, p);
    if (d == p)
      piece = name + piece + ")";
    else
      piece = piece.substr(0, d) + name + piece.substr(d + 1);
    Cut255(piece);
  }
}

}  // namespace

std::string TranslateInfix(std::string_view line) {
  Pieces ps;
  ps.remaining = std::string(line);
  std::string result;
  ps.Next();
  while (!ps.remaining.empty() || !ps.piece.empty()) {
    if (!ps.piece.empty()) TranslatePiece(ps.piece);
    result += ps.piece;
    result += ps.sep;
    ps.Next();
  }
  for (char& c : result)
    if (c >= 1 && c <= 9) c = kOperators[static_cast<size_t>(c - 1)];
  Cut255(result);
  return result;
}

}  // namespace tilmor
