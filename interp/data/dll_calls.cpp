// DLL calls of DEF functions ("!"), @USEDLL and @GETUSAGE.
#include "dll_calls.h"

#include <unistd.h>

#include "argreader.h"
#include "chars.h"
#include "codepage.h"
#include "data_registry.h"
#include "dialogs.h"
#include "dialogstate.h"
#include "dll/sharedlib.h"
#include "errors.h"
#include "file_slots.h"
#include "fnargs.h"
#include "functions.h"
#include "resources/resources.h"
#include "startup.h"
#include "userfn.h"
#include "winpath.h"

namespace tilmor {
namespace {

// Where the program was started from: the program's own directory is taken
// against it, whatever CHDIR does later.
std::string& StartDirectory() {
  static std::string dir;
  return dir;
}

std::string ProgramDirectory(Interp& in) {
  if (in.args.size() < 2) return StartDirectory();
  const std::string& prog = in.args[1];
  size_t sep = prog.find_last_of("\\/");
  if (sep == std::string::npos) return StartDirectory();
  std::string host = win::HostPath(prog.substr(0, sep + 1));
  if (host.empty()) return {};
  if (host[0] != '/') host = StartDirectory() + "/" + host;
  return host;
}

// The library kept by @USEDLL.
Library& Kept() {
  static Library kept;
  return kept;
}

void ReleaseKept() {
  FreeLibrary(Kept());
  Kept() = Library{};
}

// DEF @F(n) !"LIB","FUNC": load, find, call with the arguments' long
// values, free.
void CallDll(Interp& in, const std::string& body, int argCount) {
  in.param = body.substr(1);
  std::string lib = ReadText(in, ',');
  std::string fn = ReadText(in, ' ');
  if (argCount > 12) {
    MessageBoxA(DialogOwner(), "Mehr als 12 Parameter!", "Fehler", MB_ICONERROR);
    AfterDialog();
    return SetLongResult(in, 0);
  }
  int32_t args[12] = {};
  for (int i = 0; i < argCount; ++i) args[i] = in.slots[static_cast<size_t>(i + 1)].lval;
  Library l = LoadLibrary(in, lib, false);
  if (!l.handle) {
    SetLongResult(in, 0);
    return RuntimeError(in, 247, lib);
  }
  int32_t result = 0;
  if (l.builtin) {
    const Win32Function* f = FindWin32Function(*l.builtin, fn);
    if (!f) {
      SetLongResult(in, 0);
      return RuntimeError(in, 248, fn);
    }
    result = f->call(in, args);
  } else {
    void* f = win::SharedObjectSymbol(l.handle, fn);
    if (!f) {
      FreeLibrary(l);
      SetLongResult(in, 0);
      return RuntimeError(in, 248, fn);
    }
    result = static_cast<int32_t>(static_cast<uint32_t>(win::CallNative(f, args, argCount)));
  }
  FreeLibrary(l);
  SetLongResult(in, result);
}

void DllBody(Interp& in, const std::string& body, int argCount) {
  if (body[0] == '*') return CallThroughTilm16(in, body, argCount);
  CallDll(in, body, argCount);
}

// @USEDLL(name): the handle; below 32 the reason it could not be loaded
// (2 not found, 11 found but neither a shared object nor a module).
void FnUseDll(Interp& in) {
  std::string name = ReadText(in, ')');
  ReleaseKept();
  if (Trim(name).empty()) return SetResultLong(in, kInteger, 0);
  Library l = LoadLibrary(in, name, true);
  // As the 16-bit loader answers: 11 for a file that is no loadable module.
  if (!l.handle) return SetResultLong(in, kInteger, l.found ? 11 : 2);
  Kept() = l;
  SetResultLong(in, kInteger, static_cast<int32_t>(l.handle));
}

// There is no 16-bit system to ask: the exception the load raises is shown.
void FnGetUsage(Interp& in) {
  ReadNum(in, ')');
  MessageBoxA(DialogOwner(), "\"KERNEL.EXE\" nicht ladbar!", "Fehler", MB_ICONERROR);
  AfterDialog();
  SetResultLong(in, kInteger, 0);
}

}  // namespace

void SetLongResult(Interp& in, int32_t v) {
  in.res.type = kLong;
  in.res.text.clear();
  in.res.lval = in.res.ival = v;
  in.res.fval = v;
}

std::vector<std::string> LibraryDirectories(Interp& in) {
  std::vector<std::string> dirs;
  std::string prog = ProgramDirectory(in);
  if (!prog.empty()) dirs.push_back(prog);
  std::string self = SelfDirectory(in);
  if (!self.empty() && self != prog) dirs.push_back(self);
  return dirs;
}

Library LoadLibrary(Interp& in, const std::string& rawName, bool withResources) {
  Library l;
  std::string name = Trim(rawName);
  if (name.empty()) return l;
  if (const Win32Module* m = FindWin32Module(name)) {
    l.builtin = m;
    l.handle = m->handle;
    return l;
  }
  std::vector<std::string> dirs = LibraryDirectories(in);
  std::string path = win::FindSharedObject(name, dirs);
  l.found = !path.empty();
  if (l.found) l.handle = win::LoadSharedObject(path);
  if (l.handle || !withResources) return l;
  // A Windows module or resource file of that very name.
  std::string file;
  if (win::HasDirectoryPart(name)) {
    file = win::HostPath(name);
  } else {
    for (const std::string& d : dirs)
      if (std::string p = d + "/" + win::MatchDirectoryEntry(d, name); access(p.c_str(), R_OK) == 0) {
        file = p;
        break;
      }
    if (file.empty()) file = win::HostPath(name);
  }
  if (!file.empty() && access(file.c_str(), R_OK) == 0) {
    l.found = true;
    l.handle = static_cast<uint32_t>(win::LoadModuleResources(file));
    l.resources = l.handle != 0;
  }
  return l;
}

void FreeLibrary(const Library& l) {
  if (!l.handle || l.builtin) return;
  if (l.resources)
    win::FreeModuleResources(static_cast<HINSTANCE>(l.handle));
  else
    win::FreeSharedObject(l.handle);
}

void RegisterDllCalls() {
  char cwd[4096];
  StartDirectory() = getcwd(cwd, sizeof cwd) ? cwd : ".";
  SetDllBodyHandler(DllBody);
  RegisterFunction("USEDLL", FnUseDll);
  RegisterFunction("GETUSAGE", FnGetUsage);
  AtProgramEnd(ReleaseKept);
}

}  // namespace tilmor
