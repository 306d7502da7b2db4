// @FINDFIRST$ and @FINDNEXT$: one directory search at a time; its status
// (18 when nothing more was found) is the second part of %IORESULT.
#include "data_registry.h"
#include "file_slots.h"
#include "fnargs.h"
#include "functions.h"

namespace tilmor {
namespace {

// A directory comes as "[" name "]".
void Found(Interp& in) {
  FileState& f = Files();
  std::optional<win::FoundEntry> e = f.search.Next();
  f.findStatus = e ? 0 : win::kIoNoMoreFiles;
  if (!e) return SetResultText(in, "");
  SetResultText(in, e->attributes & win::kAttrDirectory ? "[" + e->name + "]" : e->name);
}

void FnFindFirst(Interp& in) {
  std::string mask = ReadText(in, ')', kRawText);
  Files().search.Start(mask);
  Found(in);
}

void FnFindNext(Interp& in) { Found(in); }

}  // namespace

void RegisterFileSearch() {
  RegisterFunction("FINDFIRST$", FnFindFirst);
  RegisterFunction("FINDNEXT$", FnFindNext);
}

}  // namespace tilmor
