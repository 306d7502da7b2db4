// The text view of the file slots: ASSIGN, RESET, REWRITE, APPEND, CLOSE,
// PRINT #n, INPUT #n, @EOF, and READTEXT into a memory area.
#include <cstring>

#include "argreader.h"
#include "chars.h"
#include "commands.h"
#include "data_registry.h"
#include "errors.h"
#include "file_slots.h"
#include "fnargs.h"
#include "functions.h"
#include "numbers.h"
#include "print.h"
#include "winpath.h"

namespace tilmor {
namespace {

using OpenFn = int (TextFile::*)(const std::string&);

int OpenText(FileSlot& s, OpenFn open) {
  if (!s.assigned) return win::kIoNotAssigned;
  if (s.name.empty()) return win::kIoFileNotFound;
  if (!win::IsValidFileName(s.name)) return win::kIoInvalidName;
  return (s.text.*open)(SlotHost(s));
}

void OpenCommand(Interp& in, OpenFn open) {
  if (FileSlot* s = CommandSlot(in, ' ')) SetIoResult(OpenText(*s, open));
}

void CmdAssign(Interp& in, int) {
  FileSlot* s = CommandSlot(in, ',');
  if (!s) return;
  ReadArg(in, ' ', kRawText);
  // A slot bound anew lets go of what it had open.
  s->text.Close();
  s->binary.Close();
  s->assigned = true;
  s->name = in.res.text;
  Cut255(s->name);
}

void CmdReset(Interp& in, int) { OpenCommand(in, &TextFile::OpenRead); }
void CmdRewrite(Interp& in, int) { OpenCommand(in, &TextFile::OpenWrite); }
void CmdAppend(Interp& in, int) { OpenCommand(in, &TextFile::OpenAppend); }

void CmdClose(Interp& in, int) {
  if (FileSlot* s = CommandSlot(in, ' ')) SetIoResult(s->text.Close());
}

void FilePrint(Interp& in) {
  FileSlot* s = CommandSlot(in, ',');
  if (!s) return;
  std::string text = FormatPrintItems(in);
  switch (s->text.mode()) {
    case TextFile::Mode::Output: SetIoResult(s->text.Write(FileLineEnds(std::move(text)))); break;
    case TextFile::Mode::Input: SetIoResult(win::kIoNotOpenForOutput); break;
    case TextFile::Mode::Closed: SetIoResult(win::kIoNotOpen); break;
  }
}

void FileInput(Interp& in) {
  FileSlot* s = CommandSlot(in, ',');
  if (!s) return;
  std::string name = UpperCase(Trim(in.param));
  in.param.clear();
  if (name.empty()) {
    RuntimeError(in, 212);
    return;
  }
  Variables& v = in.vars;
  int32_t* whole = nullptr;
  double* real = nullptr;
  std::string* text = nullptr;
  switch (name.back()) {
    case '%': whole = v.ints.Find(name); break;
    case '&': whole = v.longs.Find(name); break;
    case '!': real = v.floats.Find(name); break;
    case '$': text = v.strings.Find(name); break;
    default: break;
  }
  if (!whole && !real && !text) {
    RuntimeError(in, 215, name);
    return;
  }
  if (s->text.mode() != TextFile::Mode::Input) {
    SetIoResult(s->text.isOpen() ? win::kIoNotOpenForInput : win::kIoNotOpen);
    return;
  }
  std::string line;
  if (!s->text.ReadLine(line)) SetIoResult(win::kIoReadPastEnd);
  if (text) {
    *text = std::move(line);
    return;
  }
  std::string number = Trim(line);
  bool ok = true;
  if (whole) {
    *whole = number.empty() ? 0 : ReadWhole(number, &ok);
    if (!ok) *whole = 0;
  } else {
    double f = 0.0;
    ok = number.empty() || ReadFloat(number, f);
    *real = ok ? f : 0.0;
  }
  if (!ok) SetIoResult(win::kIoInvalidNumber);
}

void FnEof(Interp& in) {
  SlotArg a = ReadSlotArg(in, ')');
  SetResultLong(in, kInteger, 1);
  FileSlot* s = CheckSlot(in, a, false);
  if (!s) return;
  switch (s->text.mode()) {
    case TextFile::Mode::Input: in.res.lval = s->text.AtEnd() ? 1 : 0; break;
    case TextFile::Mode::Output: SetIoResult(win::kIoNotOpenForInput); break;
    case TextFile::Mode::Closed: SetIoResult(win::kIoNotOpen); break;
  }
}

void CmdReadText(Interp& in, int) {
  std::string areaName = TakeAreaName(in);
  ReadArg(in, ' ', kRawText);
  std::string file = in.res.text;
  Area* a = DimensionedArea(in, areaName);
  if (!a) return;
  TextFile f;
  if (file.empty() || f.OpenRead(win::HostPath(file)) != 0) {
    RuntimeError(in, 300, file);
    return;
  }
  std::string text, line;
  bool complete = true;
  while (f.ReadLine(line)) {
    if (static_cast<int64_t>(text.size() + line.size()) >= static_cast<int64_t>(a->size) - 3) {
      complete = false;
      break;
    }
    text += line;
    text += "\r\n";
  }
  f.Close();
  std::memcpy(a->block, text.data(), text.size());
  a->block[text.size()] = 0;
  if (!complete) Warning(in, 244);
}

}  // namespace

void RegisterTextFiles() {
  RegisterCommand("ASSIGN", CmdAssign);
  RegisterCommand("RESET", CmdReset);
  RegisterCommand("REWRITE", CmdRewrite);
  RegisterCommand("APPEND", CmdAppend);
  RegisterCommand("CLOSE", CmdClose);
  RegisterCommand("READTEXT", CmdReadText);
  RegisterFunction("EOF", FnEof);
  SetFileTextCommands(FilePrint, FileInput);
}

}  // namespace tilmor
