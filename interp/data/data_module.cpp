#include "data_module.h"

#include "data_registry.h"
#include "file_slots.h"
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
  RegisterDllCalls();
  RegisterSerialPorts();
  RegisterDde();
  AtProgramEnd(CloseDataFiles);
}

void CloseDataFiles() { ResetFiles(); }

}  // namespace tilmor
