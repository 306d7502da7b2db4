// The command table: 166 names in comparison order, each with its handler.
// Names are distinct, so a hashed lookup finds the same handler as the
// ordered comparison.
#pragma once

#include <string>

#include "interp.h"

namespace tilmor {

using CommandHandler = void (*)(Interp&, int sub);

struct CommandEntry {
  const char* name;
  CommandHandler handler;  // nullptr: not available in this build
  int sub;                 // tells shared handlers which name called them
};

// Gives a name of the table its handler; each family registers its own at
// start-up. A name without handler is reported as an unknown command.
void RegisterCommand(const char* name, CommandHandler handler);
void RegisterCoreCommands();

const CommandEntry* FindCommand(const std::string& word);
// The whole table in comparison order.
const CommandEntry* CommandTable(int* count);

// Runs the command of the current line; false when no name matches.
bool DispatchCommand(Interp& in);

// Handlers of this build, by the name that calls them.
void CmdPrint(Interp& in, int sub);
void CmdDecimals(Interp& in, int sub);
void CmdStrWidth(Interp& in, int sub);
void CmdNumWidth(Interp& in, int sub);
void CmdEnd(Interp& in, int sub);
void CmdSetErrorLevel(Interp& in, int sub);
void CmdDeclare(Interp& in, int sub);
void CmdParameters(Interp& in, int sub);
void CmdLet(Interp& in, int sub);
void CmdInc(Interp& in, int sub);
void CmdDec(Interp& in, int sub);
void CmdAdd(Interp& in, int sub);
void CmdSub(Interp& in, int sub);
void CmdDimArray(Interp& in, int sub);   // 0 %, 1 &, 2 !, 3 $
void CmdListStore(Interp& in, int sub);  // 0 %, 1 &, 2 !, 3 $
void CmdDim(Interp& in, int sub);
void CmdDispose(Interp& in, int sub);
void CmdAreaWrite(Interp& in, int sub);  // 1 BYTE .. 5 CHAR

void CmdRandomize(Interp& in, int sub);
void CmdCopy(Interp& in, int sub);
void CmdPassword(Interp& in, int sub);

void RegisterArrayFunctions();
void RegisterArithmeticFunctions();
void RegisterStringFunctions();
void RegisterMathFunctions();
void RegisterSystemFunctions();
void RegisterPasswordFunction();
void RegisterDateTimeFunctions();
void RegisterCharsetFunctions();
void RegisterAreaFunctions();
void FreeAllAreas(Variables& v);

}  // namespace tilmor
