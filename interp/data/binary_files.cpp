// The binary view of the file slots (record size 1, its own position):
// FILEMODE, OPENRW, CLOSERW, SEEK, PUTBYTE, BLOCKWRITE, @GETBYTE,
// @BLOCKREAD, @FILEPOS, @GETFILESIZE and @FILESIZE.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "argreader.h"
#include "commands.h"
#include "data_registry.h"
#include "errors.h"
#include "file_slots.h"
#include "fnargs.h"
#include "functions.h"
#include "winpath.h"

namespace tilmor {
namespace {

// The open binary view, or nullptr with 103 pending.
BinaryFile* OpenView(FileSlot* s) {
  if (!s) return nullptr;
  if (!s->binary.isOpen()) {
    SetIoResult(win::kIoNotOpen);
    return nullptr;
  }
  return &s->binary;
}

// Writes at the view's position; 0 or the error code.
int WriteAt(BinaryFile& b, const uint8_t* data, size_t n) {
  if (!b.canWrite) return win::kIoAccessDenied;
  while (n > 0) {
    ssize_t w = pwrite(b.fd, data, n, b.pos);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return win::kIoWriteError;
    b.pos += w;
    data += w;
    n -= static_cast<size_t>(w);
  }
  return 0;
}

// Reads up to n bytes at the view's position; the count, or -1 (error pending).
int64_t ReadAt(BinaryFile& b, uint8_t* data, size_t n) {
  if (!b.canRead) {
    SetIoResult(win::kIoAccessDenied);
    return -1;
  }
  size_t got = 0;
  while (got < n) {
    ssize_t r = pread(b.fd, data + got, n - got, b.pos);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) {
      SetIoResult(win::IoErrorFromErrno(errno));
      return -1;
    }
    if (r == 0) break;
    got += static_cast<size_t>(r);
    b.pos += r;
  }
  return static_cast<int64_t>(got);
}

void CmdFileMode(Interp& in, int) {
  ReadArg(in, ' ', kAny);
  Files().fileMode = static_cast<uint8_t>(in.res.ival);
}

void CmdOpenRw(Interp& in, int) {
  FileSlot* s = CommandSlot(in, ' ');
  if (!s) return;
  Files().ioResult = 0;
  if (!s->assigned) return SetIoResult(win::kIoNotAssigned);
  if (s->name.empty()) return SetIoResult(win::kIoFileNotFound);
  if (!win::IsValidFileName(s->name)) return SetIoResult(win::kIoInvalidName);
  s->binary.Close();
  const uint8_t mode = Files().fileMode;
  const std::string host = SlotHost(*s);
  unsigned access = AccessOfMode(mode);
  win::OpenedFile f = win::OpenShared(host, access, ShareOfMode(mode), win::Disposition::OpenExisting);
  if (f.fd < 0) {
    access = win::kAccessRead | win::kAccessWrite;
    f = win::OpenShared(host, access, ShareOfMode(mode), win::Disposition::CreateAlways);
  }
  if (f.fd < 0) return SetIoResult(f.error);
  s->binary.fd = f.fd;
  s->binary.canRead = access & win::kAccessRead;
  s->binary.canWrite = access & win::kAccessWrite;
  s->binary.pos = 0;
}

void CmdCloseRw(Interp& in, int) {
  if (BinaryFile* b = OpenView(CommandSlot(in, ' '))) b->Close();
}

void CmdSeek(Interp& in, int) {
  FileSlot* s = CommandSlot(in, ',');
  if (!s) return;
  ReadArg(in, ' ', kNumber);
  int32_t pos = in.res.lval;
  BinaryFile* b = OpenView(s);
  if (!b) return;
  if (pos < 0) return SetIoResult(win::kIoNegativeSeek);
  b->pos = pos;
}

void CmdPutByte(Interp& in, int) {
  FileSlot* s = CommandSlot(in, ',');
  if (!s) return;
  ReadArg(in, ' ', kNumber);
  uint8_t byte = static_cast<uint8_t>(in.res.lval);
  if (BinaryFile* b = OpenView(s)) SetIoResult(WriteAt(*b, &byte, 1));
}

// The area, offset and count of a block transfer, checked against the
// area's size; nullptr after an error.
struct Block {
  Area* area = nullptr;
  int32_t offset = 0, count = 0;
};
Block ReadBlock(Interp& in, char lastSep) {
  Block blk;
  std::string name = TakeAreaName(in);
  ReadArg(in, ',', kNumber);
  blk.offset = in.res.lval;
  ReadArg(in, lastSep, kNumber);
  blk.count = in.res.lval;
  blk.area = DimensionedArea(in, name);
  if (!blk.area) return blk;
  if (blk.offset < 0 || blk.count < 0 ||
      static_cast<int64_t>(blk.offset) + blk.count > static_cast<int64_t>(blk.area->size)) {
    RuntimeError(in, 207);
    blk.area = nullptr;
  }
  return blk;
}

void CmdBlockWrite(Interp& in, int) {
  SlotArg arg = ReadSlotArg(in, ',');
  Block blk = ReadBlock(in, ' ');
  FileSlot* s = CheckSlot(in, arg, false);
  if (!s || !blk.area) return;
  if (BinaryFile* b = OpenView(s))
    SetIoResult(WriteAt(*b, blk.area->block + blk.offset, static_cast<size_t>(blk.count)));
}

void FnBlockRead(Interp& in) {
  SlotArg arg = ReadSlotArg(in, ',');
  Block blk = ReadBlock(in, ')');
  SetResultLong(in, kLong, 0);
  FileSlot* s = CheckSlot(in, arg, false);
  if (!s || !blk.area) return;
  BinaryFile* b = OpenView(s);
  if (!b) return;
  int64_t n = ReadAt(*b, blk.area->block + blk.offset, static_cast<size_t>(blk.count));
  in.res.lval = n < 0 ? 0 : static_cast<int32_t>(n);
}

void FnGetByte(Interp& in) {
  SlotArg arg = ReadSlotArg(in, ')');
  SetResultLong(in, kInteger, 0);
  BinaryFile* b = OpenView(CheckSlot(in, arg, false));
  if (!b) return;
  uint8_t byte = 0;
  int64_t n = ReadAt(*b, &byte, 1);
  if (n == 0) SetIoResult(win::kIoReadPastEnd);
  in.res.lval = n == 1 ? byte : 0;
}

void FnFilePos(Interp& in) {
  SlotArg arg = ReadSlotArg(in, ')');
  SetResultLong(in, kInteger, 0);
  if (BinaryFile* b = OpenView(CheckSlot(in, arg, false))) in.res.lval = static_cast<int32_t>(b->pos);
}

int64_t SizeOf(int fd) {
  struct stat st;
  return fstat(fd, &st) == 0 ? st.st_size : -1;
}

void FnGetFileSize(Interp& in) {
  SlotArg arg = ReadSlotArg(in, ')');
  SetResultLong(in, kInteger, -1);
  if (BinaryFile* b = OpenView(CheckSlot(in, arg, false))) in.res.lval = static_cast<int32_t>(SizeOf(b->fd));
}

// Opens the file as OPENRW would (without creating it), for its size.
void FnFileSize(Interp& in) {
  std::string name = ReadText(in, ')', kRawText);
  SetResultLong(in, kLong, -1);
  const uint8_t mode = Files().fileMode;
  win::OpenedFile f;
  if (!name.empty() && win::IsValidFileName(name))
    f = win::OpenShared(win::HostPath(name), AccessOfMode(mode), ShareOfMode(mode),
                        win::Disposition::OpenExisting);
  if (f.fd < 0) {
    Warning(in, 209, name);
    return;
  }
  int64_t size = SizeOf(f.fd);
  ::close(f.fd);
  in.res.lval = static_cast<int32_t>(size);
}

}  // namespace

void RegisterBinaryFiles() {
  RegisterCommand("FILEMODE", CmdFileMode);
  RegisterCommand("OPENRW", CmdOpenRw);
  RegisterCommand("CLOSERW", CmdCloseRw);
  RegisterCommand("SEEK", CmdSeek);
  RegisterCommand("PUTBYTE", CmdPutByte);
  RegisterCommand("BLOCKWRITE", CmdBlockWrite);
  RegisterFunction("BLOCKREAD", FnBlockRead);
  RegisterFunction("GETBYTE", FnGetByte);
  RegisterFunction("FILEPOS", FnFilePos);
  RegisterFunction("GETFILESIZE", FnGetFileSize);
  RegisterFunction("FILESIZE", FnFileSize);
}

}  // namespace tilmor
