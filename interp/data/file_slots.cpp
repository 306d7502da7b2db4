#include "file_slots.h"

#include <unistd.h>

#include "argreader.h"
#include "chars.h"
#include "data_registry.h"
#include "errors.h"
#include "sysvars.h"
#include "winpath.h"

namespace tilmor {
namespace {

// Reading clears both statuses; the value comes typed as a string.
void IoResult(Interp& in) {
  FileState& f = Files();
  int v = f.ioResult | f.findStatus;
  f.ioResult = f.findStatus = 0;
  in.res.type = kString;
  in.res.ival = in.res.lval = v;
  in.res.text = std::to_string(v);
}

}  // namespace

void BinaryFile::Close() {
  if (fd >= 0) ::close(fd);
  fd = -1;
  canRead = canWrite = false;
  pos = 0;
}

FileState& Files() {
  static FileState state;
  return state;
}

void ResetFiles() {
  FileState& f = Files();
  for (FileSlot& s : f.slots) {
    s.text.Close();
    s.binary.Close();
    s.assigned = false;
    s.name.clear();
  }
  f.ioResult = f.findStatus = 0;
  f.fileMode = 2;
  f.search = win::FileSearch();
}

void SetIoResult(int code) {
  if (code != 0) Files().ioResult = code;
}

SlotArg ReadSlotArg(Interp& in, char sep) {
  SlotArg a;
  TrimInPlace(in.param);
  if (!in.param.empty() && in.param[0] == '#') {
    a.hash = true;
    in.param.erase(0, 1);
  }
  ReadArg(in, sep, kNumber);
  a.number = in.res.ival;
  return a;
}

FileSlot* CheckSlot(Interp& in, const SlotArg& arg, bool hashRequired) {
  if (hashRequired && !arg.hash) {
    RuntimeError(in, 104);
    return nullptr;
  }
  if (arg.number < 1 || arg.number > kFileSlots) {
    RuntimeError(in, 210);
    return nullptr;
  }
  return &Files().slots[arg.number];
}

FileSlot* CommandSlot(Interp& in, char sep) {
  TrimInPlace(in.param);
  if (in.param.empty() || in.param[0] != '#') {
    RuntimeError(in, 104);
    return nullptr;
  }
  return CheckSlot(in, ReadSlotArg(in, sep), true);
}

std::string SlotHost(const FileSlot& slot) { return win::HostPath(slot.name); }

unsigned AccessOfMode(uint8_t mode) {
  switch (mode & 3) {
    case 0: return win::kAccessRead;
    case 1: return win::kAccessWrite;
    default: return win::kAccessRead | win::kAccessWrite;
  }
}

unsigned ShareOfMode(uint8_t mode) {
  switch ((mode >> 4) & 7) {
    case 0:
    case 4: return win::kShareRead | win::kShareWrite;
    case 2: return win::kShareRead;
    case 3: return win::kShareWrite;
    default: return 0;
  }
}

std::string SelfDirectory(const Interp& in) {
  if (in.args.empty()) return {};
  const std::string& self = in.args[0];
  size_t slash = self.rfind('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? "/" : self.substr(0, slash);
}

void RegisterIoResult() { RegisterSystemVariable("%IORESULT", IoResult); }

}  // namespace tilmor
