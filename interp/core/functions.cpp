#include "functions.h"

#include <cstdio>
#include <cstdlib>
#include <unordered_map>

#include "argreader.h"
#include "chars.h"
#include "errors.h"
#include "userfn.h"

namespace tilmor {
namespace {

// The built-in names in comparison order. Names are distinct, so a hashed
// lookup finds what the ordered comparison would; a name whose family is not
// built yet has no handler and is reported as unknown.
const char* const kFunctionNames[] = {
    "GETFATTR", "GETFDATE$", "PWD$", "BYTE", "WORD", "LONG", "STRING$", "CHAR$", "GETFILESIZE",
    "GETBYTE", "FILEPOS", "ROUND", "TRANSLATE$", "ADDSTRING", "ADDCHOICE", "MOVELISTTOEDIT",
    "MOVELISTTOCHOICE", "MOVELISTTOLIST", "GETLINE$", "GETLINECOUNT", "DELETESTRING",
    "DELETECHOICE", "GETCOUNT", "GETCURSEL", "GETSTRING$", "INSERTSTRING", "SELECTSTRING",
    "ICONCOUNT", "SQLINIT", "GETUSAGE", "WINEXEC", "INP", "INPB", "DBOPEN", "DBUSE", "DBGO",
    "DBCLOSE", "DBGET$", "DBGETFIELD$", "DBINDEX", "DBFIND", "DBSEEK", "DBPUT", "DBPUTFIELD",
    "DBPUTREC", "DBDELETE", "DBUNDELETE", "DBPACK", "DBAPPENDBLANK", "USEDLL", "SENDKEY",
    "FILESIZE", "EOF", "WRITECOM", "READCOM$", "OPENCOM", "CLOSECOM", "SETCOM", "SETCOMEXT",
    "COMERROR", "DBGETMEMO", "DBPUTMEMO", "POSTMESSAGE", "BLOCKREAD", "SENDSTRING", "SENDMESSAGE",
    "GETENV$", "DTOC$", "CTOD$", "FINDWINDOW", "GETACTIVEWINDOW", "SETACTIVEWINDOW", "SHOWWINDOW",
    "SETFOCUS", "GETFOCUS", "DESTROYWINDOW", "CREATEBUTTON", "CREATEDEFBUTTON", "CREATECHECKBOX",
    "CREATERADIOBUTTON", "CREATEGROUPBOX", "CREATETEXT", "CREATEICON", "CREATEEDIT",
    "CREATEMULTIEDIT", "CREATELISTBOX", "CREATESORTEDLISTBOX", "CREATECHOICEBOX", "CREATEHSCROLL",
    "CREATEVSCROLL", "CREATEDIALOG", "CREATEWINDOW", "GETTEXT$", "GETCHECK", "ADD", "SUB", "MUL",
    "DIV", "DIV&", "MOD", "AND", "OR", "XOR", "NEQ", "EQU", "GT", "LT", "EQU$", "LT$", "GT$",
    "NEQ$", "CHR$", "ADD$", "MID$", "SUBSTR$", "DEL$", "INS$", "LEN", "INSTR", "ORD", "TRIM$",
    "STR$", "MESSAGEBOX", "IF", "EDITBOX", "LISTBOX$", "LISTBOXITEM$", "LOADFILE$", "SAVEFILE$",
    "CHOOSEDIR$", "INPUT$", "UPPER$", "LOWER$", "NOT", "ABS", "COS", "SIN", "EXP", "LN", "LG",
    "TAN", "COT", "POW", "SQR", "SQRT", "ARCTAN", "PI", "INT", "RND", "RGB", "INKEY$", "GETKEY$",
    "KEYIN", "MOUSE", "TMOUSE", "MENUITEM", "SCANKEY", "MCISEND$", "LIST%", "LIST&", "LIST!",
    "LIST$", "GETPIXEL", "PAR$", "VAL", "OEMTOANSI$", "ANSITOOEM$", "DISKSIZE", "DISKFREE",
    "GETDIR$", "FINDFIRST$", "FINDNEXT$", "READINI$", "DATE$", "TIME$", "GETCLIP$",
    "GETSCROLLPOS", "GETRVALUE", "GETGVALUE", "GETBVALUE", "SHORTNAME$", "LONGNAME$", "FORMAT$",
    "CREATEEXTDIALOG", "GETHANDLE", "EXTSTRING$", "HEIGHT", "WIDTH", "WINEXECWAIT"};

std::unordered_map<std::string, FunctionHandler>& Builtins() {
  static std::unordered_map<std::string, FunctionHandler> table = [] {
    std::unordered_map<std::string, FunctionHandler> t;
    for (const char* n : kFunctionNames) t.emplace(n, nullptr);
    return t;
  }();
  return table;
}

// @$(n), @%(n), @&(n), @!(n): parameter slot n as a text, integer, long or
// float result.
bool ParameterFunction(Interp& in, char kind) {
  static const std::string kKinds = "$%&!";
  size_t k = kKinds.find(kind);
  if (k == std::string::npos) return false;
  ReadArg(in, ')', kNumber);
  int32_t n = in.res.ival;
  if (n < 0 || n > 12) {
    RuntimeError(in, 211);
    n = 0;
  }
  const ParamSlot& s = in.slots[static_cast<size_t>(n)];
  in.res.type = static_cast<int>(k) + 1;
  in.res.text = s.text;
  in.res.ival = s.ival;
  in.res.lval = s.lval;
  in.res.fval = s.fval;
  return true;
}

}  // namespace

void RegisterFunction(const char* name, FunctionHandler handler) {
  auto it = Builtins().find(name);
  if (it == Builtins().end()) {
    std::fprintf(stderr, "internal error: function %s is not in the function table\n", name);
    std::abort();
  }
  it->second = handler;
}

int FunctionCount() { return static_cast<int>(sizeof kFunctionNames / sizeof kFunctionNames[0]); }

const char* const* BuiltinFunctionNames() { return kFunctionNames; }

bool IsBuiltinFunction(const std::string& name) { return Builtins().count(name) != 0; }

void SkipCallArguments(Interp& in) {
  int p = FindTop(')', in.param);
  if (p > 0)
    in.param.erase(0, static_cast<size_t>(p - 1));
  else
    in.param.clear();
}

bool FindBuiltinFunction(const std::string& name, FunctionHandler& handler) {
  auto it = Builtins().find(name);
  handler = it == Builtins().end() ? nullptr : it->second;
  return it != Builtins().end();
}

void EvaluateCall(Interp& in, const std::string& name, bool builtin, FunctionHandler handler) {
  // Every nested call goes deeper into the machine's stack: a recursive DEF
  // must end in an error, not a crash.
  if (in.evalDepth >= kMaxEvalDepth) {
    RuntimeError(in, 114);
    in.res.type = kString;
    in.res.text.clear();
    SkipCallArguments(in);
    return;
  }
  struct Depth {
    int32_t& d;
    explicit Depth(int32_t& x) : d(x) { ++d; }
    ~Depth() { --d; }
  } depth(in.evalDepth);
  in.res.fval = 0.0;
  if (handler) handler(in);
  // Result completion: the long value defines the whole-number forms.
  if (in.res.type != kString) in.res.ival = in.res.lval;
  if (in.res.type == kString || in.res.type == kInteger || in.res.type == kLong)
    in.res.fval = in.res.lval;
  if (handler) return;
  if (name.size() == 1 && ParameterFunction(in, name[0])) return;
  if (!builtin && CallUserFunction(in, name)) return;
  RuntimeError(in, 101, name);
  // Going on at error level -1: the call yields an empty text.
  in.res.type = kString;
  in.res.text.clear();
  SkipCallArguments(in);
}

void EvaluateFunction(Interp& in, const std::string& rawName) {
  std::string name = Trim(rawName);
  FunctionHandler handler;
  bool builtin = FindBuiltinFunction(name, handler);
  EvaluateCall(in, name, builtin, handler);
}

}  // namespace tilmor
