// The four arrays: DIM% .. DIM$, LIST% .. LIST$ and the functions
// @LIST% .. @LIST$.
#include "argreader.h"
#include "commands.h"
#include "control.h"
#include "errors.h"
#include "functions.h"
#include "numbers.h"

namespace tilmor {
namespace {

enum Kind { kInts, kLongs, kFloats, kStrings };

int32_t& SizeOf(Arrays& a, Kind k) {
  switch (k) {
    case kInts: return a.intSize;
    case kLongs: return a.longSize;
    case kFloats: return a.floatSize;
    default: return a.stringSize;
  }
}

void Dimension(Interp& in, Kind k, int twice) {
  int32_t& size = SizeOf(in.arrays, k);
  if (size >= 0) {
    RuntimeError(in, twice);
    return;
  }
  ReadArg(in, ' ', kAny);
  int32_t n = in.res.ival;
  if (n < 0 || n > 32767) {
    RuntimeError(in, 231);
    return;
  }
  size_t count = static_cast<size_t>(n) + 1;
  switch (k) {
    case kInts: in.arrays.ints.assign(count, 0); break;
    case kLongs: in.arrays.longs.assign(count, 0); break;
    case kFloats: in.arrays.floats.assign(count, 0.0); break;
    case kStrings: in.arrays.strings.assign(count, std::string()); break;
  }
  size = n;
}

// Index i within 0..size, else error 207; the reads name the highest
// index, the writes nothing more.
bool InRange(Interp& in, Kind k, int32_t i, bool read) {
  int32_t size = SizeOf(in.arrays, k);
  if (i < 0 || i > size) {
    RuntimeError(in, 207, read ? std::to_string(size) : std::string());
    return false;
  }
  return true;
}

void Store(Interp& in, Kind k) {
  ReadArg(in, '=', kAny);
  int32_t i = in.res.ival;
  ReadArg(in, ' ', kAny);
  if (!InRange(in, k, i, false)) return;
  size_t at = static_cast<size_t>(i);
  switch (k) {
    case kInts: in.arrays.ints[at] = in.res.ival; break;
    case kLongs: in.arrays.longs[at] = in.res.lval; break;
    case kFloats: in.arrays.floats[at] = in.res.fval; break;
    case kStrings: in.arrays.strings[at] = ResultText(in); break;
  }
}

void Element(Interp& in, Kind k) {
  ReadArg(in, ')', kAny);
  int32_t i = in.res.ival;
  ArgResult& r = in.res;
  if (!InRange(in, k, i, true)) {
    r.type = k == kStrings ? kString : k == kFloats ? kFloat : k == kLongs ? kLong : kInteger;
    r.text.clear();
    r.lval = r.ival = 0;
    r.fval = 0;
    return;
  }
  size_t at = static_cast<size_t>(i);
  switch (k) {
    case kInts:
      r.type = kInteger;
      r.lval = in.arrays.ints[at];
      r.ival = static_cast<int16_t>(r.lval & 0xFFFF);
      break;
    case kLongs:
      r.type = kLong;
      r.lval = r.ival = in.arrays.longs[at];
      break;
    case kFloats:
      r.type = kFloat;
      r.fval = in.arrays.floats[at];
      r.lval = r.ival = TruncToInt32(r.fval);
      break;
    case kStrings:
      r.type = kString;
      r.text = in.arrays.strings[at];
      break;
  }
}

}  // namespace

void CmdDimArray(Interp& in, int sub) {
  static const int kTwice[] = {116, 117, 119, 118};
  Dimension(in, static_cast<Kind>(sub), kTwice[sub]);
}

void CmdListStore(Interp& in, int sub) { Store(in, static_cast<Kind>(sub)); }

void RegisterArrayFunctions() {
  RegisterFunction("LIST%", [](Interp& in) { Element(in, kInts); });
  RegisterFunction("LIST&", [](Interp& in) { Element(in, kLongs); });
  RegisterFunction("LIST!", [](Interp& in) { Element(in, kFloats); });
  RegisterFunction("LIST$", [](Interp& in) { Element(in, kStrings); });
}

}  // namespace tilmor
