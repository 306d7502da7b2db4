// LoadLibraryA, GetProcAddress and FreeLibrary over dlopen: a library name
// as old programs write it ("NAME.DLL", "NAME", a path) is found as a
// shared object, and the loaded objects are known to programs by 32-bit
// handles.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace win {

// The names a library name (Windows-1252, without directory part) is looked
// for under, in this order: a name with an extension other than ".DLL" as
// written; then NAME.so, libNAME.so and both in lower case, NAME being the
// name without a ".DLL" ending.
std::vector<std::string> SharedObjectNames(std::string_view name);

// The host path of the shared object `name` refers to: a name with a
// directory part is resolved as a file name (case-insensitively, part by
// part); any other is looked for under SharedObjectNames in each of `dirs`
// (case-insensitively), then in the system's library directories. "" when
// there is none.
std::string FindSharedObject(std::string_view name, const std::vector<std::string>& dirs);

// The system's library directories: LD_LIBRARY_PATH, the directory of the C
// library this process uses, and the usual ones.
std::vector<std::string> SystemLibraryDirectories();

// dlopen of a host path; the handle (never below 32), or 0 with the reason
// in *why. Loading the same object again gives the same handle and counts.
uint32_t LoadSharedObject(const std::string& hostPath, std::string* why = nullptr);
// The address of an exported function, nullptr when there is none.
void* SharedObjectSymbol(uint32_t handle, std::string_view name);
// The host path a handle was loaded from, "" for an unknown handle.
std::string SharedObjectPath(uint32_t handle);
// False for a handle that is not loaded.
bool FreeSharedObject(uint32_t handle);

// Calls `fn` with `count` (0..12) arguments, each a 32-bit value widened with
// its sign to a pointer-sized integer, so that it serves a C int, long or
// pointer parameter alike (area addresses lie below 2 GiB). The whole
// integer return register is given back; callers keep its low 32 bits.
uint64_t CallNative(void* fn, const int32_t* args, int count);

}  // namespace win
