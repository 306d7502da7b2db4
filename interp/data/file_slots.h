// The fifteen file slots with their text and binary views, the pending I/O
// result that %IORESULT reads, and the file open mode of FILEMODE.
#pragma once

#include <cstdint>
#include <string>

#include "files.h"
#include "interp.h"
#include "text_file.h"

namespace tilmor {

constexpr int kFileSlots = 15;

// The binary view: record size 1, its own position.
struct BinaryFile {
  int fd = -1;
  bool canRead = false, canWrite = false;
  int64_t pos = 0;
  bool isOpen() const { return fd >= 0; }
  void Close();
};

struct FileSlot {
  bool assigned = false;  // ASSIGN bound both views to `name`
  std::string name;       // as the program wrote it
  TextFile text;
  BinaryFile binary;
};

struct FileState {
  FileSlot slots[kFileSlots + 1];  // 1..15
  int ioResult = 0;                // pending error of the last file operation
  int findStatus = 0;              // second status, set by FINDFIRST$/FINDNEXT$
  uint8_t fileMode = 2;
  win::FileSearch search;
};

FileState& Files();
// Closes every file and restores the state of the start (tests).
void ResetFiles();

// Leaves an error code pending for %IORESULT (0 leaves it as it is).
void SetIoResult(int code);

// A slot argument "#n" read up to `sep`; `found` tells whether the "#" was
// there. The checks come after the other arguments have been read.
struct SlotArg {
  int32_t number = 0;
  bool hash = false;
};
SlotArg ReadSlotArg(Interp& in, char sep);
// Error 104 when the "#" is required and missing, 210 outside 1..15.
FileSlot* CheckSlot(Interp& in, const SlotArg& arg, bool hashRequired);
// Both in one for commands whose slot is their only or first argument.
FileSlot* CommandSlot(Interp& in, char sep);

// The host path of the slot's file ("" for a drive that is not mapped).
std::string SlotHost(const FileSlot& slot);

// Access and sharing of the binary open under the file open mode.
unsigned AccessOfMode(uint8_t mode);
unsigned ShareOfMode(uint8_t mode);

// The directory of the running interpreter (for programs started beside it).
std::string SelfDirectory(const Interp& in);

}  // namespace tilmor
