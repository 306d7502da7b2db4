// Fast calls: the dry run that decodes them and their evaluation.
#include "fastcall.h"

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
bool DryRead(std::string_view p, size_t& pos, char c, int t, std::unique_ptr<FastNode>& out, int& depth,
             char& sep, bool& eoa) {
  SkipBlanks(p, pos);
  if (c != 'p' && pos == p.size()) return false;  // error 212
  ArgDecode d;
  DecodeArgument(p.substr(pos), c, t, d);
  auto n = std::make_unique<FastNode>();
  switch (d.kind) {
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

// What the last argument read left as the result text.
struct LastText {
  const FastNode* leaf = nullptr;
  double real = 0.0;  // a float variable's value
  int32_t whole = 0;  // a whole variable's value
};

// Literals and variables; false for any other node or a variable that is
// not declared.
inline bool Leaf(Interp& in, const FastNode& n, NumArg& v, LastText& last) {
  switch (n.kind) {
    case FastNode::kWhole:
      v = NumArg{n.whole, n.whole, n.real, 3};
      break;
    case FastNode::kFloat:
      v = NumArg{n.whole, n.whole, n.real, 4};
      break;
    case FastNode::kVariable:
      if (n.varKind == '%') {
        const int32_t* x = in.vars.ints.Find(n.id);
        if (!x) return false;
        v = NumArg{*x, *x, static_cast<double>(*x), 2};
        last.whole = *x;
      } else if (n.varKind == '&') {
        const int32_t* x = in.vars.longs.Find(n.id);
        if (!x) return false;
        v = NumArg{*x, *x, static_cast<double>(*x), 3};
        last.whole = *x;
      } else {
        const double* f = in.vars.floats.Find(n.id);
        if (!f) return false;
        int32_t w = TruncToInt32(*f);
        v = NumArg{w, w, *f, 4};
        last.real = *f;
      }
      break;
    case FastNode::kSlot: {
      const ParamSlot& s = in.slots[static_cast<size_t>(n.slot)];
      v = NumArg{s.ival, s.lval, s.fval, n.slotType};
      break;
    }
    default:
      return false;
  }
  last.leaf = &n;
  return true;
}

bool Eval(Interp& in, const FastNode& n, NumArg& v, LastText& last);

inline bool Operand(Interp& in, const FastNode& n, NumArg& v, LastText& last) {
  return n.kind < FastNode::kCall ? Leaf(in, n, v, last) : Eval(in, n, v, last);
}

bool Eval(Interp& in, const FastNode& n, NumArg& v, LastText& last) {
  switch (n.kind) {
    case FastNode::kElement: {
      NumArg x;
      if (!Operand(in, *n.a, x, last)) return false;
      const Arrays& ar = in.arrays;
      int32_t size = n.arrayKind == '%' ? ar.intSize : n.arrayKind == '&' ? ar.longSize : ar.floatSize;
      if (x.ival < 0 || x.ival > size) return false;  // error 207
      size_t at = static_cast<size_t>(x.ival);
      if (n.arrayKind == '!') {
        double f = ar.floats[at];
        int32_t w = TruncToInt32(f);
        v = NumArg{w, w, f, 4};
      } else {
        int32_t w = n.arrayKind == '%' ? ar.ints[at] : ar.longs[at];
        v = NumArg{w, w, static_cast<double>(w), n.arrayKind == '%' ? 2 : 3};
      }
      return true;
    }
    case FastNode::kCall: {
      NumArg a, b;
      if (!Operand(in, *n.a, a, last)) return false;
      if (n.b && !Operand(in, *n.b, b, last)) return false;
      PureResult r;
      if (ComputePure(n.op, a, b, r) != 0) return false;
      v.type = r.type;
      v.lval = v.ival = r.lval;
      v.fval = r.type == 4 ? r.fval : static_cast<double>(r.lval);
      return true;
    }
    default:
      return Leaf(in, n, v, last);
  }
}

}  // namespace

std::unique_ptr<FastCall> DecodeFastCall(std::string_view p, char c, int t) {
  auto f = std::make_unique<FastCall>();
  size_t pos = 0;
  if (!DryRead(p, pos, c, t, f->root, f->depth, f->sep, f->eoa)) return nullptr;
  if (f->root->kind != FastNode::kCall && f->root->kind != FastNode::kSlot && f->root->kind != FastNode::kElement)
    return nullptr;
  f->adv = static_cast<uint16_t>(pos);
  return f;
}

bool EvaluateFastCall(Interp& in, const FastCall& f) {
  if (in.evalDepth + f.depth > kMaxEvalDepth) return false;
  NumArg v;
  LastText last;
  if (!Operand(in, *f.root, v, last)) return false;
  ArgResult& r = in.res;
  r.type = v.type;
  r.ival = v.ival;
  r.lval = v.lval;
  r.fval = v.fval;
  const FastNode& leaf = *last.leaf;
  switch (leaf.kind) {
    case FastNode::kWhole: r.text.SetWhole(leaf.whole, in.numWidth); break;
    case FastNode::kFloat: r.text.SetFloat(leaf.real, in.numWidth, in.decimals); break;
    case FastNode::kVariable:
      if (leaf.varKind == '!')
        r.text.SetFloat(last.real, in.numWidth, in.decimals);
      else
        r.text.SetWhole(last.whole, in.numWidth);
      break;
    default: r.text = in.slots[static_cast<size_t>(leaf.slot)].text; break;
  }
  r.sep = f.sep;
  r.eoa = f.eoa;
  in.param.erase(0, f.adv);
  return true;
}

}  // namespace tilmor
