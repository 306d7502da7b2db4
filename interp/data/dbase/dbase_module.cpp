#include "dbase_module.h"

#include <array>
#include <memory>

#include "argreader.h"
#include "chars.h"
#include "commands.h"
#include "control.h"
#include "dbf_table.h"
#include "errors.h"
#include "fnargs.h"
#include "functions.h"
#include "numbers.h"
#include "oem.h"
#include "sysvars.h"

namespace tilmor {
namespace {

using dbase::DbfTable;
using dbase::Position;

constexpr int kSlots = 15;

struct Engine {
  dbase::DbError error;
  std::array<std::unique_ptr<DbfTable>, kSlots + 1> slots;  // 0 unused
  int current = 0;
};

Engine& TheEngine() {
  static Engine engine;
  return engine;
}

FontQuery g_font = nullptr;

bool OemFont(const Interp& in) { return g_font && g_font(in) == 1; }

// The pending table error as a warning; shown once, then cleared.
void Report(Interp& in) {
  dbase::DbError& err = TheEngine().error;
  if (!err.pending()) return;
  dbase::ErrorMessage m = dbase::MessageFor(err.number(), err.text());
  err.Clear();
  Warning(in, m.message, m.extra);
}

void ReportAsRuntimeError(Interp& in) {
  dbase::DbError& err = TheEngine().error;
  if (!err.pending()) return;
  dbase::ErrorMessage m = dbase::MessageFor(err.number(), err.text());
  err.Clear();
  RuntimeError(in, m.message, m.extra);
}

// "#n" up to `sep`; 0 after an error that let the program go on.
int ReadTableNumber(Interp& in, char sep) {
  TrimInPlace(in.param);
  if (in.param.empty() || in.param[0] != '#') {
    RuntimeError(in, 105);
    // Going on: the argument is passed over.
    int p = FindTop(sep, in.param);
    if (p > 0)
      in.param.erase(0, static_cast<size_t>(p));
    else
      in.param.clear();
    return 0;
  }
  in.param.erase(0, 1);
  ReadArg(in, sep, kNumber);
  int32_t n = in.res.ival;
  if (n < 1 || n > kSlots) {
    RuntimeError(in, 609);
    return 0;
  }
  return n;
}

DbfTable* OpenSlot(Interp& in, int n) {
  if (n == 0) return nullptr;
  DbfTable* t = TheEngine().slots[static_cast<size_t>(n)].get();
  if (!t) RuntimeError(in, 610);
  return t;
}

DbfTable* CurrentTable(Interp& in) {
  Engine& e = TheEngine();
  DbfTable* t = e.current >= 1 && e.current <= kSlots ? e.slots[static_cast<size_t>(e.current)].get() : nullptr;
  if (!t) RuntimeError(in, 610);
  return t;
}

// The current table for the system variables; no error without one.
const DbfTable* Peek() {
  Engine& e = TheEngine();
  return e.current >= 1 && e.current <= kSlots ? e.slots[static_cast<size_t>(e.current)].get() : nullptr;
}

int32_t Clamp32(int64_t v) { return v > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int32_t>(v); }

void ResultInt(Interp& in, int64_t v) { SetResultLong(in, kInteger, Clamp32(v)); }

std::string FromTable(const Interp& in, std::string s) { return OemFont(in) ? win::OemToAnsi(s) : s; }
std::string ToTable(const Interp& in, std::string s) { return OemFont(in) ? win::AnsiToOem(s) : s; }

void DbOpen(Interp& in) {
  int n = ReadTableNumber(in, ',');
  std::string name = ReadText(in, ')', kRawText);
  ResultInt(in, 0);
  if (n == 0) return;
  Engine& e = TheEngine();
  e.current = n;
  if (auto& old = e.slots[static_cast<size_t>(n)]) {
    old->Close();
    old.reset();
    Report(in);
  }
  auto table = std::make_unique<DbfTable>(e.error);
  if (!table->ReadHeader(name)) {
    if (!e.error.pending()) e.error.Set(dbase::kErrNotDbase, "Keine dBase III-Datei");
    ReportAsRuntimeError(in);
    ResultInt(in, 0);
    return;
  }
  DbfTable* t = table.get();
  e.slots[static_cast<size_t>(n)] = std::move(table);
  t->Open();
  Report(in);
  ResultInt(in, t->count());
}

void DbUse(Interp& in) {
  int n = ReadTableNumber(in, ')');
  ResultInt(in, 0);
  DbfTable* t = OpenSlot(in, n);
  if (!t) return;
  TheEngine().current = n;
  Report(in);
  ResultInt(in, t->count());
}

void DbGo(Interp& in) {
  ReadArg(in, ')', kAny);
  bool word = in.res.type == kString;
  std::string text = UpperCase(Trim(in.res.text));
  int64_t number = word ? ReadWhole(text) : in.res.lval;
  ResultInt(in, 0);
  DbfTable* t = CurrentTable(in);
  if (!t) return;
  if (word && (text == "TOP" || text == "|<"))
    t->Go(Position::First);
  else if (word && (text == "BOTTOM" || text == ">|"))
    t->Go(Position::Last);
  else if (word && (text == "NEXT" || text == ">"))
    t->Go(Position::Next);
  else if (word && (text == "PREV" || text == "<"))
    t->Go(Position::Previous);
  else
    t->GoTo(number);
  Report(in);
  ResultInt(in, t->current());
}

void DbClose(Interp& in) {
  int n = ReadTableNumber(in, ')');
  ResultInt(in, 0);
  DbfTable* t = OpenSlot(in, n);
  if (!t) return;
  Engine& e = TheEngine();
  int64_t count = t->count();
  t->Close();
  e.slots[static_cast<size_t>(n)].reset();
  e.current = n;
  Report(in);
  ResultInt(in, count);
}

void DbGet(Interp& in) {
  std::string name = ReadText(in, ')');
  SetResultText(in, "");
  DbfTable* t = CurrentTable(in);
  if (!t) return;
  std::string value;
  t->GetField(name, value);
  Report(in);
  SetResultText(in, FromTable(in, value));
}

void DbGetField(Interp& in) {
  NumArg n = ReadNum(in, ')');
  SetResultText(in, "");
  DbfTable* t = CurrentTable(in);
  if (!t) return;
  std::string value;
  t->GetFieldByNumber(n.lval, value);
  Report(in);
  SetResultText(in, FromTable(in, value));
}

void DbPut(Interp& in) {
  std::string name = ReadText(in, ',');
  std::string value = ReadText(in, ')');
  ResultInt(in, 0);
  DbfTable* t = CurrentTable(in);
  if (!t) return;
  int stored = t->PutField(name, ToTable(in, value));
  Report(in);
  ResultInt(in, stored);
}

void DbPutField(Interp& in) {
  NumArg n = ReadNum(in, ',');
  std::string value = ReadText(in, ')');
  ResultInt(in, 0);
  DbfTable* t = CurrentTable(in);
  if (!t) return;
  int stored = t->PutFieldByNumber(n.lval, ToTable(in, value));
  Report(in);
  ResultInt(in, stored);
}

void DbPutRec(Interp& in) {
  NumArg n = ReadNum(in, ')');
  ResultInt(in, 0);
  DbfTable* t = CurrentTable(in);
  if (!t) return;
  int64_t r = n.lval == 0 ? t->current() : n.lval;
  bool ok = t->WriteRecord(r);
  Report(in);
  ResultInt(in, ok ? t->current() : 0);
}

void DbAppendBlank(Interp& in) {
  ResultInt(in, 0);
  DbfTable* t = CurrentTable(in);
  if (!t) return;
  if (!t->WriteRecord(-1)) return;
  t->BlankBuffer();
  ResultInt(in, t->current());
}

// @DBDELETE and @DBUNDELETE: without a current record nothing is written
// (a write would append a record).
void MarkDeleted(Interp& in, bool deleted) {
  ResultInt(in, 0);
  DbfTable* t = CurrentTable(in);
  if (!t || t->current() < 1) return;
  t->SetDeletedFlag(deleted);
  bool ok = t->WriteRecord(t->current());
  Report(in);
  ResultInt(in, ok ? t->current() : 0);
}

void DbPack(Interp& in) {
  ResultInt(in, 0);
  DbfTable* t = CurrentTable(in);
  if (!t) return;
  t->Pack();
  Report(in);
  ResultInt(in, t->count());
}

void DbSeek(Interp& in) {
  std::string name = ReadText(in, ',');
  std::string text = ReadText(in, ')');
  ResultInt(in, 0);
  DbfTable* t = CurrentTable(in);
  if (!t) return;
  // Compared in the Windows character set, where upper case is known.
  ResultInt(in, t->Seek(name, text, OemFont(in) ? win::OemToAnsi : nullptr));
}

void DbFind(Interp& in) {
  std::string key = ReadText(in, ',');
  NumArg exact = ReadNum(in, ')');
  ResultInt(in, 0);
  DbfTable* t = CurrentTable(in);
  if (!t) return;
  ResultInt(in, t->Find(ToTable(in, key), exact.ival != 0));
}

void DbIndex(Interp& in) {
  std::string list = ReadText(in, ')', kRawText);
  ResultInt(in, 0);
  DbfTable* t = CurrentTable(in);
  if (!t) return;
  bool ok = t->OpenIndexes(list) && !TheEngine().error.pending();
  TheEngine().error.Clear();
  ResultInt(in, ok ? 1 : 0);
}

void DbGetMemo(Interp& in) {
  std::string name = ReadText(in, ')');
  ResultInt(in, -1);
  DbfTable* t = CurrentTable(in);
  if (!t) return;
  std::vector<std::string> lines;
  int32_t v = t->GetMemo(name, lines);
  if (v != -1) {
    in.items.Clear();
    for (std::string& line : lines) in.items.Add(std::move(line));
  }
  Report(in);
  ResultInt(in, v);
}

void DbPutMemo(Interp& in) {
  std::string name = ReadText(in, ')');
  ResultInt(in, 0);
  DbfTable* t = CurrentTable(in);
  if (!t) return;
  bool ok = t->PutMemo(name, in.items.items());
  Report(in);
  ResultInt(in, ok ? 1 : 0);
}

void CmdDbCreate(Interp& in, int) {
  ReadArg(in, '>', kRawText);
  std::string definition = ResultText(in);
  ReadArg(in, ' ', kRawText);
  std::string table = ResultText(in);
  dbase::CreateTable(TheEngine().error, definition, table);
  Report(in);
}

void CmdDbCreateIndex(Interp& in, int) {
  ReadArg(in, '>', kRawText);
  std::string formula = ResultText(in);
  ReadArg(in, ' ', kRawText);
  std::string name = ResultText(in);
  TheEngine().error.Clear();
  if (name.find_first_of(" ,") != std::string::npos) {
    RuntimeError(in, 616, name);
    return;
  }
  DbfTable* t = CurrentTable(in);
  if (!t) return;
  t->BuildIndex(formula, name);
  Report(in);
}

// System variables of the current table: 0 or empty without one.
template <typename F>
void WithTable(Interp& in, F f) {
  if (const DbfTable* t = Peek()) f(in, *t);
}

void RegisterVariables() {
  RegisterSystemVariable("&DBRECCOUNT", [](Interp& in) {
    WithTable(in, [](Interp& i, const DbfTable& t) { i.res.lval = Clamp32(t.count()); });
  });
  RegisterSystemVariable("%DBHEADER", [](Interp& in) {
    WithTable(in, [](Interp& i, const DbfTable& t) { i.res.ival = t.header_length(); });
  });
  RegisterSystemVariable("%DBRECSIZE", [](Interp& in) {
    WithTable(in, [](Interp& i, const DbfTable& t) { i.res.ival = t.record_length(); });
  });
  RegisterSystemVariable("&DBRECNO", [](Interp& in) {
    WithTable(in, [](Interp& i, const DbfTable& t) { i.res.lval = Clamp32(t.current()); });
  });
  RegisterSystemVariable("%DBFCOUNT", [](Interp& in) {
    WithTable(in, [](Interp& i, const DbfTable& t) { i.res.ival = t.field_count(); });
  });
  RegisterSystemVariable("$DBLUPDATE", [](Interp& in) {
    WithTable(in, [](Interp& i, const DbfTable& t) { i.res.text = t.date_text(); });
  });
  RegisterSystemVariable("%DBDELETED", [](Interp& in) {
    WithTable(in, [](Interp& i, const DbfTable& t) { i.res.ival = t.deleted() ? 1 : 0; });
  });
  RegisterSystemVariable("%DBEOF", [](Interp& in) {
    WithTable(in, [](Interp& i, const DbfTable& t) { i.res.ival = t.eof() ? 1 : 0; });
  });
  RegisterSystemVariable("%DBMEMO", [](Interp& in) {
    WithTable(in, [](Interp& i, const DbfTable& t) { i.res.lval = t.has_memo() ? 1 : 0; });
  });
  RegisterSystemVariable("%DBVERSION", [](Interp& in) {
    WithTable(in, [](Interp& i, const DbfTable& t) { i.res.lval = t.version() & 3; });
  });
  RegisterSystemVariable("$DBFTYPE", [](Interp& in) {
    const DbfTable* t = Peek();
    in.res.text = std::string(1, t ? t->last_field().type : ' ');
  });
  RegisterSystemVariable("%DBFDECS", [](Interp& in) {
    WithTable(in, [](Interp& i, const DbfTable& t) { i.res.ival = t.last_field().decimals; });
  });
  RegisterSystemVariable("%DBFLEN", [](Interp& in) {
    WithTable(in, [](Interp& i, const DbfTable& t) { i.res.ival = t.last_field().length; });
  });
  RegisterSystemVariable("%DBFNUMBER", [](Interp& in) {
    WithTable(in, [](Interp& i, const DbfTable& t) { i.res.ival = t.last_field().number; });
  });
  RegisterSystemVariable("$DBFNAME", [](Interp& in) {
    WithTable(in, [](Interp& i, const DbfTable& t) { i.res.text = t.last_field().name; });
  });
}

}  // namespace

void SetDbaseFontQuery(FontQuery query) { g_font = query; }

void CloseAllTables() {
  Engine& e = TheEngine();
  for (auto& slot : e.slots) {
    if (slot) slot->Close();
    slot.reset();
  }
  e.current = 0;
  e.error.Clear();
}

void RegisterDbaseModule() {
  RegisterFunction("DBOPEN", DbOpen);
  RegisterFunction("DBUSE", DbUse);
  RegisterFunction("DBGO", DbGo);
  RegisterFunction("DBCLOSE", DbClose);
  RegisterFunction("DBGET$", DbGet);
  RegisterFunction("DBGETFIELD$", DbGetField);
  RegisterFunction("DBINDEX", DbIndex);
  RegisterFunction("DBFIND", DbFind);
  RegisterFunction("DBSEEK", DbSeek);
  RegisterFunction("DBPUT", DbPut);
  RegisterFunction("DBPUTFIELD", DbPutField);
  RegisterFunction("DBPUTREC", DbPutRec);
  RegisterFunction("DBDELETE", [](Interp& in) { MarkDeleted(in, true); });
  RegisterFunction("DBUNDELETE", [](Interp& in) { MarkDeleted(in, false); });
  RegisterFunction("DBPACK", DbPack);
  RegisterFunction("DBAPPENDBLANK", DbAppendBlank);
  RegisterFunction("DBGETMEMO", DbGetMemo);
  RegisterFunction("DBPUTMEMO", DbPutMemo);
  RegisterCommand("DBCREATE", CmdDbCreate);
  RegisterCommand("DBCREATEINDEX", CmdDbCreateIndex);
  RegisterVariables();
}

}  // namespace tilmor
