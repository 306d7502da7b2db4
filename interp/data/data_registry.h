// The registration of each family of the data module, and helpers that
// several of them share.
#pragma once

#include "areas.h"

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
void RegisterSoundCommands();
void RegisterPlay();
void RegisterMusic();
void RegisterMciSend();
void RegisterDllCalls();
void RegisterSerialPorts();
void RegisterDde();


}  // namespace tilmor
