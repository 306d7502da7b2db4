// The argument reader: cuts one argument off the parameter text and
// evaluates it into the results.
#include "argreader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "chars.h"
#include "decode.h"
#include "fastcall.h"
#include "errors.h"
#include "functions.h"
#include "numbers.h"
#include "prepare.h"
#include "sysvars.h"

namespace tilmor {
namespace {

void SetWhole(Interp& in, int type, int32_t v) {
  in.res.type = type;
  in.res.ival = v;
  in.res.lval = v;
  in.res.fval = v;
  in.res.text.SetWhole(v, in.numWidth);
}

void SetFloat(Interp& in, double v) {
  in.res.type = kFloat;
  in.res.fval = v;
  in.res.ival = in.res.lval = TruncToInt32(v);
  in.res.text.SetFloat(v, in.numWidth, in.decimals);
}

void Undeclared(Interp& in, int type, const std::string& name) {
  in.res.type = type;
  in.res.text = name;
  if (in.cmd != "DECLARE" && in.cmd != "PARAMETERS") Warning(in, 215, name);
}

// Short whole numbers are by far the most common literals: read them
// without the floating-point parser.
bool ShortWhole(std::string_view arg, int32_t& v) {
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

void DecodeNumberLiteral(const std::string& arg, ArgDecode& d) {
  if (int32_t v; ShortWhole(arg, v)) {
    d.kind = ArgDecode::kWhole;
    d.whole = v;
    d.real = v;
    return;
  }
  d.whole = ReadWhole(arg);
  double f;
  if (!ReadFloat(arg, f)) {
    d.kind = ArgDecode::kNotNumber;
    d.text = arg;
    return;
  }
  d.real = f;
  d.kind = arg.find('.') == std::string::npos ? ArgDecode::kWhole : ArgDecode::kFloat;
}

// The kind an argument belongs to: the first of $ ! & % that stands last or
// first, in this order; 0 for none.
char KindOf(char first, char last) {
  for (char k : {'$', '!', '&', '%'})
    if (last == k || first == k) return k;
  return 0;
}

bool IsBlank(char ch) { return static_cast<unsigned char>(ch) < 33; }

}  // namespace

void DecodeArgument(std::string_view p, char c, int t, ArgDecode& d) {
  d.c = c;
  d.t = static_cast<uint8_t>(t);
  if (!p.empty() && (p[0] == '@' || IsCallFormText(p))) {
    size_t open = p.find('(');
    if (open == std::string_view::npos) {
      d.kind = ArgDecode::kNoParen;
      return;
    }
    size_t skip = p[0] == '@' ? 1 : 0;
    d.kind = ArgDecode::kCall;
    d.text = Trim(UpperCase(p.substr(skip, open - skip)));
    size_t q = open + 1;
    while (q < p.size() && IsBlank(p[q])) ++q;
    d.adv = static_cast<uint16_t>(q);
    d.builtin = FindBuiltinFunction(d.text, d.fn);
    return;
  }

  size_t e;
  if (c == ' ')
    e = std::string_view::npos;
  else if (c == 'p')
    e = p.find_first_of(",;");
  else
    e = p.find(c);
  std::string_view arg;
  if (e == std::string_view::npos) {
    arg = p;
    d.adv = static_cast<uint16_t>(p.size());
    d.sep = c == 'p' ? ' ' : c;
    d.eoa = c == 'p';
  } else {
    arg = p.substr(0, e);
    d.sep = p[e];
    size_t q = e + 1;
    while (q < p.size() && IsBlank(p[q])) ++q;
    d.adv = static_cast<uint16_t>(q);
    d.eoa = c == 'p' && q == p.size();
  }
  arg = TrimView(arg);

  if (!arg.empty() && arg.front() == '"' && arg.back() == '"') {
    d.kind = ArgDecode::kQuoted;
    d.text = arg.size() >= 2 ? Unescape(arg.substr(1, arg.size() - 2), t == kRawText) : std::string();
    return;
  }
  std::string up = UpperCase(arg);
  char last = up.empty() ? '\0' : up.back();
  char first = up.empty() ? '\0' : up.front();
  char k = last == '#' ? '#' : KindOf(first, last);
  if (k && (k == '#' || first != k)) {
    d.kind = ArgDecode::kVariable;
    d.varKind = k;
    d.id = NameIds::Id(up);
    d.text = std::move(up);
  } else if (k) {
    d.kind = ArgDecode::kSystem;
    d.sys = FindSystemVariable(up);
    d.text = std::move(up);
  } else {
    DecodeNumberLiteral(up, d);
  }
}

namespace {

bool SameDecode(const ArgDecode& a, const ArgDecode& b) {
  return a.kind == b.kind && a.varKind == b.varKind && a.adv == b.adv && a.sep == b.sep &&
         a.eoa == b.eoa && a.text == b.text && a.whole == b.whole &&
         std::memcmp(&a.real, &b.real, sizeof a.real) == 0 && a.id == b.id && a.fn == b.fn &&
         a.builtin == b.builtin && a.sys == b.sys;
}

// Reads the variable of kind `k` with name id `id` into the results.
void ReadVariableId(Interp& in, char k, int id, const std::string& name) {
  Variables& v = in.vars;
  switch (k) {
    case '$':
      if (const std::string* s = v.strings.Find(id)) {
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
      if (const double* f = v.floats.Find(id))
        SetFloat(in, *f);
      else
        Undeclared(in, kFloat, name);
      return;
    case '&':
      if (const int32_t* l = v.longs.Find(id))
        SetWhole(in, kLong, *l);
      else
        Undeclared(in, kLong, name);
      return;
    case '%':
      if (const int32_t* i = v.ints.Find(id))
        SetWhole(in, kInteger, *i);
      else
        Undeclared(in, kInteger, name);
      return;
    case '#':
      if (const Area* a = v.areas.Find(id)) {
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

// Carries out a decoded read on the live parameter text.
void Apply(Interp& in, const ArgDecode& d, char c) {
  ArgResult& r = in.res;
  switch (d.kind) {
    case ArgDecode::kNoParen:
      RuntimeError(in, 213);
      in.param.clear();
      r.sep = ' ';
      r.eoa = true;
      return;
    case ArgDecode::kCall: {
      in.param.erase(0, d.adv);
      TrimInPlace(in.param);
      EvaluateCall(in, d.text, d.builtin, d.fn);
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
      return;
    }
    default:
      break;
  }
  in.param.erase(0, d.adv);
  TrimInPlace(in.param);
  r.sep = d.sep;
  r.eoa = d.eoa;
  switch (d.kind) {
    case ArgDecode::kQuoted:
      r.type = kString;
      r.text = d.text;
      return;
    case ArgDecode::kWhole:
      r.type = kLong;
      r.ival = r.lval = d.whole;
      r.fval = d.real;
      r.text.SetWhole(d.whole, in.numWidth);
      return;
    case ArgDecode::kFloat:
      r.type = kFloat;
      r.ival = r.lval = d.whole;
      r.fval = d.real;
      r.text.SetFloat(d.real, in.numWidth, in.decimals);
      return;
    case ArgDecode::kNotNumber:
      r.type = kString;
      r.text = d.text;
      r.ival = r.lval = d.whole;
      Warning(in, 214, d.text);
      return;
    case ArgDecode::kVariable:
      ReadVariableId(in, d.varKind, d.id, d.text);
      return;
    case ArgDecode::kSystem:
      ApplySystemVariable(in, d.text, d.sys);
      return;
    default:
      return;
  }
}

[[noreturn]] void ShadowMismatch(const ArgDecode& cached, std::string_view text) {
  std::fprintf(stderr, "tilmor: decoded argument differs from its text at \"%.*s\" (kind %d)\n",
               static_cast<int>(text.size()), text.data(), static_cast<int>(cached.kind));
  std::abort();
}

// The remembered decode of this read, made now if there is room for it.
ArgDecode* Cached(DecodedText& cache, const ParamText& p, char c, int t) {
  uint32_t at = p.offset();
  if (ArgDecode* d = cache.Find(at, c, t)) {
    if (ShadowChecks()) {
      ArgDecode check;
      DecodeArgument(p.view(), c, t, check);
      if (!SameDecode(*d, check)) ShadowMismatch(*d, p.view());
    }
    return d;
  }
  if (cache.args.size() >= DecodedText::kMaxArgs) return nullptr;
  auto fresh = std::make_unique<ArgDecode>();
  DecodeArgument(p.view(), c, t, *fresh);
  fresh->at = static_cast<uint16_t>(at);
  cache.args.push_back(std::move(fresh));
  cache.cursor = static_cast<uint32_t>(cache.args.size());
  return cache.args.back().get();
}

// Evaluates a call as its tree; false when the ordinary reading must do it.
// With shadow checks the ordinary reading is done too and must agree.
bool FastCallHere(Interp& in, const ArgDecode& d, char c) {
  if (!ShadowChecks()) return EvaluateFastCall(in, *d.fast);
  ParamText start = in.param;
  if (!EvaluateFastCall(in, *d.fast)) return false;
  ArgResult fast = in.res;
  ParamText after = in.param;
  in.param = start;
  Apply(in, d, c);
  const ArgResult& slow = in.res;
  if (fast.type != slow.type || fast.ival != slow.ival || fast.lval != slow.lval ||
      std::memcmp(&fast.fval, &slow.fval, sizeof fast.fval) != 0 || fast.text.str() != slow.text.str() ||
      fast.sep != slow.sep || fast.eoa != slow.eoa || after.data() != in.param.data() ||
      after.size() != in.param.size())
    ShadowMismatch(d, start.view());
  return true;
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

const std::string& ReadNameSlow(Interp& in, size_t len, int& id) {
  if (len > in.param.size()) len = in.param.size();
  DecodedText* cache = FastPathsOn() ? in.param.decoded() : nullptr;
  if (cache) {
    uint32_t at = in.param.offset();
    for (const NameDecode& n : cache->names) {
      if (n.at == at && n.len == len) {
        id = n.id;
        return n.name;
      }
    }
    if (cache->names.size() < DecodedText::kMaxArgs) {
      NameDecode n;
      n.at = static_cast<uint16_t>(at);
      n.len = static_cast<uint16_t>(len);
      n.name = UpperCase(TrimView(in.param.view().substr(0, len)));
      n.id = NameIds::Known(n.name);
      if (n.id >= 0) {  // a name never declared is looked up anew each time
        cache->names.push_back(std::move(n));
        id = cache->names.back().id;
        return cache->names.back().name;
      }
    }
  }
  static std::string scratch;
  scratch = UpperCase(TrimView(in.param.view().substr(0, len)));
  id = NameIds::Known(scratch);
  return scratch;
}

void ReadArg(Interp& in, char c, int t) {
  ArgResult& r = in.res;
  r.type = kNone;
  r.eoa = false;
  in.param.TrimFront();
  if (c != 'p' && in.param.empty()) {
    RuntimeError(in, 212);
    r.sep = ' ';
    return;
  }

  ArgDecode* d = nullptr;
  if (DecodedText* cache = FastPathsOn() ? in.param.decoded() : nullptr) d = Cached(*cache, in.param, c, t);
  if (d) {
    if (d->kind == ArgDecode::kCall && !d->fastTried) {
      d->fastTried = true;
      d->fast = DecodeFastCall(in.param.view(), c, t);
    }
    if (!d->fast || !FastCallHere(in, *d, c))
      Apply(in, *d, c);
  } else {
    ArgDecode local;
    DecodeArgument(in.param.view(), c, t, local);
    Apply(in, local, c);
  }

  int want = t == kRawText ? kText : t;
  if ((want == kText && r.type != kString && r.type != kNone) ||
      (want >= kNumber && r.type == kString)) {
    RuntimeError(in, 216, r.text);
  }
}

}  // namespace tilmor
