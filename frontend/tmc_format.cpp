#include "tmc_format.h"

#include <random>

#include "chars.h"
#include "messages.h"

namespace tilmor::tmc {
namespace {

struct Code {
  int code;
  const char* name;
};

// Command bytes. 120 and 138 stand for two names each; 39, 64, 129 to 132,
// 254 and 255 are the special bytes, 186 and 245 stand for nothing.
const Code kCommands[] = {
    {73, "USEEXTMENU"}, {74, "USEEXTCURSOR"}, {75, "MCOPYSIZEDBMP"}, {76, "DRAWSIZEDEXTBMP"},
    {77, "DRAWEXTBMP"}, {78, "KILLTIMER"}, {79, "SETTIMER"}, {80, "SETAUTOPAINT"},
    {81, "ENDPAINT"}, {82, "STARTPAINT"}, {83, "NEXTPAGE"}, {84, "BLOCKWRITE"}, {85, "CHAR"},
    {86, "LONG"}, {87, "DDETERMINATE"}, {88, "DDEEXECUTE"}, {89, "DDELINK"}, {90, "SETLFN"},
    {91, "SETSCROLLPOS"}, {92, "SETSCROLLRANGE"}, {93, "SETTRUECOLOR"}, {94, "SETMENUITEM"},
    {95, "ENABLEWINDOW"}, {96, "EXITWINDOWS"}, {97, "INSERTMENU"}, {98, "CHECKMENU"},
    {99, "ENABLEMENU"}, {100, "REMOVEMENU"}, {101, "SETWINDOWPOS"}, {102, "SETFATTR"},
    {103, "WINCOPY"}, {104, "OUTPB"}, {105, "WINHELP"}, {106, "READTEXT"}, {107, "STRING"},
    {108, "WORD"}, {109, "BYTE"}, {110, "DISPOSE"}, {111, "DIM"}, {112, "OPENRW"},
    {113, "CLOSERW"}, {114, "PUTBYTE"}, {115, "SEEK"}, {116, "ADDFONTS"}, {117, "FILEMODE"},
    {118, "SETDIALOGFONT"}, {119, "PASSWORD"}, {120, "DRAWPROGICON"}, {120, "DRAWLIBICON"},
    {121, "SQLSETNULL"}, {122, "SQLSETDEL"}, {123, "SQLEXEC"}, {124, "SQLDONE"}, {125, "MCOPYBMP"},
    {126, "MLOADBMP"}, {127, "DRAWEXTICON"}, {128, "SHOWCURSOR"}, {133, "IF"}, {134, "ELSE"},
    {135, "IFNOT"}, {136, "WHILE"}, {137, "WHILENOT"}, {138, "WEND"}, {138, "ENDWHILE"},
    {139, "RETURN"}, {140, "ENDPROC"}, {141, "GOTO"}, {142, "GOSUB"}, {143, "PROC"}, {144, "CLS"},
    {145, "REPAINT"}, {146, "SHELL"}, {147, "RUN"}, {148, "APPENDMENUBAR"}, {149, "CREATEMENU"},
    {150, "APPENDMENU"}, {151, "SEPARATOR"}, {152, "TRACKMENU"}, {153, "POPUP"}, {154, "SUBPOPUP"},
    {155, "ENDSUB"}, {156, "PLAYSOUND"}, {157, "LOADSIZEDBMP"}, {158, "LOADBMP"}, {159, "SAVEBMP"},
    {160, "COPYBMP"}, {161, "COPYSIZEDBMP"}, {162, "PRINT"}, {163, "DECIMALS"}, {164, "STRWIDTH"},
    {165, "NUMWIDTH"}, {166, "DRAWTEXT"}, {167, "USEFONT"}, {168, "CHARSET"}, {169, "USEBRUSH"},
    {170, "USEPEN"}, {171, "USEICON"}, {172, "USECURSOR"}, {173, "DRAWICON"}, {174, "DRAWSYSICON"},
    {175, "SETPIXEL"}, {176, "FILL"}, {177, "LINE"}, {178, "LINETO"}, {179, "MOVETO"},
    {180, "RECTANGLE"}, {181, "ROUNDRECT"}, {182, "PIE"}, {183, "ARC"}, {184, "CHORD"},
    {185, "ELLIPSE"}, {187, "WINDOW"}, {188, "RANDOMIZE"}, {189, "BEEP"}, {190, "LOCATE"},
    {191, "END"}, {192, "WAITSCAN"}, {193, "WAITKEY"}, {194, "WAITMOUSE"}, {195, "WAITINPUT"},
    {196, "LIST%"}, {197, "LIST&"}, {198, "LIST!"}, {199, "LIST$"}, {200, "DIM%"}, {201, "DIM&"},
    {202, "DIM!"}, {203, "DIM$"}, {204, "DECLARE"}, {205, "INPUT"}, {206, "LET"},
    {207, "PARAMETERS"}, {208, "INC"}, {209, "DEC"}, {210, "ADD"}, {211, "SUB"}, {212, "COPY"},
    {213, "MESSAGEBOX"}, {214, "SHOWMAX"}, {215, "SHOWMIN"}, {216, "SHOWNORMAL"},
    {217, "TEXTCOLOR"}, {218, "COLOR"}, {219, "FONT"}, {220, "CLEARLIST"}, {221, "ADDSTRING"},
    {222, "ADDFILES"}, {223, "CHDIR"}, {224, "MKDIR"}, {225, "RMDIR"}, {226, "TBOX"},
    {227, "SOUND"}, {228, "PLAY"}, {229, "ASSIGN"}, {230, "RENAME"}, {231, "APPEND"},
    {232, "CLOSE"}, {233, "ERASE"}, {234, "RESET"}, {235, "REWRITE"}, {236, "WRITEINI"},
    {237, "STARTPRINT"}, {238, "ENDPRINT"}, {239, "SETERRORLEVEL"}, {240, "ORIENTATION"},
    {241, "SCREENCOPY"}, {242, "MUSIC"}, {243, "ELSEIF"}, {244, "LISTBOXITEM$"},
    {246, "CLEARCLIP"}, {247, "PUTCLIP"}, {248, "DBCREATEINDEX"}, {249, "DBCREATE"},
    {250, "SETTEXT"}, {251, "SETCHECK"}, {252, "OUTP"}, {253, "ADDWINDOWS"},
};

// The byte after "@"; 255 marks a user function.
const Code kFunctions[] = {
    {33, "!"}, {36, "$"}, {37, "%"}, {38, "&"}, {61, "WINEXECWAIT"}, {62, "HEIGHT"}, {63, "WIDTH"},
    {64, "GETHANDLE"}, {65, "EXTSTRING$"}, {66, "CREATEEXTDIALOG"}, {67, "BLOCKREAD"},
    {68, "FORMAT$"}, {69, "XOR"}, {70, "CHAR$"}, {71, "DBGETMEMO"}, {72, "DBPUTMEMO"},
    {73, "LONGNAME$"}, {74, "SHORTNAME$"}, {75, "POSTMESSAGE"}, {76, "SENDSTRING"},
    {77, "GETRVALUE"}, {78, "GETGVALUE"}, {79, "GETBVALUE"}, {80, "CREATEHSCROLL"},
    {81, "CREATEVSCROLL"}, {82, "GETSCROLLPOS"}, {83, "COMERROR"}, {84, "SETCOMEXT"},
    {85, "SETCOM"}, {86, "GETFATTR"}, {87, "GETFDATE$"}, {88, "INPB"}, {89, "STRING$"},
    {90, "LONG"}, {91, "WORD"}, {92, "BYTE"}, {93, "GETBYTE"}, {94, "FILEPOS"},
    {95, "GETFILESIZE"}, {96, "GETDATE$"}, {97, "GETATTRIB"}, {98, "TRANSLATE$"}, {99, "ROUND"},
    {100, "MOVELISTTOCHOICE"}, {101, "MOVELISTTOLIST"}, {102, "ADDCHOICE"},
    {103, "MOVELISTTOEDIT"}, {104, "GETLINE$"}, {105, "GETLINECOUNT"}, {106, "DELETESTRING"},
    {107, "DELETECHOICE"}, {108, "GETCOUNT"}, {109, "GETCURSEL"}, {110, "GETSTRING$"},
    {111, "INSERTSTRING"}, {112, "SELECTSTRING"}, {113, "ADDSTRING"}, {114, "CREATECHOICEBOX"},
    {115, "CREATESORTEDLISTBOX"}, {116, "CREATELISTBOX"}, {117, "CREATEMULTIEDIT"}, {118, "PWD$"},
    {119, "OPENCOM"}, {120, "CLOSECOM"}, {121, "WRITECOM"}, {122, "READCOM$"}, {123, "ICONCOUNT"},
    {124, "EDITBOX"}, {125, "SQLINIT"}, {126, "SUBSTR$"}, {127, "LOWER$"}, {128, "USEDLL"},
    {129, "ADD"}, {130, "SUB"}, {131, "MUL"}, {132, "DIV"}, {133, "DIV&"}, {134, "MOD"},
    {135, "AND"}, {136, "OR"}, {137, "NEQ"}, {138, "EQU"}, {139, "GT"}, {140, "LT"}, {141, "EQU$"},
    {142, "NEQ$"}, {143, "LT$"}, {144, "GT$"}, {145, "CHR$"}, {146, "ADD$"}, {147, "MID$"},
    {148, "DEL$"}, {149, "INS$"}, {150, "LEN"}, {151, "INSTR"}, {152, "ORD"}, {153, "TRIM$"},
    {154, "STR$"}, {155, "MESSAGEBOX"}, {156, "LISTBOX$"}, {157, "LISTBOXITEM$"},
    {158, "LOADFILE$"}, {159, "SAVEFILE$"}, {160, "INPUT$"}, {161, "UPPER$"}, {162, "NOT"},
    {163, "ABS"}, {164, "COS"}, {165, "SIN"}, {166, "EXP"}, {167, "LN"}, {168, "SQR"},
    {169, "SQRT"}, {170, "ARCTAN"}, {171, "PI"}, {172, "INT"}, {173, "RND"}, {174, "RGB"},
    {175, "INKEY$"}, {176, "GETKEY$"}, {177, "KEYIN"}, {178, "MOUSE"}, {179, "TMOUSE"},
    {180, "MENUITEM"}, {181, "SCANKEY"}, {182, "MCISEND$"}, {183, "LIST%"}, {183, "LIST"},
    {184, "LIST&"}, {185, "LIST!"}, {186, "LIST$"}, {188, "PAR$"}, {189, "VAL"},
    {190, "ANSITOOEM$"}, {191, "OEMTOANSI$"}, {192, "DISKSIZE"}, {193, "DISKFREE"},
    {194, "GETDIR$"}, {195, "FINDFIRST$"}, {196, "FINDNEXT$"}, {197, "FILESIZE"}, {198, "EOF"},
    {199, "READINI$"}, {200, "IF"}, {201, "TIME$"}, {202, "DATE$"}, {203, "GETPIXEL"},
    {204, "GETCLIP$"}, {205, "LG"}, {206, "TAN"}, {207, "COT"}, {208, "POW"}, {209, "CHOOSEDIR$"},
    {210, "DBOPEN"}, {211, "DBUSE"}, {212, "DBGO"}, {213, "DBCLOSE"}, {214, "DBGET$"},
    {215, "DBGETFIELD$"}, {216, "DBINDEX"}, {219, "DBFIND"}, {220, "DBSEEK"}, {221, "DBPUT"},
    {222, "DBPUTFIELD"}, {223, "DBPUTREC"}, {224, "DBDELETE"}, {225, "DBUNDELETE"},
    {226, "DBPACK"}, {227, "DBAPPENDBLANK"}, {228, "DTOC$"}, {229, "CTOD$"}, {230, "SENDMESSAGE"},
    {231, "FINDWINDOW"}, {232, "GETACTIVEWINDOW"}, {233, "SETACTIVEWINDOW"}, {234, "SHOWWINDOW"},
    {235, "SETFOCUS"}, {236, "GETFOCUS"}, {237, "DESTROYWINDOW"}, {238, "CREATEBUTTON"},
    {239, "CREATEDEFBUTTON"}, {240, "CREATECHECKBOX"}, {241, "CREATERADIOBUTTON"},
    {242, "CREATEGROUPBOX"}, {243, "CREATETEXT"}, {244, "CREATEICON"}, {245, "CREATEEDIT"},
    {246, "CREATEDIALOG"}, {247, "CREATEWINDOW"}, {248, "GETTEXT$"}, {249, "GETCHECK"},
    {250, "INP"}, {251, "GETENV$"}, {252, "SENDKEY"}, {253, "WINEXEC"}, {254, "GETUSAGE"},
};

// The byte after the type character.
const Code kSystemVariables[] = {
    {129, "%BUTTON"}, {130, "%INPUT"}, {131, "&INPUT"}, {132, "!INPUT"}, {133, "$INPUT"},
    {134, "%GETCOUNT"}, {135, "$GETINPUT"}, {136, "$GETTEXT"}, {137, "%MOUSEX"}, {138, "%MOUSEY"},
    {139, "%MOUSEKEY"}, {140, "%MENUITEM"}, {141, "%MCIERROR"}, {142, "%KEY"}, {143, "%SCANKEY"},
    {144, "%HDC"}, {145, "%HDC2"}, {146, "%HWND"}, {147, "%IORESULT"}, {148, "%ERROR"},
    {149, "$DRIVE"}, {150, "%GETCURSEL"}, {151, "$WINPATH"}, {152, "$SYSPATH"}, {153, "$DOSVER"},
    {154, "$WINVER"}, {155, "%WINTOP"}, {156, "%WINBOTTOM"}, {157, "%WINLEFT"}, {158, "%WINRIGHT"},
    {159, "%GETFOCUS"}, {160, "&DBRECCOUNT"}, {161, "%DBHEADER"}, {162, "%DBRECSIZE"},
    {163, "&DBRECNO"}, {164, "%DBFCOUNT"}, {165, "$DBLUPDATE"}, {166, "$DBFTYPE"},
    {167, "%DBFDECS"}, {168, "%DBFLEN"}, {169, "%DBFNUMBER"}, {170, "$DBFNAME"},
    {171, "%DBDELETED"}, {172, "%DBEOF"}, {173, "%MAXX"}, {174, "%MAXY"}, {175, "%DESKTOP"},
    {176, "%PARCOUNT"}, {177, "%GETINPUTSTATE"}, {178, "%MOUSEPRESSED"}, {181, "%MESSAGE"},
    {184, "&SQLCOUNT"}, {185, "%BMPX"}, {186, "%BMPY"}, {187, "%ERRNUMBER"}, {188, "%BITSPIXEL"},
    {189, "&BMPCOL"}, {190, "%FONT"}, {191, "%LFN"}, {192, "&GETTICKCOUNT"}, {193, "%DDEWIN"},
    {194, "%DBMEMO"}, {195, "%DBVERSION"}, {196, "$TILMVER"}, {197, "%PCOUNT"},
    {198, "%HINSTANCE"}, {199, "%WMTIMER"}, {200, "%WMPAINT"},
};

class Table {
 public:
  template <size_t N>
  explicit Table(const Code (&codes)[N]) {
    for (const Code& c : codes) {
      byName_.emplace(c.name, c.code);
      if (!byCode_[c.code]) byCode_[c.code] = c.name;
    }
  }
  int Find(std::string_view name) const {
    auto it = byName_.find(std::string(name));
    return it == byName_.end() ? -1 : it->second;
  }
  const char* Name(int code) const { return code >= 0 && code < 256 ? byCode_[code] : nullptr; }

 private:
  std::unordered_map<std::string, int> byName_;
  const char* byCode_[256] = {};
};

const Table& Commands() {
  static const Table t(kCommands);
  return t;
}
const Table& Functions() {
  static const Table t(kFunctions);
  return t;
}
const Table& SystemVariables() {
  static const Table t(kSystemVariables);
  return t;
}

}  // namespace

int CommandCode(std::string_view name) { return Commands().Find(name); }
const char* CommandName(int code) { return Commands().Name(code); }
int FunctionCode(std::string_view name) { return Functions().Find(name); }
const char* FunctionName(int code) { return Functions().Name(code); }
int SystemVariableCode(std::string_view name) { return SystemVariables().Find(name); }
const char* SystemVariableName(int code) { return SystemVariables().Name(code); }

std::string MakeHeader(const uint8_t* randomBytes) {
  std::string h(kHeaderSize, ' ');
  h.replace(kSignatureOffset, kSignature.size(), kSignature);
  h[18] = 26;
  if (randomBytes)
    for (size_t i = 0; i < kRandomCount; ++i) h[kRandomOffset + i] = static_cast<char>(randomBytes[i]);
  h[31] = 0;
  return h;
}

uint8_t KeyOf(std::string_view header) {
  if (header.size() < 22) return 0;
  uint8_t a = static_cast<uint8_t>(header[20]);
  uint8_t b = static_cast<uint8_t>(header[21]);
  if (a == ' ' && b == ' ') return 0;
  return static_cast<uint8_t>(a | b);
}

void DrawProtectionBytes(uint8_t out[kRandomCount]) {
  static std::mt19937 gen{std::random_device{}()};
  std::uniform_int_distribution<int> byte(0, 255);
  do {
    for (size_t i = 0; i < kRandomCount; ++i) out[i] = static_cast<uint8_t>(byte(gen));
    // Positions 21 and 22 make the key; both blank or both 0 would leave
    // the file unscrambled.
  } while ((out[1] == ' ' && out[2] == ' ') || (out[1] | out[2]) == 0);
}

std::string MakeRecord(std::string_view content, uint8_t key) {
  std::string r;
  size_t n = content.size() < kMaxContent ? content.size() : kMaxContent;
  r.reserve(n + 1);
  r += static_cast<char>(n);
  for (size_t i = 0; i < n; ++i) r += static_cast<char>(static_cast<uint8_t>(content[i]) ^ key);
  return r;
}

namespace {

bool IsTypeChar(char c) { return c == '$' || c == '%' || c == '&' || c == '!'; }
bool IsNameChar(char c) {
  return (c >= '0' && c <= '9') || static_cast<uint8_t>(c) >= 65;
}

// The parameter text up to its first apostrophe outside strings at depth 0.
std::string CutComment(std::string_view param) {
  int p = FindTop('\'', param);
  return Trim(p > 0 ? param.substr(0, static_cast<size_t>(p - 1)) : param);
}

void AppendLine(std::string& out, int line) {
  out += static_cast<char>(kUserRef);
  out += static_cast<char>(line & 0xFF);
  out += static_cast<char>((line >> 8) & 0xFF);
}

void CutWord(std::string& word) {
  if (word.size() > kCompilerWordMax) word.resize(kCompilerWordMax);
}

}  // namespace

Encoder::Encoder(const LineTable& lines) : procRecords_(static_cast<size_t>(lines.count()) + 1, 0) {
  for (int n = 1; n <= lines.count(); ++n) {
    std::string u = UpperCase(lines[n]);
    if (u.compare(0, 5, "PROC ") == 0) procs_.emplace(Trim(std::string_view(u).substr(5)), n);
    if (u.compare(0, 4, "DEF ") == 0) {
      std::string_view rest = std::string_view(u).substr(4);
      std::string name = Trim(rest.substr(0, rest.find('(')));
      if (!name.empty() && name[0] == '@') name.erase(0, 1);
      defs_.emplace(std::move(name), n);
    }
  }
}

int Encoder::FirstLine(const std::unordered_map<std::string, int>& index, const std::string& name,
                       int n) const {
  auto it = index.find(name);
  return it != index.end() && it->second <= n ? it->second : -1;
}

bool Encoder::EncodeLine(int n, const PreparedLine& prep, std::string& content,
                         std::string& error) {
  content.clear();
  std::string cmd = prep.cmd;
  CutWord(cmd);
  if (n >= 1 && static_cast<size_t>(n) < procRecords_.size())
    procRecords_[static_cast<size_t>(n)] = cmd == "PROC";
  std::string param = prep.param;
  if (cmd == "CASE" || cmd == "CASENOT") {
    content += static_cast<char>(cmd.size() == 4 ? kCase : kCaseNot);
    param = CutComment(param);
    size_t colon = static_cast<size_t>(FindTop(':', param));
    std::string rest = colon ? param.substr(colon) : std::string();
    if (!EncodeText(n, std::string_view(param).substr(0, colon ? colon : param.size()), content, error))
      return false;
    // As at run time, a second colon right after the condition is dropped.
    if (!rest.empty() && rest[0] == ':') rest.erase(0, 1);
    PreparedLine st = SplitLine(Trim(rest));
    cmd = std::move(st.cmd);
    CutWord(cmd);
    param = std::move(st.param);
  }
  if (!EncodeStatement(n, cmd, param, content, error)) return false;
  if (content.size() > kMaxContent) {
    // A cut record would run a different line than the source holds.
    error = MessageText(902);
    return false;
  }
  return true;
}

bool Encoder::EncodeStatement(int n, const std::string& cmd, const std::string& rawParam,
                              std::string& out, std::string& error) const {
  // The main loop's no-ops; a word starting with an apostrophe is one too.
  if (cmd.empty() || cmd[0] == '\'' || cmd == "REM" || cmd == "TRACEON" || cmd == "TRACEOFF" ||
      IsOperatorModeSwitch(cmd)) {
    out += static_cast<char>(kNoOp);
    return true;
  }
  if (cmd == "ENDIF") {
    out += static_cast<char>(kEndif);
    return true;
  }
  std::string param = CutComment(rawParam);
  if (cmd == "DEF") {
    out += static_cast<char>(kDef);
  } else if (cmd == "@") {
    out += static_cast<char>(kCallForm);
  } else if (param.empty() && cmd.back() == ':') {
    out += static_cast<char>(kLabel);
    return EncodeText(n, cmd, out, error);
  } else if (int code = CommandCode(cmd); code >= 0) {
    out += static_cast<char>(code);
  } else if (int line = FirstLine(procs_, cmd, n);
             line > 0 && line < n && procRecords_[static_cast<size_t>(line)]) {
    AppendLine(out, line);
  } else {
    error = MessageText(102) + cmd;
    return false;
  }
  return EncodeText(n, param, out, error);
}

bool Encoder::EncodeText(int n, std::string_view text, std::string& out, std::string& error) const {
  size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c == '"') {
      if (i + 1 == text.size()) {
        error = MessageText(238);
        return false;
      }
      size_t close = text.find('"', i + 1);
      if (close == std::string_view::npos) {
        error = kStringEndMissing;
        return false;
      }
      out.append(text.substr(i, close - i + 1));
      i = close + 1;
    } else if (c == ' ' || c == '\t') {
      ++i;
    } else if (IsTypeChar(c) && i + 1 < text.size() && static_cast<uint8_t>(text[i + 1]) >= 65) {
      size_t end = i + 1;
      while (end < text.size() && IsNameChar(text[end])) ++end;
      std::string name = UpperCase(text.substr(i, end - i));
      int code = SystemVariableCode(name);
      if (code >= 0) {
        out += c;
        out += static_cast<char>(code);
      } else {
        out += name;
      }
      i = end;
    } else if (c == '@' || IsCallFormText(text.substr(i))) {
      size_t start = c == '@' ? i + 1 : i;
      size_t open = text.find('(', start);
      if (open == std::string_view::npos) {
        error = MessageText(213);
        return false;
      }
      std::string name = UpperCase(Trim(text.substr(start, open - start)));
      CutWord(name);
      out += '@';
      if (int code = FunctionCode(name); code >= 0) {
        out += static_cast<char>(code);
      } else if (int line = FirstLine(defs_, name, n);
                 line > 0 && name.find_first_of("\"):") == std::string::npos) {
        // A quote, ")" or ":" in the name would end a CASE condition
        // elsewhere once the name is gone.
        AppendLine(out, line);
      } else {
        error = MessageText(101) + name;
        return false;
      }
      out += '(';
      i = open + 1;
    } else {
      out += c;
      ++i;
    }
  }
  return true;
}

}  // namespace tilmor::tmc
