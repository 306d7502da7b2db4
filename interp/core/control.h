// The core keywords the main loop tests before the command table:
// conditions, loops, jumps, subroutines and procedures.
#pragma once

#include <string>
#include <vector>

#include "interp.h"

namespace tilmor {

enum class Keyword {
  None, If, Else, IfNot, While, WhileNot, Wend, Return, EndProc, Goto, Gosub, Proc, TraceOn, TraceOff
};

Keyword KeywordOf(const std::string& cmd);
// Every word KeywordOf knows, in no particular order.
std::vector<std::string> KeywordNames();
void ExecuteKeyword(Interp& in, Keyword k);

// CASE and CASENOT: false when the statement behind the condition is skipped;
// otherwise the command word and parameter text become that statement's.
bool ExecuteCase(Interp& in, bool negate);

// A line that nothing else handled: the call of a procedure above it.
void CallProcedure(Interp& in);

// The text of the reader results as a command stores it: numbers are
// formatted (a function result carries no text of its own).
std::string ResultText(const Interp& in);
// The same appended to `out` (or replacing it), without a temporary text.
void AppendResultText(const Interp& in, std::string& out, bool replace = false);
// The same, kept unformatted until something reads it.
void SetResultText(const Interp& in, LazyText& out);

}  // namespace tilmor
