#include "data_module.h"

#include "data_registry.h"
#include "file_slots.h"
#include "sound.h"
#include "startup.h"

namespace tilmor {

void RegisterDataModule() {
  RegisterIoResult();
  RegisterTextFiles();
  RegisterBinaryFiles();
  RegisterFileNames();
  RegisterDirectories();
  RegisterFileSearch();
  RegisterItemList();
  RegisterPrograms();
  RegisterIniFiles();
  RegisterClipboard();
  RegisterPorts();
  RegisterSoundCommands();
  RegisterPlay();
  RegisterMusic();
  RegisterMciSend();
  RegisterDllCalls();
  RegisterSerialPorts();
  RegisterDde();
  AtProgramEnd(CloseDataFiles);
  AtProgramEnd(win::EndSound);
}

void CloseDataFiles() { ResetFiles(); }

}  // namespace tilmor
