// Arithmetic, logic and comparison: @ADD .. @NEQ$, @IF.
#include <climits>

#include "control.h"
#include "errors.h"
#include "fnargs.h"
#include "functions.h"

namespace tilmor {
namespace {

int32_t Wrap(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v))); }

// Whole-number division and remainder truncating toward zero; the one
// quotient that does not fit wraps as on the processor's 32-bit registers.
int32_t Quot(int32_t a, int32_t b) { return (a == INT_MIN && b == -1) ? INT_MIN : a / b; }
int32_t Rem(int32_t a, int32_t b) { return b == -1 ? 0 : a % b; }

void Add(Interp& in) {
  NumArg a = ReadNum(in, ','), b = ReadNum(in, ')');
  SetResultFloat(in, a.fval + b.fval, Wrap(int64_t{a.lval} + b.lval));
}
void Sub(Interp& in) {
  NumArg a = ReadNum(in, ','), b = ReadNum(in, ')');
  SetResultFloat(in, a.fval - b.fval, Wrap(int64_t{a.lval} - b.lval));
}
void Mul(Interp& in) {
  NumArg a = ReadNum(in, ','), b = ReadNum(in, ')');
  SetResultFloat(in, a.fval * b.fval, Wrap(int64_t{a.lval} * b.lval));
}
void Div(Interp& in) {
  NumArg a = ReadNum(in, ','), b = ReadNum(in, ')');
  if (b.fval == 0.0) {
    RuntimeError(in, 201);
    SetResultFloat(in, 0.0, 0);
    return;
  }
  SetResultFloat(in, a.fval / b.fval, b.lval != 0 ? Quot(a.lval, b.lval) : 0);
}
void DivLong(Interp& in) {
  NumArg a = ReadNum(in, ','), b = ReadNum(in, ')');
  if (b.lval == 0) {
    RuntimeError(in, 201);
    SetResultLong(in, kLong, 0);
    return;
  }
  SetResultLong(in, kLong, Quot(a.lval, b.lval));
}
void Mod(Interp& in) {
  NumArg a = ReadNum(in, ','), b = ReadNum(in, ')');
  if (b.ival == 0) {
    RuntimeError(in, 201);
    SetResultFloat(in, 0.0, 0);
    return;
  }
  int32_t r = Rem(a.lval, b.ival);
  SetResultFloat(in, r, r);
}
void And(Interp& in) {
  NumArg a = ReadNum(in, ','), b = ReadNum(in, ')');
  SetResultLong(in, kLong, a.lval & b.lval);
}
void Or(Interp& in) {
  NumArg a = ReadNum(in, ','), b = ReadNum(in, ')');
  int32_t r = a.lval | b.lval;
  SetResultFloat(in, r, r);
}
void Xor(Interp& in) {
  NumArg a = ReadNum(in, ','), b = ReadNum(in, ')');
  int32_t r = a.lval ^ b.lval;
  SetResultFloat(in, r, r);
}
void Not(Interp& in) {
  NumArg a = ReadNum(in, ')');
  SetResultLong(in, kLong, a.lval == 0 ? 1 : 0);
}

template <typename Test>
void Compare(Interp& in, Test test) {
  NumArg a = ReadNum(in, ','), b = ReadNum(in, ')');
  SetResultLong(in, kInteger, test(a.fval - b.fval) ? 1 : 0);
}

// Texts compare by their character codes; a prefix sorts first.
int CompareText(const std::string& a, const std::string& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

template <typename Test>
void CompareTexts(Interp& in, Test test) {
  std::string a = ReadText(in, ',');
  std::string b = ReadText(in, ')');
  SetResultLong(in, kInteger, test(CompareText(a, b)) ? 1 : 0);
}

// @IF(c, a, b): both branches are read; the chosen one's values are kept.
void If(Interp& in) {
  NumArg c = ReadNum(in, ',');
  ReadArg(in, ',', kAny);
  ArgResult first = in.res;
  first.text = ResultText(in);
  ReadArg(in, ')', kAny);
  ArgResult second = in.res;
  second.text = ResultText(in);
  const ArgResult& kept = c.ival != 0 ? first : second;
  in.res.type = kString;
  in.res.text = kept.text;
  in.res.lval = kept.lval;
  in.res.ival = kept.ival;
}

}  // namespace

std::string ReadText(Interp& in, char sep, int type) {
  ReadArg(in, sep, type);
  return ResultText(in);
}

void RegisterArithmeticFunctions() {
  RegisterFunction("ADD", Add);
  RegisterFunction("SUB", Sub);
  RegisterFunction("MUL", Mul);
  RegisterFunction("DIV", Div);
  RegisterFunction("DIV&", DivLong);
  RegisterFunction("MOD", Mod);
  RegisterFunction("AND", And);
  RegisterFunction("OR", Or);
  RegisterFunction("XOR", Xor);
  RegisterFunction("NOT", Not);
  RegisterFunction("EQU", [](Interp& in) { Compare(in, [](double d) { return d == 0; }); });
  RegisterFunction("NEQ", [](Interp& in) { Compare(in, [](double d) { return d != 0; }); });
  RegisterFunction("GT", [](Interp& in) { Compare(in, [](double d) { return d > 0; }); });
  RegisterFunction("LT", [](Interp& in) { Compare(in, [](double d) { return d < 0; }); });
  RegisterFunction("EQU$", [](Interp& in) { CompareTexts(in, [](int c) { return c == 0; }); });
  RegisterFunction("NEQ$", [](Interp& in) { CompareTexts(in, [](int c) { return c != 0; }); });
  RegisterFunction("LT$", [](Interp& in) { CompareTexts(in, [](int c) { return c < 0; }); });
  RegisterFunction("GT$", [](Interp& in) { CompareTexts(in, [](int c) { return c > 0; }); });
  RegisterFunction("IF", If);
}

}  // namespace tilmor
