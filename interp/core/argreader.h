// The argument reader: every command, call and keyword takes its arguments
// from the parameter text through it. It cuts one argument up to a
// separator and evaluates it into the results of the interpreter state.
#pragma once

#include "interp.h"

namespace tilmor {

// c: ' ' to the end of the text, 'p' one element of a ","/";" list, any
// other character up to its first occurrence. t: kAny, kText, kNumber (2 or
// more), kRawText (string without escape processing).
void ReadArg(Interp& in, char c, int t);

// The number formatting of the results: integers in the number width,
// floats in the number width with the decimals.
std::string FormatResultNumber(const Interp& in, int type, int32_t lval, double fval);

// Quoted-string escapes: \\ \n \a \t \. (only \\ with raw).
std::string Unescape(std::string_view body, bool raw);

// The first `len` characters of the parameter text as a name, trimmed and
// upper-cased, with its name id; the parameter text is left as it is.
const std::string& ReadNameSlow(Interp& in, size_t len, int& id);
inline const std::string& ReadName(Interp& in, size_t len, int& id) {
  // The usual case: the one name this line's command cuts, seen before.
  if (DecodedText* c = FastPathsOn() ? in.param.decoded() : nullptr; c && !c->names.empty()) {
    const NameDecode& n = c->names.front();
    if (n.at == in.param.offset() && n.len == (len < in.param.size() ? len : in.param.size())) {
      id = n.id;
      return n.name;
    }
  }
  return ReadNameSlow(in, len, id);
}

}  // namespace tilmor
