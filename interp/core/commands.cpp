#include "commands.h"

#include <cstdio>
#include <cstdlib>
#include <unordered_map>

#include "errors.h"

namespace tilmor {
namespace {

struct Name {
  const char* name;
  int sub;  // tells shared handlers which name called them
};

// The names in comparison order.
const Name kNames[] = {
    {"REPAINT", 0},
    {"SHELL", 0},
    {"RUN", 0},
    {"SAVEBMP", 0},
    {"WRITEINI", 0},
    {"APPENDMENUBAR", 0},
    {"CREATEMENU", 0},
    {"APPENDMENU", 0},
    {"SEPARATOR", 0},
    {"TRACKMENU", 0},
    {"POPUP", 0},
    {"SUBPOPUP", 0},
    {"ENDSUB", 0},
    {"PLAYSOUND", 0},
    {"LOADSIZEDBMP", 0},
    {"MLOADBMP", 0},
    {"LOADBMP", 0},
    {"MCOPYBMP", 0},
    {"COPYBMP", 0},
    {"COPYSIZEDBMP", 0},
    {"PRINT", 0},
    {"DECIMALS", 0},
    {"STRWIDTH", 0},
    {"NUMWIDTH", 0},
    {"DRAWTEXT", 0},
    {"CHARSET", 0},
    {"USEBRUSH", 0},
    {"USEPEN", 0},
    {"USEICON", 0},
    {"WINDOWSTYLE", 0},
    {"SHOWCURSOR", 0},
    {"USECURSOR", 0},
    {"SETPIXEL", 0},
    {"FILL", 0},
    {"LINE", 0},
    {"LINETO", 0},
    {"MOVETO", 0},
    {"RECTANGLE", 0},
    {"ROUNDRECT", 0},
    {"PIE", 0},
    {"ARC", 0},
    {"CHORD", 0},
    {"ELLIPSE", 0},
    {"WINDOWTITLE", 0},
    {"RANDOMIZE", 0},
    {"BEEP", 0},
    {"LOCATE", 0},
    {"END", 0},
    {"WAITSCAN", 0},
    {"WAITKEY", 0},
    {"WAITMOUSE", 0},
    {"WAITINPUT", 0},
    {"LIST%", 0},
    {"LIST&", 1},
    {"LIST!", 2},
    {"LIST$", 3},
    {"DIM", 0},
    {"DIM%", 0},
    {"DIM&", 1},
    {"DIM!", 2},
    {"DIM$", 3},
    {"DECLARE", 0},
    {"INPUT", 0},
    {"LET", 0},
    {"PARAMETERS", 0},
    {"INC", 0},
    {"DEC", 0},
    {"ADD", 0},
    {"SUB", 0},
    {"COPY", 0},
    {"CLEARCLIP", 0},
    {"PUTCLIP", 0},
    {"SETTEXT", 0},
    {"SETCHECK", 0},
    {"TBOX", 0},
    {"MESSAGEBOX", 0},
    {"WINDOW", 0},
    {"DRAWICON", 0},
    {"DRAWSYSICON", 0},
    {"DRAWEXTICON", 0},
    {"DRAWLIBICON", 0},
    {"DRAWPROGICON", 0},
    {"TEXTCOLOR", 0},
    {"USEFONT", 0},
    {"CLS", 0},
    {"SHOWMAX", 0},
    {"SHOWMIN", 0},
    {"SHOWNORMAL", 0},
    {"COLOR", 0},
    {"FONT", 0},
    {"CLEARLIST", 0},
    {"ADDSTRING", 0},
    {"ADDFILES", 0},
    {"ADDWINDOWS", 0},
    {"LISTBOXITEM$", 0},
    {"SOUND", 0},
    {"PLAY", 0},
    {"DBCREATE", 0},
    {"DBCREATEINDEX", 0},
    {"OUTP", 0},
    {"OUTPB", 0},
    {"SQLEXEC", 0},
    {"SQLSETNULL", 0},
    {"SQLSETDEL", 0},
    {"SQLDONE", 0},
    {"CHDIR", 0},
    {"MKDIR", 0},
    {"RMDIR", 0},
    {"ASSIGN", 0},
    {"RENAME", 0},
    {"APPEND", 0},
    {"CLOSE", 0},
    {"ERASE", 0},
    {"RESET", 0},
    {"REWRITE", 0},
    {"OPENRW", 0},
    {"CLOSERW", 0},
    {"SEEK", 0},
    {"PUTBYTE", 0},
    {"FILEMODE", 0},
    {"SETFATTR", 0},
    {"EXITWINDOWS", 0},
    {"DDELINK", 0},
    {"DDEEXECUTE", 0},
    {"DDETERMINATE", 0},
    {"BLOCKWRITE", 0},
    {"STARTPRINT", 0},
    {"ENDPRINT", 0},
    {"SETERRORLEVEL", 0},
    {"ORIENTATION", 0},
    {"SCREENCOPY", 0},
    {"MUSIC", 0},
    {"PASSWORD", 0},
    {"SETDIALOGFONT", 0},
    {"ADDFONTS", 0},
    {"DISPOSE", 0},
    {"BYTE", 1},
    {"WORD", 2},
    {"LONG", 3},
    {"STRING", 4},
    {"CHAR", 5},
    {"READTEXT", 0},
    {"WINHELP", 0},
    {"WINCOPY", 0},
    {"SETWINDOWPOS", 0},
    {"CHECKMENU", 0},
    {"ENABLEMENU", 0},
    {"REMOVEMENU", 0},
    {"INSERTMENU", 0},
    {"ENABLEWINDOW", 0},
    {"SETMENUITEM", 0},
    {"SETTRUECOLOR", 0},
    {"SETSCROLLPOS", 0},
    {"SETSCROLLRANGE", 0},
    {"SETLFN", 0},
    {"NEXTPAGE", 0},
    {"STARTPAINT", 0},
    {"ENDPAINT", 0},
    {"SETAUTOPAINT", 0},
    {"SETTIMER", 0},
    {"KILLTIMER", 0},
    {"DRAWEXTBMP", 0},
    {"DRAWSIZEDEXTBMP", 0},
    {"MCOPYSIZEDBMP", 0},
    {"USEEXTCURSOR", 0},
    {"USEEXTMENU", 0},
};

constexpr int kCommandCount = sizeof kNames / sizeof kNames[0];
static_assert(kCommandCount == 166);

CommandEntry g_entries[kCommandCount];

std::unordered_map<std::string, CommandEntry*>& Index() {
  static std::unordered_map<std::string, CommandEntry*> index = [] {
    std::unordered_map<std::string, CommandEntry*> m;
    for (int i = 0; i < kCommandCount; ++i) {
      g_entries[i] = CommandEntry{kNames[i].name, nullptr, kNames[i].sub};
      m.emplace(kNames[i].name, &g_entries[i]);
    }
    return m;
  }();
  return index;
}

}  // namespace

void RegisterCommand(const char* name, CommandHandler handler) {
  auto it = Index().find(name);
  if (it == Index().end()) {
    std::fprintf(stderr, "internal error: command %s is not in the command table\n", name);
    std::abort();
  }
  it->second->handler = handler;
}

const CommandEntry* FindCommand(const std::string& word) {
  auto it = Index().find(word);
  return it == Index().end() ? nullptr : it->second;
}

const CommandEntry* CommandTable(int* count) {
  Index();
  if (count) *count = kCommandCount;
  return g_entries;
}

bool DispatchCommand(Interp& in) {
  const CommandEntry* e = FindCommand(in.cmd);
  if (!e) return false;
  in.handled = true;
  if (e->handler)
    e->handler(in, e->sub);
  else
    RuntimeError(in, 102, in.cmd);  // the command's own part is not built yet
  return true;
}

void RegisterCoreCommands() {
  RegisterCommand("PRINT", CmdPrint);
  RegisterCommand("DECIMALS", CmdDecimals);
  RegisterCommand("STRWIDTH", CmdStrWidth);
  RegisterCommand("NUMWIDTH", CmdNumWidth);
  RegisterCommand("RANDOMIZE", CmdRandomize);
  RegisterCommand("END", CmdEnd);
  RegisterCommand("LIST%", CmdListStore);
  RegisterCommand("LIST&", CmdListStore);
  RegisterCommand("LIST!", CmdListStore);
  RegisterCommand("LIST$", CmdListStore);
  RegisterCommand("DIM", CmdDim);
  RegisterCommand("DIM%", CmdDimArray);
  RegisterCommand("DIM&", CmdDimArray);
  RegisterCommand("DIM!", CmdDimArray);
  RegisterCommand("DIM$", CmdDimArray);
  RegisterCommand("DECLARE", CmdDeclare);
  RegisterCommand("LET", CmdLet);
  RegisterCommand("PARAMETERS", CmdParameters);
  RegisterCommand("INC", CmdInc);
  RegisterCommand("DEC", CmdDec);
  RegisterCommand("ADD", CmdAdd);
  RegisterCommand("SUB", CmdSub);
  RegisterCommand("COPY", CmdCopy);
  RegisterCommand("SETERRORLEVEL", CmdSetErrorLevel);
  RegisterCommand("PASSWORD", CmdPassword);
  RegisterCommand("DISPOSE", CmdDispose);
  RegisterCommand("BYTE", CmdAreaWrite);
  RegisterCommand("WORD", CmdAreaWrite);
  RegisterCommand("LONG", CmdAreaWrite);
  RegisterCommand("STRING", CmdAreaWrite);
  RegisterCommand("CHAR", CmdAreaWrite);
}

}  // namespace tilmor
