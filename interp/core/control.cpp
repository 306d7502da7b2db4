#include "control.h"

#include <unordered_map>

#include "argreader.h"
#include "chars.h"
#include "errors.h"

namespace tilmor {
namespace {

bool Condition(Interp& in, char sep) {
  ReadArg(in, sep, kAny);
  return in.res.ival != 0;
}

void StoreSlot(Interp& in, int k) {
  ParamSlot& s = in.WriteSlot(k);
  SetResultText(in, s.text);
  s.ival = in.res.ival;
  s.lval = in.res.lval;
  s.fval = in.res.fval;
}

// A scan that found nothing: the error is raised on the last line, where the
// scan ran out. At error level -1 execution goes on after the statement.
void ScanFailed(Interp& in, int number, int32_t statementLine, std::string_view extra = {}) {
  in.cur = in.lastLine;
  RuntimeError(in, number, extra);
  in.cur = statementLine;
}

void IfFalse(Interp& in, int notFound) {
  const int32_t start = in.cur;
  const IfScan& scan = in.scan.IfFalse(start);
  for (int line : scan.elseIfs) {
    in.cur = line;
    in.param.SetStable(in.scan.ElseIfCondition(line, in.opMode), &in.Code(line, in.opMode).conditionDec);
    if (Condition(in, ' ')) return;
  }
  if (scan.end >= 0) {
    in.cur = scan.end;
    return;
  }
  ScanFailed(in, notFound, start);
}

void DoIf(Interp& in, bool negate, int notFound) {
  bool c = Condition(in, ' ');
  if (c != negate) return;
  IfFalse(in, notFound);
}

void DoElse(Interp& in) {
  int end = in.scan.EndifFrom(in.cur);
  if (end >= 0)
    in.cur = end;
  else
    ScanFailed(in, 107, in.cur);
}

void DoWhile(Interp& in, bool negate) {
  const bool run = Condition(in, ' ') != negate;
  const int32_t start = in.cur;
  // An eleventh loop cannot be kept; at error level -1 it is skipped.
  const bool pushed = in.loopDepth < kMaxLoops;
  if (pushed) {
    ++in.loopDepth;
    in.loops[static_cast<size_t>(in.loopDepth)] = start;
    if (run) return;
  } else {
    RuntimeError(in, 108);
  }
  int end = in.scan.WendFrom(start);
  if (pushed) --in.loopDepth;
  if (end >= 0)
    in.cur = end;
  else
    ScanFailed(in, 109, start);
}

void DoWend(Interp& in) {
  if (in.loopDepth == 0) {
    RuntimeError(in, 110);
    return;
  }
  in.cur = in.loops[static_cast<size_t>(in.loopDepth)] - 1;
  --in.loopDepth;
}

// GOTO and GOSUB targets: a text, with ":" appended, upper-cased.
bool ReadLabel(Interp& in, std::string& label) {
  ReadArg(in, ' ', kText);
  if (in.res.type != kString) return false;
  label = UpperCase(in.res.text + ":");
  return true;
}

bool JumpToLabel(Interp& in, const std::string& label) {
  int line = in.scan.LabelLine(label);
  if (line < 0) {
    ScanFailed(in, 113, in.cur, label);
    return false;
  }
  in.cur = line;
  return true;
}

bool PushFrame(Interp& in, int limit) {
  if (in.callDepth >= limit) {
    RuntimeError(in, 114);
    return false;
  }
  ++in.callDepth;
  CallFrame& f = in.frames[static_cast<size_t>(in.callDepth)];
  f.line = in.cur;
  f.ints = in.vars.ints.count();
  f.longs = in.vars.longs.count();
  f.strings = in.vars.strings.count();
  f.floats = in.vars.floats.count();
  f.pcount = in.pcount;
  return true;
}

void PopFrame(Interp& in) {
  const CallFrame& f = in.frames[static_cast<size_t>(in.callDepth)];
  in.cur = f.line;
  in.vars.ints.CutBack(f.ints);
  in.vars.longs.CutBack(f.longs);
  in.vars.strings.CutBack(f.strings);
  in.vars.floats.CutBack(f.floats);
  in.pcount = f.pcount;
  --in.callDepth;
}

void DoGosub(Interp& in) {
  std::string label;
  if (!ReadLabel(in, label)) return;
  if (!PushFrame(in, kMaxGosub)) return;
  if (!JumpToLabel(in, label)) --in.callDepth;  // level -1: no call took place
}

void DoReturn(Interp& in, int missing) {
  if (missing == 111 && !in.param.empty()) {
    ReadArg(in, ' ', kAny);
    StoreSlot(in, 0);
  }
  if (in.callDepth == 0) {
    RuntimeError(in, missing);
    return;
  }
  PopFrame(in);
}

void DoProc(Interp& in) {
  int end = in.scan.EndprocFrom(in.cur);
  if (end >= 0)
    in.cur = end;
  else
    ScanFailed(in, 115, in.cur);
}

}  // namespace

std::string ResultText(const Interp& in) {
  if (in.res.type == kString || in.res.type == kNone) return in.res.text;
  return FormatResultNumber(in, in.res.type, in.res.type == kInteger ? in.res.ival : in.res.lval,
                            in.res.fval);
}

void AppendResultText(const Interp& in, std::string& out, bool replace) {
  const ArgResult& r = in.res;
  if (replace) out.clear();  // keeps the buffer
  if (r.type == kString || r.type == kNone)
    out += r.text.str();
  else
    out += FormatResultNumber(in, r.type, r.type == kInteger ? r.ival : r.lval, r.fval);
}

void SetResultText(const Interp& in, LazyText& out) {
  const ArgResult& r = in.res;
  if (r.type == kString || r.type == kNone)
    out = r.text.str();
  else if (r.type == kFloat)
    out.SetFloat(r.fval, in.numWidth, in.decimals);
  else
    out.SetWhole(r.type == kInteger ? r.ival : r.lval, in.numWidth);
}

namespace {

const std::unordered_map<std::string, Keyword>& KeywordTable() {
  static const std::unordered_map<std::string, Keyword> kWords = {
      {"IF", Keyword::If},           {"ELSE", Keyword::Else},         {"ELSEIF", Keyword::Else},
      {"IFNOT", Keyword::IfNot},     {"WHILE", Keyword::While},       {"WHILENOT", Keyword::WhileNot},
      {"WEND", Keyword::Wend},       {"ENDWHILE", Keyword::Wend},     {"RETURN", Keyword::Return},
      {"ENDPROC", Keyword::EndProc}, {"GOTO", Keyword::Goto},         {"GOSUB", Keyword::Gosub},
      {"PROC", Keyword::Proc},       {"TRACEON", Keyword::TraceOn},   {"TRACEOFF", Keyword::TraceOff}};
  return kWords;
}

}  // namespace

Keyword KeywordOf(const std::string& cmd) {
  auto it = KeywordTable().find(cmd);
  return it == KeywordTable().end() ? Keyword::None : it->second;
}

std::vector<std::string> KeywordNames() {
  std::vector<std::string> names;
  for (const auto& [name, k] : KeywordTable()) names.push_back(name);
  return names;
}

void ExecuteKeyword(Interp& in, Keyword k) {
  in.handled = true;
  switch (k) {
    case Keyword::If: DoIf(in, false, 106); break;
    case Keyword::IfNot: DoIf(in, true, 107); break;
    case Keyword::Else: DoElse(in); break;
    case Keyword::While: DoWhile(in, false); break;
    case Keyword::WhileNot: DoWhile(in, true); break;
    case Keyword::Wend: DoWend(in); break;
    case Keyword::Return: DoReturn(in, 111); break;
    case Keyword::EndProc: DoReturn(in, 112); break;
    case Keyword::Goto: {
      std::string label;
      if (ReadLabel(in, label)) JumpToLabel(in, label);
      break;
    }
    case Keyword::Gosub: DoGosub(in); break;
    case Keyword::Proc: DoProc(in); break;
    case Keyword::TraceOn: in.trace = true; break;
    case Keyword::TraceOff: in.trace = false; break;
    case Keyword::None: in.handled = false; break;
  }
}

bool ExecuteCase(Interp& in, bool negate) {
  bool c = Condition(in, ':') != negate;
  if (!in.param.empty() && in.param[0] == ':') in.param.erase(0, 1);
  TrimInPlace(in.param);
  if (!c) {
    in.handled = true;
    return false;
  }
  return true;
}

void CallProcedure(Interp& in) {
  in.handled = true;
  const int32_t caller = in.cur;
  if (!PushFrame(in, kMaxCalls)) return;
  int line = in.scan.ProcLine(in.cmd);
  if (line < 0 || line >= caller) {
    RuntimeError(in, 102, in.cmd);
    --in.callDepth;  // level -1: no call took place
    return;
  }
  int k = 0;
  if (!in.param.empty()) {
    while (k < 12) {
      in.GuardSlots([&] { ReadArg(in, 'p', kAny); });
      StoreSlot(in, ++k);
      if (in.res.eoa) break;
    }
  }
  in.pcount = k;
  in.cur = line;
}

}  // namespace tilmor
