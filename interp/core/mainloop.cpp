#include "mainloop.h"

#include <iterator>

#include "argreader.h"
#include "chars.h"
#include "commands.h"
#include "control.h"
#include "dialogs.h"
#include "errors.h"

namespace tilmor {

// The statement of a CASE line, split once for where its condition ended.
struct CaseStatement {
  uint32_t at = 0;
  PreparedLine st;
  LineDispatch d;
  std::string stripped;
  DecodedText dec, strippedDec;
};

namespace {

LoopHooks g_hooks;

void Trace(Interp& in) {
  int answer = MessageBoxA(in.mainWindow, in.DisplayText().c_str(), "TRACE:",
                           MB_OKCANCEL | MB_ICONINFORMATION);
  if (answer == IDCANCEL) RuntimeError(in, 999);
  if (g_hooks.afterTrace) g_hooks.afterTrace(in);
}

const char* const kNoOpWords[] = {"REM", "ENDIF", "DEF"};

bool IsNoOp(const std::string& cmd) {
  if (cmd.empty() || cmd[0] == '\'') return true;
  for (const char* w : kNoOpWords)
    if (cmd == w) return true;
  return false;
}

// How a command word is executed, found once per stored line.
LineDispatch Classify(const PreparedLine& p) {
  LineDispatch d;
  const std::string& c = p.cmd;
  d.comment = FindTop('\'', p.param) > 0;
  if (IsOperatorModeSwitch(c)) {
    d.kind = LineDispatch::kOpSwitch;
  } else if (p.param.empty() && !c.empty() && c.back() == ':') {
    d.kind = LineDispatch::kLabel;
  } else if (c == "CASE" || c == "CASENOT") {
    d.kind = c.size() == 7 ? LineDispatch::kCaseNot : LineDispatch::kCase;
  } else if (IsNoOp(c)) {
    d.kind = LineDispatch::kNoOp;
  } else if (c == "@") {
    d.kind = LineDispatch::kCall;
  } else if (Keyword k = KeywordOf(c); k != Keyword::None) {
    d.kind = LineDispatch::kKeyword;
    d.keyword = static_cast<int>(k);
  } else if (const CommandEntry* e = FindCommand(c)) {
    d.kind = LineDispatch::kCommand;
    d.command = e;
  } else {
    d.kind = LineDispatch::kProcedure;
  }
  return d;
}

// The statement itself: a call, a keyword, a command or a procedure.
void Statement(Interp& in, const LineDispatch& d) {
  switch (d.kind) {
    case LineDispatch::kCall:
      ReadArg(in, ' ', kAny);
      in.handled = true;
      return;
    case LineDispatch::kKeyword:
      ExecuteKeyword(in, static_cast<Keyword>(d.keyword));
      return;
    case LineDispatch::kCommand: {
      const auto* e = static_cast<const CommandEntry*>(d.command);
      in.handled = true;
      if (e->handler)
        e->handler(in, e->sub);
      else
        RuntimeError(in, 102, in.cmd);
      return;
    }
    default:
      CallProcedure(in);
  }
}

// Steps 8 onwards, for the statement of the line (or behind its CASE).
// `stripped` and `strippedDec` are the statement's parameter text without
// its comment, when that text is kept for the run.
void Execute(Interp& in, const LineDispatch& d, const std::string* stripped, DecodedText* strippedDec) {
  if (d.kind == LineDispatch::kNoOp || d.kind == LineDispatch::kLabel ||
      d.kind == LineDispatch::kOpSwitch) {
    return;  // labels and switches reached through CASE do nothing either
  }
  if (d.comment) {
    if (stripped) {
      in.param.SetStable(*stripped, strippedDec);
    } else {
      int p = FindTop('\'', in.param);
      in.param = Trim(in.param.view().substr(0, static_cast<size_t>(p - 1)));
    }
  }
  Statement(in, d);
}

// The statement behind a CASE condition is classified as it comes.
LineDispatch ClassifyStatement(const PreparedLine& st) {
  LineDispatch sd = Classify(st);
  if (sd.kind == LineDispatch::kLabel || sd.kind == LineDispatch::kOpSwitch)
    sd.kind = LineDispatch::kProcedure;  // seen only in the steps before CASE
  if (sd.kind == LineDispatch::kCase || sd.kind == LineDispatch::kCaseNot)
    sd.kind = FindCommand(st.cmd) ? LineDispatch::kCommand : LineDispatch::kProcedure;
  return sd;
}

void ExecuteCaseStatement(Interp& in, Interp::LineCode& code) {
  if (in.param.decoded() != &code.dec) {
    PreparedLine st = SplitLine(in.param.view());
    in.cmd = st.cmd;
    in.param = st.param;
    Execute(in, ClassifyStatement(st), nullptr, nullptr);
    return;
  }
  auto& cs = code.caseStatement;
  uint32_t at = in.param.offset();
  if (!cs || cs->at != at) {
    cs = std::make_shared<CaseStatement>();
    cs->at = at;
    cs->st = SplitLine(in.param.view());
    cs->d = ClassifyStatement(cs->st);
    int p = FindTop('\'', cs->st.param);
    if (p > 0) cs->stripped = Trim(std::string_view(cs->st.param).substr(0, static_cast<size_t>(p - 1)));
  }
  std::shared_ptr<CaseStatement> keep = cs;
  in.cmd.SetStable(keep->st.cmd);
  in.param.SetStable(keep->st.param, &keep->dec);
  Execute(in, keep->d, &keep->stripped, &keep->strippedDec);
}

}  // namespace

std::vector<std::string> LineWords() {
  std::vector<std::string> words(std::begin(kNoOpWords), std::end(kNoOpWords));
  words.push_back("CASE");
  words.push_back("CASENOT");
  return words;
}

volatile int g_loopAttention = 0;

void SetLoopHooks(LoopHooks hooks) { g_hooks = hooks; }

void ExecuteLine(Interp& in) {
  Interp::LineCode& code = in.Code(in.cur, in.opMode);
  if (code.dispatch.kind == LineDispatch::kNone) [[unlikely]]
    code.dispatch = Classify(code.prep);
  const LineDispatch& d = code.dispatch;
  in.cmd.SetStable(code.prep.cmd);
  in.param.SetStable(code.prep.param, &code.dec);
  in.handled = false;

  // Most lines are a statement without a comment, and no trace box or
  // information box is due: straight to it.
  if (d.kind >= LineDispatch::kCall && !d.comment && !in.trace && in.events.menuItem != 255) [[likely]] {
    Statement(in, d);
    return;
  }

  if (d.kind == LineDispatch::kOpSwitch) {
    in.opMode = in.cmd[2] == '+';
    in.handled = true;
  }
  if (in.trace && !in.cmd.empty()) Trace(in);
  if (d.kind == LineDispatch::kLabel) in.handled = true;
  if (in.events.menuItem == 255 && g_hooks.informationBox) g_hooks.informationBox(in);
  if (in.handled) return;

  if (d.kind == LineDispatch::kCase || d.kind == LineDispatch::kCaseNot) {
    if (!ExecuteCase(in, d.kind == LineDispatch::kCaseNot)) return;
    ExecuteCaseStatement(in, code);
    return;
  }
  Execute(in, d, &code.stripped, &code.strippedDec);
}

void RunMainLoop(Interp& in) {
  // Ctrl+C, the window system's events and due timers are looked at every
  // few hundred lines; posted messages after the line that posted them.
  constexpr int kPumpEvery = 256;
  int countdown = 1;
  while (in.cur < in.lastLine && !in.stop) {
    ++in.cur;
    ++in.linesExecuted;
    ExecuteLine(in);
    if ((--countdown <= 0 || g_loopAttention) && g_hooks.pump) {
      countdown = kPumpEvery;
      g_hooks.pump(in);
    }
  }
}

}  // namespace tilmor
