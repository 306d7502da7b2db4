// The arithmetic, logic and comparison functions' computations.
#include "pureops.h"

#include <climits>

namespace tilmor {
namespace {

constexpr int kInteger = 2, kLong = 3, kFloat = 4;

int32_t Wrap(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v))); }

// Whole-number division and remainder truncating toward zero; the one
// quotient that does not fit wraps as on the processor's 32-bit registers.
int32_t Quot(int32_t a, int32_t b) { return (a == INT_MIN && b == -1) ? INT_MIN : a / b; }
int32_t Rem(int32_t a, int32_t b) { return b == -1 ? 0 : a % b; }

void Float(PureResult& r, double f, int32_t l) {
  r.type = kFloat;
  r.fval = f;
  r.lval = l;
}
void Whole(PureResult& r, int type, int32_t l) {
  r.type = type;
  r.lval = l;
}

}  // namespace

int ComputePure(PureOp op, const NumArg& a, const NumArg& b, PureResult& r) {
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
        Whole(r, kLong, 0);
        return 201;
      }
      Whole(r, kLong, Quot(a.lval, b.lval));
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
    case PureOp::kAnd: Whole(r, kLong, a.lval & b.lval); return 0;
    case PureOp::kOr: Float(r, a.lval | b.lval, a.lval | b.lval); return 0;
    case PureOp::kXor: Float(r, a.lval ^ b.lval, a.lval ^ b.lval); return 0;
    case PureOp::kNot: Whole(r, kLong, a.lval == 0 ? 1 : 0); return 0;
    case PureOp::kEqu: Whole(r, kInteger, a.fval - b.fval == 0 ? 1 : 0); return 0;
    case PureOp::kNeq: Whole(r, kInteger, a.fval - b.fval != 0 ? 1 : 0); return 0;
    case PureOp::kGt: Whole(r, kInteger, a.fval - b.fval > 0 ? 1 : 0); return 0;
    case PureOp::kLt: Whole(r, kInteger, a.fval - b.fval < 0 ? 1 : 0); return 0;
  }
  return 0;
}

}  // namespace tilmor
