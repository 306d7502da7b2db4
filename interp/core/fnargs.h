// Argument helpers of the built-in functions: each argument is read in turn
// and its values kept, since every read overwrites the reader results.
#pragma once

#include <string>

#include "argreader.h"
#include "interp.h"
#include "pureops.h"

namespace tilmor {



// Reads one argument ended by `sep` (',' or ')').
inline NumArg ReadNum(Interp& in, char sep) {
  ReadArg(in, sep, kAny);
  return NumArg{in.res.ival, in.res.lval, in.res.fval, in.res.type};
}

// A command's whole-number argument (its long value).
inline int32_t ReadLong(Interp& in, char sep) {
  ReadArg(in, sep, kNumber);
  return in.res.lval;
}

// A text argument; a number is taken in its formatted form.
std::string ReadText(Interp& in, char sep, int type = kAny);
// The same into a buffer of the calling function's own (one of two per
// call depth, so nested calls keep theirs), without allocating.
const std::string& ReadTextKept(Interp& in, char sep, int which = 0);

inline void SetResultLong(Interp& in, int type, int32_t v) {
  in.res.type = type;
  in.res.lval = v;
}
inline void SetResultFloat(Interp& in, double f, int32_t l) {
  in.res.type = kFloat;
  in.res.fval = f;
  in.res.lval = l;
}
inline void SetResultText(Interp& in, std::string s) {
  in.res.type = kString;
  in.res.text = std::move(s);
  in.res.ival = in.res.lval = 0;
}
// A text result copied into the result's own buffer.
inline void SetResultTextView(Interp& in, std::string_view s) {
  in.res.type = kString;
  in.res.text = s;
  in.res.ival = in.res.lval = 0;
}

}  // namespace tilmor
