#include "commands.h"

#include <unordered_map>

#include "errors.h"

namespace tilmor {
namespace {

const CommandEntry kCommands[] = {
    {"REPAINT", nullptr, 0},
    {"SHELL", nullptr, 0},
    {"RUN", nullptr, 0},
    {"SAVEBMP", nullptr, 0},
    {"WRITEINI", nullptr, 0},
    {"APPENDMENUBAR", nullptr, 0},
    {"CREATEMENU", nullptr, 0},
    {"APPENDMENU", nullptr, 0},
    {"SEPARATOR", nullptr, 0},
    {"TRACKMENU", nullptr, 0},
    {"POPUP", nullptr, 0},
    {"SUBPOPUP", nullptr, 0},
    {"ENDSUB", nullptr, 0},
    {"PLAYSOUND", nullptr, 0},
    {"LOADSIZEDBMP", nullptr, 0},
    {"MLOADBMP", nullptr, 0},
    {"LOADBMP", nullptr, 0},
    {"MCOPYBMP", nullptr, 0},
    {"COPYBMP", nullptr, 0},
    {"COPYSIZEDBMP", nullptr, 0},
    {"PRINT", CmdPrint, 0},
    {"DECIMALS", CmdDecimals, 0},
    {"STRWIDTH", CmdStrWidth, 0},
    {"NUMWIDTH", CmdNumWidth, 0},
    {"DRAWTEXT", nullptr, 0},
    {"CHARSET", nullptr, 0},
    {"USEBRUSH", nullptr, 0},
    {"USEPEN", nullptr, 0},
    {"USEICON", nullptr, 0},
    {"WINDOWSTYLE", nullptr, 0},
    {"SHOWCURSOR", nullptr, 0},
    {"USECURSOR", nullptr, 0},
    {"SETPIXEL", nullptr, 0},
    {"FILL", nullptr, 0},
    {"LINE", nullptr, 0},
    {"LINETO", nullptr, 0},
    {"MOVETO", nullptr, 0},
    {"RECTANGLE", nullptr, 0},
    {"ROUNDRECT", nullptr, 0},
    {"PIE", nullptr, 0},
    {"ARC", nullptr, 0},
    {"CHORD", nullptr, 0},
    {"ELLIPSE", nullptr, 0},
    {"WINDOWTITLE", nullptr, 0},
    {"RANDOMIZE", CmdRandomize, 0},
    {"BEEP", nullptr, 0},
    {"LOCATE", nullptr, 0},
    {"END", CmdEnd, 0},
    {"WAITSCAN", nullptr, 0},
    {"WAITKEY", nullptr, 0},
    {"WAITMOUSE", nullptr, 0},
    {"WAITINPUT", nullptr, 0},
    {"LIST%", CmdListStore, 0},
    {"LIST&", CmdListStore, 1},
    {"LIST!", CmdListStore, 2},
    {"LIST$", CmdListStore, 3},
    {"DIM", CmdDim, 0},
    {"DIM%", CmdDimArray, 0},
    {"DIM&", CmdDimArray, 1},
    {"DIM!", CmdDimArray, 2},
    {"DIM$", CmdDimArray, 3},
    {"DECLARE", CmdDeclare, 0},
    {"INPUT", nullptr, 0},
    {"LET", CmdLet, 0},
    {"PARAMETERS", CmdParameters, 0},
    {"INC", CmdInc, 0},
    {"DEC", CmdDec, 0},
    {"ADD", CmdAdd, 0},
    {"SUB", CmdSub, 0},
    {"COPY", CmdCopy, 0},
    {"CLEARCLIP", nullptr, 0},
    {"PUTCLIP", nullptr, 0},
    {"SETTEXT", nullptr, 0},
    {"SETCHECK", nullptr, 0},
    {"TBOX", nullptr, 0},
    {"MESSAGEBOX", nullptr, 0},
    {"WINDOW", nullptr, 0},
    {"DRAWICON", nullptr, 0},
    {"DRAWSYSICON", nullptr, 0},
    {"DRAWEXTICON", nullptr, 0},
    {"DRAWLIBICON", nullptr, 0},
    {"DRAWPROGICON", nullptr, 0},
    {"TEXTCOLOR", nullptr, 0},
    {"USEFONT", nullptr, 0},
    {"CLS", nullptr, 0},
    {"SHOWMAX", nullptr, 0},
    {"SHOWMIN", nullptr, 0},
    {"SHOWNORMAL", nullptr, 0},
    {"COLOR", nullptr, 0},
    {"FONT", nullptr, 0},
    {"CLEARLIST", nullptr, 0},
    {"ADDSTRING", nullptr, 0},
    {"ADDFILES", nullptr, 0},
    {"ADDWINDOWS", nullptr, 0},
    {"LISTBOXITEM$", nullptr, 0},
    {"SOUND", nullptr, 0},
    {"PLAY", nullptr, 0},
    {"DBCREATE", nullptr, 0},
    {"DBCREATEINDEX", nullptr, 0},
    {"OUTP", nullptr, 0},
    {"OUTPB", nullptr, 0},
    {"SQLEXEC", nullptr, 0},
    {"SQLSETNULL", nullptr, 0},
    {"SQLSETDEL", nullptr, 0},
    {"SQLDONE", nullptr, 0},
    {"CHDIR", nullptr, 0},
    {"MKDIR", nullptr, 0},
    {"RMDIR", nullptr, 0},
    {"ASSIGN", nullptr, 0},
    {"RENAME", nullptr, 0},
    {"APPEND", nullptr, 0},
    {"CLOSE", nullptr, 0},
    {"ERASE", nullptr, 0},
    {"RESET", nullptr, 0},
    {"REWRITE", nullptr, 0},
    {"OPENRW", nullptr, 0},
    {"CLOSERW", nullptr, 0},
    {"SEEK", nullptr, 0},
    {"PUTBYTE", nullptr, 0},
    {"FILEMODE", nullptr, 0},
    {"SETFATTR", nullptr, 0},
    {"EXITWINDOWS", nullptr, 0},
    {"DDELINK", nullptr, 0},
    {"DDEEXECUTE", nullptr, 0},
    {"DDETERMINATE", nullptr, 0},
    {"BLOCKWRITE", nullptr, 0},
    {"STARTPRINT", nullptr, 0},
    {"ENDPRINT", nullptr, 0},
    {"SETERRORLEVEL", CmdSetErrorLevel, 0},
    {"ORIENTATION", nullptr, 0},
    {"SCREENCOPY", nullptr, 0},
    {"MUSIC", nullptr, 0},
    {"PASSWORD", CmdPassword, 0},
    {"SETDIALOGFONT", nullptr, 0},
    {"ADDFONTS", nullptr, 0},
    {"DISPOSE", CmdDispose, 0},
    {"BYTE", CmdAreaWrite, 1},
    {"WORD", CmdAreaWrite, 2},
    {"LONG", CmdAreaWrite, 3},
    {"STRING", CmdAreaWrite, 4},
    {"CHAR", CmdAreaWrite, 5},
    {"READTEXT", nullptr, 0},
    {"WINHELP", nullptr, 0},
    {"WINCOPY", nullptr, 0},
    {"SETWINDOWPOS", nullptr, 0},
    {"CHECKMENU", nullptr, 0},
    {"ENABLEMENU", nullptr, 0},
    {"REMOVEMENU", nullptr, 0},
    {"INSERTMENU", nullptr, 0},
    {"ENABLEWINDOW", nullptr, 0},
    {"SETMENUITEM", nullptr, 0},
    {"SETTRUECOLOR", nullptr, 0},
    {"SETSCROLLPOS", nullptr, 0},
    {"SETSCROLLRANGE", nullptr, 0},
    {"SETLFN", nullptr, 0},
    {"NEXTPAGE", nullptr, 0},
    {"STARTPAINT", nullptr, 0},
    {"ENDPAINT", nullptr, 0},
    {"SETAUTOPAINT", nullptr, 0},
    {"SETTIMER", nullptr, 0},
    {"KILLTIMER", nullptr, 0},
    {"DRAWEXTBMP", nullptr, 0},
    {"DRAWSIZEDEXTBMP", nullptr, 0},
    {"MCOPYSIZEDBMP", nullptr, 0},
    {"USEEXTCURSOR", nullptr, 0},
    {"USEEXTMENU", nullptr, 0},};

constexpr int kCommandCount = sizeof kCommands / sizeof kCommands[0];
static_assert(kCommandCount == 166);

const std::unordered_map<std::string, const CommandEntry*>& Index() {
  static const auto index = [] {
    std::unordered_map<std::string, const CommandEntry*> m;
    for (const CommandEntry& e : kCommands) m.emplace(e.name, &e);
    return m;
  }();
  return index;
}

}  // namespace

const CommandEntry* FindCommand(const std::string& word) {
  auto it = Index().find(word);
  return it == Index().end() ? nullptr : it->second;
}

const CommandEntry* CommandTable(int* count) {
  if (count) *count = kCommandCount;
  return kCommands;
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

}  // namespace tilmor
