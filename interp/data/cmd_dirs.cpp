// Directories and drives: CHDIR, MKDIR, RMDIR, @GETDIR$, @DISKSIZE,
// @DISKFREE and $DRIVE.
#include <algorithm>

#include "argreader.h"
#include "chars.h"
#include "commands.h"
#include "data_registry.h"
#include "file_slots.h"
#include "fnargs.h"
#include "functions.h"
#include "sysvars.h"
#include "winpath.h"

namespace tilmor {
namespace {

// A trailing backslash goes unless the path is a drive root such as C:\.
std::string DirectoryArgument(Interp& in) {
  ReadArg(in, ' ', kRawText);
  std::string path = in.res.text;
  if (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

void CmdChDir(Interp& in, int) { SetIoResult(win::SetCurrentDirectory(DirectoryArgument(in))); }

void CmdMkDir(Interp& in, int) {
  std::string path = DirectoryArgument(in);
  if (path.empty() || !win::IsValidFileName(path)) return SetIoResult(win::kIoInvalidName);
  SetIoResult(win::CreateDirectory(win::HostPath(path)));
}

void CmdRmDir(Interp& in, int) {
  std::string path = DirectoryArgument(in);
  if (path.empty()) return SetIoResult(win::kIoPathNotFound);
  SetIoResult(win::RemoveDirectory(win::HostPath(path)));
}

// "A" is drive 1 ... ; an empty text or "@" (drive 0) is the current drive;
// 0 for anything else.
char DriveLetter(const std::string& arg) {
  if (arg.empty()) return win::CurrentDrive();
  char c = UpperChar(arg[0]);
  if (c == '@') return win::CurrentDrive();
  return c >= 'A' && c <= 'Z' ? c : 0;
}

void FnGetDir(Interp& in) {
  char letter = DriveLetter(ReadText(in, ')'));
  if (!letter) return SetResultText(in, "");
  std::string dir = win::DriveDirectory(letter);
  // A drive that does not exist reports its root, as GetDir does.
  SetResultText(in, dir.empty() ? std::string(1, letter) + ":\\" : dir);
}

void DiskFigure(Interp& in, bool free) {
  char letter = DriveLetter(ReadText(in, ')'));
  SetResultLong(in, kLong, -1);
  std::string root = letter ? win::DriveRootPath(letter) : std::string();
  uint64_t total, available;
  if (root.empty() || !win::DiskSpace(root, &total, &available)) return;
  in.res.lval = static_cast<int32_t>(std::min<uint64_t>(free ? available : total, 2147483647u));
}

void Drive(Interp& in) {
  in.res.type = kString;
  in.res.text = std::string(1, win::CurrentDrive()) + ":";
}

}  // namespace

void RegisterDirectories() {
  RegisterCommand("CHDIR", CmdChDir);
  RegisterCommand("MKDIR", CmdMkDir);
  RegisterCommand("RMDIR", CmdRmDir);
  RegisterFunction("GETDIR$", FnGetDir);
  RegisterFunction("DISKSIZE", [](Interp& in) { DiskFigure(in, false); });
  RegisterFunction("DISKFREE", [](Interp& in) { DiskFigure(in, true); });
  RegisterSystemVariable("$DRIVE", Drive);
}

}  // namespace tilmor
