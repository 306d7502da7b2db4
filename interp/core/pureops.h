// The arithmetic, logic and comparison functions as pure computations on
// their two arguments; the function handlers and the fast call path share
// them, so both give the same values.
#pragma once

#include <climits>
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
namespace pure_detail {

constexpr int kIntegerType = 2, kLongType = 3, kFloatType = 4;

inline int32_t Wrap(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v))); }

// Whole-number division and remainder truncating toward zero; the one
// quotient that does not fit wraps as on the processor's 32-bit registers.
inline int32_t Quot(int32_t a, int32_t b) { return (a == INT_MIN && b == -1) ? INT_MIN : a / b; }
inline int32_t Rem(int32_t a, int32_t b) { return b == -1 ? 0 : a % b; }

inline void Float(PureResult& r, double f, int32_t l) {
  r.type = kFloatType;
  r.fval = f;
  r.lval = l;
}
inline void Whole(PureResult& r, int type, int32_t l) {
  r.type = type;
  r.lval = l;
}

}  // namespace pure_detail

inline int ComputePure(PureOp op, const NumArg& a, const NumArg& b, PureResult& r) {
  using namespace pure_detail;
  switch (op) {
    case PureOp::kAdd: Float(r, a.fval + b.fval, Wrap(int64_t{a.lval} + b.lval)); return 0;
    case PureOp::kSub: Float(r, a.fval - b.fval, Wrap(int64_t{a.lval} - b.lval)); return 0;
    case PureOp::kMul: Float(r, a.fval * b.fval, Wrap(int64_t{a.lval} * b.lval)); return 0;
    case PureOp::kDiv:
      if (b.fval == 0.0) {
        Float(r, 0.0, 0);
        return 201;
      }
      Float(r, a.fval / b.fval, b.lval != 0 ? Quot(a.lval, b.lval) : 0);
      return 0;
    case PureOp::kDivLong:
      if (b.lval == 0) {
        Whole(r, kLongType, 0);
        return 201;
      }
      Whole(r, kLongType, Quot(a.lval, b.lval));
      return 0;
    case PureOp::kMod: {
      if (b.ival == 0) {
        Float(r, 0.0, 0);
        return 201;
      }
      int32_t m = Rem(a.lval, b.ival);
      Float(r, m, m);
      return 0;
    }
    case PureOp::kAnd: Whole(r, kLongType, a.lval & b.lval); return 0;
    case PureOp::kOr: Float(r, a.lval | b.lval, a.lval | b.lval); return 0;
    case PureOp::kXor: Float(r, a.lval ^ b.lval, a.lval ^ b.lval); return 0;
    case PureOp::kNot: Whole(r, kLongType, a.lval == 0 ? 1 : 0); return 0;
    case PureOp::kEqu: Whole(r, kIntegerType, a.fval - b.fval == 0 ? 1 : 0); return 0;
    case PureOp::kNeq: Whole(r, kIntegerType, a.fval - b.fval != 0 ? 1 : 0); return 0;
    case PureOp::kGt: Whole(r, kIntegerType, a.fval - b.fval > 0 ? 1 : 0); return 0;
    case PureOp::kLt: Whole(r, kIntegerType, a.fval - b.fval < 0 ? 1 : 0); return 0;
  }
  return 0;
}

// Number of arguments of op.
inline int PureArity(PureOp op) { return op == PureOp::kNot ? 1 : 2; }

}  // namespace tilmor
