// Arithmetic, logic and comparison: @ADD .. @NEQ$, @IF.

#include <algorithm>
#include <vector>

#include "control.h"
#include "errors.h"
#include "fnargs.h"
#include "functions.h"
#include "pureops.h"

namespace tilmor {
namespace {

void Binary(Interp& in, PureOp op) {
  NumArg a = ReadNum(in, PureArity(op) == 1 ? ')' : ',');
  NumArg b = PureArity(op) == 1 ? NumArg{} : ReadNum(in, ')');
  PureResult r;
  if (int e = ComputePure(op, a, b, r)) RuntimeError(in, e);
  in.res.type = r.type;
  in.res.lval = r.lval;
  if (r.type == kFloat) in.res.fval = r.fval;
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

const std::string& ReadTextKept(Interp& in, char sep, int which) {
  static std::vector<std::string> kept(2 * (kMaxEvalDepth + 2));
  std::string& out = kept[static_cast<size_t>(2 * std::clamp(in.evalDepth, 0, kMaxEvalDepth + 1) + which)];
  ReadArg(in, sep, kAny);
  AppendResultText(in, out, true);
  return out;
}

void RegisterArithmeticFunctions() {
  RegisterFunction("ADD", [](Interp& in) { Binary(in, PureOp::kAdd); });
  RegisterFunction("SUB", [](Interp& in) { Binary(in, PureOp::kSub); });
  RegisterFunction("MUL", [](Interp& in) { Binary(in, PureOp::kMul); });
  RegisterFunction("DIV", [](Interp& in) { Binary(in, PureOp::kDiv); });
  RegisterFunction("DIV&", [](Interp& in) { Binary(in, PureOp::kDivLong); });
  RegisterFunction("MOD", [](Interp& in) { Binary(in, PureOp::kMod); });
  RegisterFunction("AND", [](Interp& in) { Binary(in, PureOp::kAnd); });
  RegisterFunction("OR", [](Interp& in) { Binary(in, PureOp::kOr); });
  RegisterFunction("XOR", [](Interp& in) { Binary(in, PureOp::kXor); });
  RegisterFunction("NOT", [](Interp& in) { Binary(in, PureOp::kNot); });
  RegisterFunction("EQU", [](Interp& in) { Binary(in, PureOp::kEqu); });
  RegisterFunction("NEQ", [](Interp& in) { Binary(in, PureOp::kNeq); });
  RegisterFunction("GT", [](Interp& in) { Binary(in, PureOp::kGt); });
  RegisterFunction("LT", [](Interp& in) { Binary(in, PureOp::kLt); });
  RegisterFunction("EQU$", [](Interp& in) { CompareTexts(in, [](int c) { return c == 0; }); });
  RegisterFunction("NEQ$", [](Interp& in) { CompareTexts(in, [](int c) { return c != 0; }); });
  RegisterFunction("LT$", [](Interp& in) { CompareTexts(in, [](int c) { return c < 0; }); });
  RegisterFunction("GT$", [](Interp& in) { CompareTexts(in, [](int c) { return c > 0; }); });
  RegisterFunction("IF", If);
}

}  // namespace tilmor
