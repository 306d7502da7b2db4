// The arithmetic, logic and comparison functions as pure computations on
// their two arguments; the function handlers and the fast call path share
// them, so both give the same values.
#pragma once

#include <cstdint>

namespace tilmor {

// What a numeric argument read leaves: its type and three values. No
// member initializers: the fast call stack is not cleared on every call
// (NumArg{} still gives zeros).
struct NumArg {
  int32_t ival;
  int32_t lval;
  double fval;
  int type;
};

enum class PureOp : uint8_t { kAdd, kSub, kMul, kDiv, kDivLong, kMod, kAnd, kOr, kXor, kNot, kEqu, kNeq, kGt, kLt };

// A function's result before completion: its type, its long value and, for
// floating-point results, its float value.
struct PureResult {
  int type = 0;
  int32_t lval = 0;
  double fval = 0.0;
};

// Computes op(a, b) (NOT uses a only). Returns 0, or the runtime error the
// function raises; `r` is then the value it yields when execution goes on.
int ComputePure(PureOp op, const NumArg& a, const NumArg& b, PureResult& r);

// Number of arguments of op.
inline int PureArity(PureOp op) { return op == PureOp::kNot ? 1 : 2; }

}  // namespace tilmor
