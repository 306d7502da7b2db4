// The Win32 system modules old programs call most (USER32, KERNEL32, GDI32,
// WINMM, SHELL32), as a table of the functions our window layer and
// platform carry out, with Win32's meaning of the arguments: strings and
// buffers are addresses inside area variables, handles are our handles.
#pragma once

#include <cstdint>
#include <string_view>

#include "interp.h"

namespace tilmor {

struct Win32Function {
  const char* name;
  int argCount;
  int32_t (*call)(Interp& in, const int32_t* args);  // args: 12 values, unused ones 0
};

struct Win32Module {
  const char* name;  // upper case, without ".DLL"
  uint32_t handle;   // what LoadLibraryA gives for it
  const Win32Function* functions;
  int count;
};

// The module a library name means ("USER32", "user32.dll", a path ending in
// one of them), nullptr for any other.
const Win32Module* FindWin32Module(std::string_view libraryName);
// GetProcAddress: the exported name, compared exactly.
const Win32Function* FindWin32Function(const Win32Module& m, std::string_view name);

// ShellExecuteA for "open" (or no verb): a program file is started with the
// parameters, anything else handed to xdg-open. Above 32 when started, else
// 2 (no such file), 3 (path not found), 31 (no program for it).
int32_t ShellOpen(Interp& in, const std::string& file, const std::string& params, int show);

}  // namespace tilmor
