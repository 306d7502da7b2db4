// The registration of each family of the data module, and helpers that
// several of them share.
#pragma once

#include <string>

#include "interp.h"

namespace tilmor {

void RegisterIoResult();
void RegisterTextFiles();
void RegisterBinaryFiles();
void RegisterFileNames();
void RegisterDirectories();
void RegisterFileSearch();
void RegisterItemList();
void RegisterPrograms();
void RegisterIniFiles();
void RegisterClipboard();
void RegisterPorts();

// The area variable named by the text before the next "," (taken off the
// parameter text), trimmed and upper-cased.
std::string TakeAreaName(Interp& in);
// Errors 121 (no "#"), 215 (not declared) and 243 (no memory); nullptr then.
Area* DimensionedArea(Interp& in, const std::string& name);

}  // namespace tilmor
