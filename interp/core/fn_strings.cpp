// String functions: @CHR$ .. @STR$, @UPPER$, @LOWER$, @VAL, @TRANSLATE$.
#include <algorithm>

#include "chars.h"
#include "errors.h"
#include "fnargs.h"
#include "functions.h"
#include "numbers.h"

namespace tilmor {
namespace {

void Chr(Interp& in) {
  NumArg n = ReadNum(in, ')');
  SetResultText(in, std::string(1, static_cast<char>(n.ival & 0xFF)));
}

void AddText(Interp& in) {
  const std::string& a = ReadTextKept(in, ',', 0);
  const std::string& b = ReadTextKept(in, ')', 1);
  in.res.type = kString;
  in.res.ival = in.res.lval = 0;
  in.res.text = a;
  in.res.text += std::string_view(b).substr(0, kShortMax - std::min(a.size(), kShortMax));
}

void Mid(Interp& in) {
  const std::string& s = ReadTextKept(in, ',');
  NumArg p = ReadNum(in, ','), n = ReadNum(in, ')');
  if (p.ival < 1) {
    RuntimeError(in, 204);
    return SetResultText(in, "");
  }
  size_t from = static_cast<size_t>(p.ival) - 1;
  if (from >= s.size() || n.ival <= 0) return SetResultText(in, "");
  SetResultTextView(in, std::string_view(s).substr(from, static_cast<size_t>(n.ival)));
}

void SubStr(Interp& in) {
  std::string s = ReadText(in, ',');
  NumArg n = ReadNum(in, ',');
  std::string d = ReadText(in, ')');
  if (n.ival < 1) {
    RuntimeError(in, 205);
    return SetResultText(in, "");
  }
  if (d.empty()) return SetResultText(in, n.ival == 1 ? s : "");
  size_t start = 0;
  for (int32_t piece = 1;; ++piece) {
    size_t e = s.find(d, start);
    if (piece == n.ival) return SetResultText(in, s.substr(start, e == std::string::npos ? e : e - start));
    if (e == std::string::npos) return SetResultText(in, "");
    start = e + d.size();
  }
}

void Del(Interp& in) {
  std::string s = ReadText(in, ',');
  NumArg p = ReadNum(in, ','), n = ReadNum(in, ')');
  if (p.ival < 1) {
    RuntimeError(in, 204);
    return SetResultText(in, s);
  }
  size_t from = static_cast<size_t>(p.ival) - 1;
  if (from < s.size() && n.ival > 0) s.erase(from, static_cast<size_t>(n.ival));
  SetResultText(in, std::move(s));
}

void Ins(Interp& in) {
  std::string t = ReadText(in, ',');
  std::string s = ReadText(in, ',');
  NumArg p = ReadNum(in, ')');
  if (p.ival < 1) {
    RuntimeError(in, 204);
    return SetResultText(in, s);
  }
  size_t at = std::min(static_cast<size_t>(p.ival) - 1, s.size());
  s.insert(at, t);
  Cut255(s);
  SetResultText(in, std::move(s));
}

void Len(Interp& in) { SetResultLong(in, kInteger, static_cast<int32_t>(ReadTextKept(in, ')').size())); }

void InStr(Interp& in) {
  const std::string& t = ReadTextKept(in, ',', 0);
  const std::string& s = ReadTextKept(in, ')', 1);
  size_t p = t.empty() ? std::string::npos : s.find(t);
  SetResultLong(in, kInteger, p == std::string::npos ? 0 : static_cast<int32_t>(p) + 1);
}

void Ord(Interp& in) {
  std::string s = ReadText(in, ')');
  SetResultLong(in, kInteger, s.empty() ? 0 : static_cast<unsigned char>(s[0]));
}

void Str(Interp& in) {
  ReadArg(in, ')', kAny);
  if (in.res.type == kFloat)
    SetResultText(in, FormatFloat(in.res.fval, in.numWidth, in.decimals));
  else
    SetResultText(in, FormatInteger(in.res.lval, in.numWidth));
}

void Val(Interp& in) {
  std::string s = Trim(ReadText(in, ')'));
  double f;
  int32_t whole = ReadWhole(s);
  if (s.find('.') == std::string::npos) {
    SetResultLong(in, kLong, whole);
  } else {
    SetResultFloat(in, ReadFloat(s, f) ? f : 0.0, whole);
  }
}

void TranslateText(Interp& in) {
  std::string s = ReadText(in, ',');
  std::string f = ReadText(in, ',', kText);
  std::string r = ReadText(in, ')', kText);
  if (f.empty()) return SetResultText(in, std::move(s));
  std::string out;
  size_t start = 0;
  for (size_t e; (e = s.find(f, start)) != std::string::npos; start = e + f.size()) {
    out.append(s, start, e - start);
    out += r;
  }
  out.append(s, start, std::string::npos);
  Cut255(out);
  SetResultText(in, std::move(out));
}

}  // namespace

void RegisterStringFunctions() {
  RegisterFunction("CHR$", Chr);
  RegisterFunction("ADD$", AddText);
  RegisterFunction("MID$", Mid);
  RegisterFunction("SUBSTR$", SubStr);
  RegisterFunction("DEL$", Del);
  RegisterFunction("INS$", Ins);
  RegisterFunction("LEN", Len);
  RegisterFunction("INSTR", InStr);
  RegisterFunction("ORD", Ord);
  RegisterFunction("TRIM$", [](Interp& in) { SetResultText(in, Trim(ReadText(in, ')'))); });
  RegisterFunction("STR$", Str);
  RegisterFunction("UPPER$", [](Interp& in) { SetResultText(in, UpperCase(ReadText(in, ')'))); });
  RegisterFunction("LOWER$", [](Interp& in) { SetResultText(in, LowerCase(ReadText(in, ')'))); });
  RegisterFunction("VAL", Val);
  RegisterFunction("TRANSLATE$", TranslateText);
}

}  // namespace tilmor
