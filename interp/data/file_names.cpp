// What the file slots do with their names: ERASE, RENAME, SETFATTR,
// @GETFATTR, @GETFDATE$; and @LONGNAME$, @SHORTNAME$.
#include <sys/stat.h>

#include <cstdio>
#include <ctime>

#include "argreader.h"
#include "chars.h"
#include "codepage.h"
#include "commands.h"
#include "data_registry.h"
#include "errors.h"
#include "file_slots.h"
#include "fnargs.h"
#include "functions.h"
#include "winpath.h"

namespace tilmor {
namespace {

// 0 when the slot names a file to work on, else the error code.
int NamedSlot(const FileSlot& s) {
  if (!s.assigned) return win::kIoNotAssigned;
  if (s.name.empty()) return win::kIoFileNotFound;
  if (!win::IsValidFileName(s.name)) return win::kIoInvalidName;
  return 0;
}

// The host path of a name that is to be created: its directory resolved,
// its last part as the program wrote it.
std::string NewHostPath(const std::string& name) {
  size_t sep = name.find_last_of("\\/");
  std::string dir, leaf;
  if (sep != std::string::npos) {
    dir = name.substr(0, sep + 1);
    leaf = name.substr(sep + 1);
  } else if (name.size() >= 2 && name[1] == ':') {
    dir = name.substr(0, 2);
    leaf = name.substr(2);
  } else {
    leaf = name;
  }
  std::string utf8 = win::Cp1252ToUtf8(leaf);
  if (dir.empty()) return utf8;
  win::ResolvedPath r = win::ResolvePath(dir);
  if (r.error != win::PathError::None || r.host.empty()) return {};
  return r.host.back() == '/' ? r.host + utf8 : r.host + "/" + utf8;
}

void CmdErase(Interp& in, int) {
  FileSlot* s = CommandSlot(in, ' ');
  if (!s) return;
  int e = NamedSlot(*s);
  SetIoResult(e ? e : win::DeleteFile(SlotHost(*s)));
}

void CmdRename(Interp& in, int) {
  FileSlot* s = CommandSlot(in, ',');
  if (!s) return;
  ReadArg(in, ' ', kRawText);
  std::string to = in.res.text;
  Cut255(to);
  int e = NamedSlot(*s);
  if (!e && (to.empty() || !win::IsValidFileName(to) || to.find_last_of("\\/") == to.size() - 1))
    e = win::kIoInvalidName;
  if (!e) e = win::MoveFile(SlotHost(*s), NewHostPath(to));
  if (e) return SetIoResult(e);
  s->name = to;
}

void CmdSetFAttr(Interp& in, int) {
  FileSlot* s = CommandSlot(in, ',');
  if (!s) return;
  ReadArg(in, ' ', kNumber);
  uint32_t attributes = static_cast<uint32_t>(in.res.ival);
  int e = NamedSlot(*s);
  SetIoResult(e ? e : win::SetFileAttributes(SlotHost(*s), attributes));
}

void FnGetFAttr(Interp& in) {
  SlotArg arg = ReadSlotArg(in, ')');
  SetResultLong(in, kInteger, 0xFFFF);
  FileSlot* s = CheckSlot(in, arg, false);
  if (!s || NamedSlot(*s)) return;
  in.res.lval = static_cast<int32_t>(win::FileAttributes(SlotHost(*s)) & 0xFFFF);
}

void FnGetFDate(Interp& in) {
  SlotArg arg = ReadSlotArg(in, ')');
  SetResultText(in, "");
  FileSlot* s = CheckSlot(in, arg, false);
  if (!s || NamedSlot(*s)) return;
  struct stat st;
  std::string host = SlotHost(*s);
  if (host.empty() || stat(host.c_str(), &st) != 0) return;
  struct tm t;
  if (!localtime_r(&st.st_mtime, &t)) return;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
  in.res.text = buf;
}

// GetFullPathNameA into a buffer of 256: a longer path is a failure.
std::string FullPath256(const std::string& name) {
  std::string full = win::FullPathName(name);
  return full.size() > 255 ? std::string() : full;
}

void FnLongName(Interp& in) { SetResultText(in, FullPath256(ReadText(in, ')', kRawText))); }

// Without short names, GetShortPathNameA gives the name of an existing
// file unchanged; here it is the full path.
void FnShortName(Interp& in) {
  std::string name = ReadText(in, ')', kRawText);
  struct stat st;
  std::string host = name.empty() ? std::string() : win::HostPath(name);
  SetResultText(in, !host.empty() && stat(host.c_str(), &st) == 0 ? FullPath256(name) : std::string());
}

}  // namespace

void RegisterFileNames() {
  RegisterCommand("ERASE", CmdErase);
  RegisterCommand("RENAME", CmdRename);
  RegisterCommand("SETFATTR", CmdSetFAttr);
  RegisterFunction("GETFATTR", FnGetFAttr);
  RegisterFunction("GETFDATE$", FnGetFDate);
  RegisterFunction("LONGNAME$", FnLongName);
  RegisterFunction("SHORTNAME$", FnShortName);
}

}  // namespace tilmor
