#include "argreader.h"

#include "chars.h"
#include "errors.h"
#include "functions.h"
#include "numbers.h"
#include "sysvars.h"

namespace tilmor {
namespace {

void SetWhole(Interp& in, int type, int32_t v) {
  in.res.type = type;
  in.res.ival = v;
  in.res.lval = v;
  in.res.fval = v;
  in.res.text = FormatInteger(v, in.numWidth);
}

void SetFloat(Interp& in, double v) {
  in.res.type = kFloat;
  in.res.fval = v;
  in.res.ival = in.res.lval = TruncToInt32(v);
  in.res.text = FormatFloat(v, in.numWidth, in.decimals);
}

void Undeclared(Interp& in, int type, const std::string& name) {
  in.res.type = type;
  in.res.text = name;
  if (in.cmd != "DECLARE" && in.cmd != "PARAMETERS") Warning(in, 215, name);
}

// Short whole numbers are by far the most common literals: read them
// without the floating-point parser.
bool ShortWhole(const std::string& arg, int32_t& v) {
  size_t i = (!arg.empty() && (arg[0] == '-' || arg[0] == '+')) ? 1 : 0;
  if (arg.size() <= i || arg.size() - i > 9) return false;
  int32_t n = 0;
  for (size_t k = i; k < arg.size(); ++k) {
    if (arg[k] < '0' || arg[k] > '9') return false;
    n = n * 10 + (arg[k] - '0');
  }
  v = arg[0] == '-' ? -n : n;
  return true;
}

void ReadNumberLiteral(Interp& in, const std::string& arg) {
  if (int32_t v; ShortWhole(arg, v)) {
    SetWhole(in, kLong, v);
    return;
  }
  double f;
  if (!ReadFloat(arg, f)) {
    in.res.type = kString;
    in.res.text = arg;
    in.res.ival = in.res.lval = ReadWhole(arg);
    Warning(in, 214, arg);
    return;
  }
  int32_t whole = ReadWhole(arg);
  in.res.ival = in.res.lval = whole;
  in.res.fval = f;
  if (arg.find('.') == std::string::npos) {
    in.res.type = kLong;
    in.res.text = FormatInteger(whole, in.numWidth);
  } else {
    in.res.type = kFloat;
    in.res.text = FormatFloat(f, in.numWidth, in.decimals);
  }
}

// The kind an argument belongs to: the first of $ ! & % that stands last or
// first, in this order; 0 for none.
char KindOf(char first, char last) {
  for (char k : {'$', '!', '&', '%'})
    if (last == k || first == k) return k;
  return 0;
}

}  // namespace

std::string FormatResultNumber(const Interp& in, int type, int32_t lval, double fval) {
  if (type == kFloat) return FormatFloat(fval, in.numWidth, in.decimals);
  return FormatInteger(lval, in.numWidth);
}

std::string Unescape(std::string_view body, bool raw) {
  std::string s;
  s.reserve(body.size());
  // "\\" first becomes a placeholder so that it cannot start another escape.
  for (size_t i = 0; i < body.size(); ++i) {
    if (body[i] == '\\' && i + 1 < body.size() && body[i + 1] == '\\') {
      s += '\x01';
      ++i;
    } else {
      s += body[i];
    }
  }
  if (!raw) {
    static const struct {
      char code;
      char to;
    } kEscapes[] = {{'n', '\r'}, {'a', '\x08'}, {'t', '\t'}, {'.', '\\'}};
    for (const auto& e : kEscapes) {
      std::string out;
      out.reserve(s.size());
      for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == e.code) {
          out += e.to;
          ++i;
        } else {
          out += s[i];
        }
      }
      s = std::move(out);
    }
  }
  for (char& c : s)
    if (c == '\x01') c = '\\';
  return s;
}

void ReadVariable(Interp& in, const std::string& name) {
  Variables& v = in.vars;
  switch (name.back()) {
    case '$':
      if (const std::string* s = v.strings.Find(name)) {
        in.res.type = kString;
        in.res.text = *s;
        in.res.ival = in.res.lval = ReadWhole(*s);
        double f;
        in.res.fval = ReadFloat(*s, f) ? f : in.res.lval;
      } else {
        Undeclared(in, kString, name);
      }
      return;
    case '!':
      if (const double* f = v.floats.Find(name))
        SetFloat(in, *f);
      else
        Undeclared(in, kFloat, name);
      return;
    case '&':
      if (const int32_t* l = v.longs.Find(name))
        SetWhole(in, kLong, *l);
      else
        Undeclared(in, kLong, name);
      return;
    case '%':
      if (const int32_t* i = v.ints.Find(name))
        SetWhole(in, kInteger, *i);
      else
        Undeclared(in, kInteger, name);
      return;
    case '#':
      if (const Area* a = v.areas.Find(name)) {
        if (a->address == 0) {
          in.res.type = kLong;
          RuntimeError(in, 243);
          return;
        }
        SetWhole(in, kLong, static_cast<int32_t>(a->address));
      } else {
        Undeclared(in, kLong, name);
      }
      return;
    default:
      return;
  }
}

void ReadArg(Interp& in, char c, int t) {
  ArgResult& r = in.res;
  r.type = kNone;
  r.eoa = false;
  TrimInPlace(in.param);
  if (c != 'p' && in.param.empty()) {
    RuntimeError(in, 212);
    r.sep = ' ';
    return;
  }

  if (!in.param.empty() && (in.param[0] == '@' || IsCallFormText(in.param))) {
    size_t p = in.param.find('(');
    if (p == std::string::npos) {
      RuntimeError(in, 213);
      in.param.clear();
      r.sep = ' ';
      r.eoa = true;
      return;
    }
    std::string name = UpperCase(std::string_view(in.param).substr(in.param[0] == '@', p - (in.param[0] == '@')));
    in.param.erase(0, p + 1);
    TrimInPlace(in.param);
    EvaluateFunction(in, name);
    if (!in.param.empty() && in.param[0] == ')') {
      in.param.erase(0, 1);
      TrimInPlace(in.param);
    }
    if (in.param.empty()) {
      r.sep = ' ';
      if (c == 'p') r.eoa = true;
    } else {
      char f = in.param[0];
      if (f == c || (c == 'p' && (f == ',' || f == ';'))) {
        r.sep = f;
        in.param.erase(0, 1);
        TrimInPlace(in.param);
      } else {
        r.sep = ' ';
      }
    }
  } else {
    std::string arg;
    size_t e;
    if (c == ' ') {
      e = std::string::npos;
    } else if (c == 'p') {
      e = in.param.find_first_of(",;");
    } else {
      e = in.param.find(c);
    }
    if (e == std::string::npos) {
      arg = std::move(in.param);
      in.param.clear();
      r.sep = c == 'p' ? ' ' : c;
      if (c == 'p') r.eoa = true;
    } else {
      arg = in.param.substr(0, e);
      r.sep = in.param[e];
      in.param.erase(0, e + 1);
      TrimInPlace(in.param);
      if (c == 'p' && in.param.empty()) r.eoa = true;
    }
    TrimInPlace(arg);

    if (!arg.empty() && arg.front() == '"' && arg.back() == '"') {
      r.type = kString;
      r.text = arg.size() >= 2 ? Unescape(std::string_view(arg).substr(1, arg.size() - 2), t == kRawText)
                               : std::string();
    } else {
      arg = UpperCase(arg);
      char last = arg.empty() ? '\0' : arg.back();
      char first = arg.empty() ? '\0' : arg.front();
      if (last == '#') {
        ReadVariable(in, arg);
      } else if (char k = KindOf(first, last)) {
        if (first == k)
          LookupSystemVariable(in, arg);
        else
          ReadVariable(in, arg);
      } else {
        ReadNumberLiteral(in, arg);
      }
    }
  }

  int want = t == kRawText ? kText : t;
  if ((want == kText && r.type != kString && r.type != kNone) ||
      (want >= kNumber && r.type == kString)) {
    RuntimeError(in, 216, r.text);
  }
}

}  // namespace tilmor
