// Fast calls: the dry run that decodes them and their evaluation.
#include "fastcall.h"

#include <algorithm>

#include "argreader.h"
#include "decode.h"
#include "interp.h"
#include "numbers.h"

namespace tilmor {
namespace {

bool IsBlank(char ch) { return static_cast<unsigned char>(ch) < 33; }

void SkipBlanks(std::string_view p, size_t& pos) {
  while (pos < p.size() && IsBlank(p[pos])) ++pos;
}

bool PureOpOf(const std::string& name, PureOp& op) {
  static const struct {
    const char* name;
    PureOp op;
  } kOps[] = {{"ADD", PureOp::kAdd}, {"SUB", PureOp::kSub},     {"MUL", PureOp::kMul}, {"DIV", PureOp::kDiv},
              {"DIV&", PureOp::kDivLong}, {"MOD", PureOp::kMod}, {"AND", PureOp::kAnd}, {"OR", PureOp::kOr},
              {"XOR", PureOp::kXor}, {"NOT", PureOp::kNot},     {"EQU", PureOp::kEqu}, {"NEQ", PureOp::kNeq},
              {"GT", PureOp::kGt},   {"LT", PureOp::kLt}};
  for (const auto& o : kOps)
    if (name == o.name) {
      op = o.op;
      return true;
    }
  return false;
}

// The tail of a call read: its ")" and the separator the read stops at.
void CallTail(std::string_view p, size_t& pos, char c, char& sep, bool& eoa) {
  if (pos < p.size() && p[pos] == ')') {
    ++pos;
    SkipBlanks(p, pos);
  }
  eoa = false;
  if (pos == p.size()) {
    sep = ' ';
    eoa = c == 'p';
    return;
  }
  char f = p[pos];
  if (f == c || (c == 'p' && (f == ',' || f == ';'))) {
    sep = f;
    ++pos;
    SkipBlanks(p, pos);
  } else {
    sep = ' ';
  }
}

// One argument read at `pos` with c and t, as the reader would do it.
// `text`: the argument is read as a text (of @LEN, @INSTR, @MID$);
// `root`: the read of the whole call, which may also be a @MID$.
bool DryRead(std::string_view p, size_t& pos, char c, int t, std::unique_ptr<FastNode>& out, int& depth,
             char& sep, bool& eoa, bool text = false, bool root = false) {
  SkipBlanks(p, pos);
  if (c != 'p' && pos == p.size()) return false;  // error 212
  ArgDecode d;
  DecodeArgument(p.substr(pos), c, t, d);
  auto n = std::make_unique<FastNode>();
  const bool mid = d.kind == ArgDecode::kCall && d.builtin && d.fn && d.text == "MID$";
  if (mid && !text && !root) return false;  // a text where a number is read
  if (mid) text = false;  // a text made by a call: decoded below
  if (text) {
    // A text argument: a quoted text or a string variable, nothing else.
    if (d.kind == ArgDecode::kQuoted) {
      n->kind = FastNode::kText;
      n->id = -1;
      n->text = d.text;
    } else if (d.kind == ArgDecode::kVariable && d.varKind == '$') {
      n->kind = FastNode::kText;
      n->id = d.id;
    } else {
      return false;
    }
  } else switch (d.kind) {
    case ArgDecode::kWhole:
    case ArgDecode::kFloat:
      n->kind = d.kind == ArgDecode::kWhole ? FastNode::kWhole : FastNode::kFloat;
      n->whole = d.whole;
      n->real = d.real;
      break;
    case ArgDecode::kVariable:
      if (d.varKind != '%' && d.varKind != '&' && d.varKind != '!') return false;
      n->kind = FastNode::kVariable;
      n->varKind = d.varKind;
      n->id = d.id;
      break;
    case ArgDecode::kCall: {
      pos += d.adv;
      int inner = 0;
      char s;
      bool e;
      if (!d.builtin && d.text.size() == 1 && std::string_view("$%&!").find(d.text[0]) != std::string_view::npos) {
        // A parameter slot, numbered by a literal.
        std::unique_ptr<FastNode> number;
        if (!DryRead(p, pos, ')', 2, number, inner, s, e) || number->kind != FastNode::kWhole ||
            number->whole < 0 || number->whole > 12)
          return false;
        n->kind = FastNode::kSlot;
        n->slotType = static_cast<int>(std::string_view("$%&!").find(d.text[0])) + 1;
        n->slot = number->whole;
      } else if (d.builtin && d.fn && (d.text == "LIST%" || d.text == "LIST&" || d.text == "LIST!")) {
        n->kind = FastNode::kElement;
        n->arrayKind = d.text[4];
        if (!DryRead(p, pos, ')', 0, n->a, inner, s, e)) return false;
      } else if (d.builtin && d.fn && d.text == "MID$") {
        n->kind = FastNode::kMid;
        int more = 0;
        if (!DryRead(p, pos, ',', 0, n->a, inner, s, e, true)) return false;
        if (!DryRead(p, pos, ',', 0, n->b, more, s, e)) return false;
        inner = std::max(inner, more);
        if (!DryRead(p, pos, ')', 0, n->c, more, s, e)) return false;
        inner = std::max(inner, more);
      } else if (d.builtin && d.fn && d.text == "LEN") {
        n->kind = FastNode::kLen;
        if (!DryRead(p, pos, ')', 0, n->a, inner, s, e, true)) return false;
      } else if (d.builtin && d.fn && d.text == "INSTR") {
        n->kind = FastNode::kInstr;
        if (!DryRead(p, pos, ',', 0, n->a, inner, s, e, true)) return false;
        if (!DryRead(p, pos, ')', 0, n->b, inner, s, e, true)) return false;
      } else if (d.builtin && d.fn && PureOpOf(d.text, n->op)) {
        n->kind = FastNode::kCall;
        int arity = PureArity(n->op);
        if (!DryRead(p, pos, arity == 1 ? ')' : ',', 0, n->a, inner, s, e)) return false;
        if (arity == 2) {
          int second = 0;
          if (!DryRead(p, pos, ')', 0, n->b, second, s, e)) return false;
          if (second > inner) inner = second;
        }
      } else {
        return false;
      }
      depth = inner + 1;
      CallTail(p, pos, c, sep, eoa);
      out = std::move(n);
      return true;
    }
    default:
      return false;
  }
  pos += d.adv;
  SkipBlanks(p, pos);
  sep = d.sep;
  eoa = d.eoa;
  out = std::move(n);
  return true;
}

}  // namespace

// Appends the tree's steps in postfix order; the stack depth it needs.
int Flatten(const FastNode& n, std::vector<FastStep>& out) {
  int need = 1;
  if (n.a) need = Flatten(*n.a, out);
  if (n.b) need = std::max(need, 1 + Flatten(*n.b, out));
  if (n.c) need = std::max(need, 2 + Flatten(*n.c, out));
  FastStep s{};
  s.kind = n.kind;
  s.varKind = n.varKind;
  s.arrayKind = n.arrayKind;
  s.op = n.op;
  s.slotType = n.slotType;
  s.whole = n.kind == FastNode::kVariable || n.kind == FastNode::kText ? n.id
            : n.kind == FastNode::kSlot                               ? n.slot
                                                                      : n.whole;
  s.real = n.real;
  s.text = n.kind == FastNode::kMid ? &n.result : &n.text;
  out.push_back(s);
  return need;
}

std::unique_ptr<FastCall> DecodeFastCall(std::string_view p, char c, int t) {
  auto f = std::make_unique<FastCall>();
  size_t pos = 0;
  if (!DryRead(p, pos, c, t, f->root, f->depth, f->sep, f->eoa, false, true)) return nullptr;
  if (f->root->kind < FastNode::kSlot || f->root->kind == FastNode::kText) return nullptr;
  f->text = f->root->kind == FastNode::kMid;
  if (Flatten(*f->root, f->steps) > FastCall::kMaxStack) return nullptr;
  f->adv = static_cast<uint16_t>(pos);
  return f;
}

bool EvaluateFastCall(Interp& in, const FastCall& f) {
  if (in.evalDepth + f.depth > kMaxEvalDepth) return false;
  NumArg stack[FastCall::kMaxStack];
  stack[0] = NumArg{};
  int sp = 0;
  // What the last operand read leaves as the result text.
  const FastStep* leaf = nullptr;
  int32_t lastWhole = 0;
  double lastReal = 0.0;
  const std::string* texts[FastCall::kMaxStack];
  int tp = 0;
  const std::string* lastText = nullptr;
  for (const FastStep& s : f.steps) {
    switch (s.kind) {
      case FastNode::kWhole:
        stack[sp++] = NumArg{s.whole, s.whole, s.real, 3};
        leaf = &s;
        break;
      case FastNode::kFloat:
        stack[sp++] = NumArg{s.whole, s.whole, s.real, 4};
        leaf = &s;
        break;
      case FastNode::kVariable:
        if (s.varKind == '!') {
          const double* x = in.vars.floats.Find(s.whole);
          if (!x) return false;
          int32_t w = TruncToInt32(*x);
          stack[sp++] = NumArg{w, w, *x, 4};
          lastReal = *x;
        } else {
          const int32_t* x = s.varKind == '%' ? in.vars.ints.Find(s.whole) : in.vars.longs.Find(s.whole);
          if (!x) return false;
          stack[sp++] = NumArg{*x, *x, static_cast<double>(*x), s.varKind == '%' ? 2 : 3};
          lastWhole = *x;
        }
        leaf = &s;
        break;
      case FastNode::kSlot: {
        const ParamSlot& slot = in.slots[static_cast<size_t>(s.whole)];
        stack[sp++] = NumArg{slot.ival, slot.lval, slot.fval, s.slotType};
        leaf = &s;
        break;
      }
      case FastNode::kText: {
        const std::string* t = s.text;
        if (s.whole >= 0 && !(t = in.vars.strings.Find(s.whole))) return false;
        texts[tp++] = t;
        lastText = t;
        leaf = &s;
        break;
      }
      case FastNode::kMid: {
        const NumArg& count = stack[--sp];
        const NumArg& from = stack[--sp];
        const std::string& whole = *texts[--tp];
        if (from.ival < 1) return false;  // error 204
        std::string& out = const_cast<std::string&>(*s.text);
        size_t at = static_cast<size_t>(from.ival) - 1;
        if (at >= whole.size() || count.ival <= 0)
          out.clear();
        else
          out.assign(whole, at, static_cast<size_t>(count.ival));
        texts[tp++] = &out;
        lastText = &out;
        leaf = &s;
        break;
      }
      case FastNode::kLen: {
        int32_t n = static_cast<int32_t>(texts[--tp]->size());
        stack[sp++] = NumArg{n, n, static_cast<double>(n), 2};
        break;
      }
      case FastNode::kInstr: {
        const std::string& in2 = *texts[--tp];
        const std::string& what = *texts[--tp];
        size_t at = what.empty() ? std::string::npos : in2.find(what);
        int32_t n = at == std::string::npos ? 0 : static_cast<int32_t>(at) + 1;
        stack[sp++] = NumArg{n, n, static_cast<double>(n), 2};
        break;
      }
      case FastNode::kElement: {
        NumArg& top = stack[sp - 1];
        const Arrays& ar = in.arrays;
        int32_t size = s.arrayKind == '%' ? ar.intSize : s.arrayKind == '&' ? ar.longSize : ar.floatSize;
        if (top.ival < 0 || top.ival > size) return false;  // error 207
        size_t at = static_cast<size_t>(top.ival);
        if (s.arrayKind == '!') {
          double x = ar.floats[at];
          int32_t w = TruncToInt32(x);
          top = NumArg{w, w, x, 4};
        } else {
          int32_t w = s.arrayKind == '%' ? ar.ints[at] : ar.longs[at];
          top = NumArg{w, w, static_cast<double>(w), s.arrayKind == '%' ? 2 : 3};
        }
        break;
      }
      case FastNode::kCall: {
        PureResult r;
        static const NumArg kNoArg{};
        const NumArg& b = PureArity(s.op) == 2 ? stack[--sp] : kNoArg;
        NumArg& a = stack[sp - 1];
        if (ComputePure(s.op, a, b, r) != 0) return false;
        a.type = r.type;
        a.lval = a.ival = r.lval;
        a.fval = r.type == 4 ? r.fval : static_cast<double>(r.lval);
        break;
      }
    }
  }
  ArgResult& r = in.res;
  if (f.text) {
    r.type = 1;
    r.text = *texts[0];
    r.ival = r.lval = 0;
    r.fval = 0.0;
    r.sep = f.sep;
    r.eoa = f.eoa;
    in.param.erase(0, f.adv);
    return true;
  }
  const NumArg& v = stack[0];
  r.type = v.type;
  r.ival = v.ival;
  r.lval = v.lval;
  r.fval = v.fval;
  switch (leaf->kind) {
    case FastNode::kWhole: r.text.SetWhole(leaf->whole, in.numWidth); break;
    case FastNode::kFloat: r.text.SetFloat(leaf->real, in.numWidth, in.decimals); break;
    case FastNode::kVariable:
      if (leaf->varKind == '!')
        r.text.SetFloat(lastReal, in.numWidth, in.decimals);
      else
        r.text.SetWhole(lastWhole, in.numWidth);
      break;
    case FastNode::kText:
    case FastNode::kMid: r.text = *lastText; break;
    default: r.text = in.slots[static_cast<size_t>(leaf->whole)].text; break;
  }
  r.sep = f.sep;
  r.eoa = f.eoa;
  in.param.erase(0, f.adv);
  return true;
}

}  // namespace tilmor
