// The item list without dialogs: CLEARLIST, ADDSTRING, ADDFILES, the
// LISTBOXITEM$ command and @LISTBOXITEM$.
#include "argreader.h"
#include "commands.h"
#include "control.h"
#include "data_registry.h"
#include "errors.h"
#include "files.h"
#include "fnargs.h"
#include "functions.h"

namespace tilmor {
namespace {

void CmdClearList(Interp& in, int) { in.items.Clear(); }

void CmdAddString(Interp& in, int) {
  ReadArg(in, ' ', kAny);
  if (!in.items.Add(ResultText(in))) RuntimeError(in, 232);
}

void CmdAddFiles(Interp& in, int) {
  ReadArg(in, ' ', kRawText);
  win::FileSearch search;
  search.Start(in.res.text);
  while (auto e = search.Next()) {
    if (!in.items.Add(e->attributes & win::kAttrDirectory ? "[" + e->name + "]" : e->name)) {
      RuntimeError(in, 232);
      return;
    }
  }
}

void CmdListBoxItem(Interp& in, int) {
  ReadArg(in, '=', kNumber);
  int32_t n = in.res.ival;
  ReadArg(in, ' ', kAny);
  if (!in.items.Set(n, ResultText(in))) RuntimeError(in, 233);
}

void FnListBoxItem(Interp& in) {
  NumArg n = ReadNum(in, ')');
  const std::string* item = in.items.At(n.ival);
  if (!item) {
    RuntimeError(in, 206);
    return SetResultText(in, "");
  }
  SetResultText(in, *item);
}

}  // namespace

void RegisterItemList() {
  RegisterCommand("CLEARLIST", CmdClearList);
  RegisterCommand("ADDSTRING", CmdAddString);
  RegisterCommand("ADDFILES", CmdAddFiles);
  RegisterCommand("LISTBOXITEM$", CmdListBoxItem);
  RegisterFunction("LISTBOXITEM$", FnListBoxItem);
}

}  // namespace tilmor
