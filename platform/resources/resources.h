// Resources of other modules: Windows PE files (.exe, .dll) and compiled
// resource files (.res) are read directly (they are plain formats), so that
// a program can use the menus, dialogs, icons and bitmaps they hold.
#pragma once

#include <string>
#include <vector>

#include "../wintypes.h"

// resource types
constexpr int RT_CURSOR = 1, RT_BITMAP = 2, RT_ICON = 3, RT_MENU = 4, RT_DIALOG = 5, RT_STRING = 6,
              RT_GROUP_CURSOR = 12, RT_GROUP_ICON = 14;

namespace win {

// Loads a module's resources; its instance handle, or 0 when the file is
// missing or neither a PE module nor a resource file. Loading the same
// file again gives the same handle.
HINSTANCE LoadModuleResources(const std::string& path);
void FreeModuleResources(HINSTANCE instance);
// A resource by type and name: a name compared case-insensitively, or "#n"
// for the number n. False when the module has none such.
bool FindModuleResource(HINSTANCE instance, int type, const std::string& name, std::vector<unsigned char>* data);
// The names of a module's resources of one type, in the file's order
// ("#n" for numbered ones).
std::vector<std::string> ModuleResourceNames(HINSTANCE instance, int type);
// String `id` of a module's string tables, cut to bufferMax - 1 characters;
// its length, 0 (and "") when the module has no such string.
int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int bufferMax);
// `count` UTF-16LE code units of a resource as Windows-1252 ("?" for
// characters it lacks).
std::string Utf16LeToCp1252(const unsigned char* data, size_t count);

}  // namespace win
