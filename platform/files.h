// Windows file semantics on a POSIX file system: the error codes programs
// see, file attributes, sharing modes between processes, DOS wildcards and
// the directory search of FindFirst/FindNext.
//
// Attributes: read-only follows the write permission; hidden, system and
// archive live in the extended attribute "user.DOSATTRIB" (text "0x..", as
// Samba keeps it) where the file system allows it. A file without it is
// archive, a name beginning with "." is hidden, a directory is 16.
//
// Sharing: every handle opened through OpenShared holds shared
// open-file-description locks on four bytes far beyond any file's end: "has
// read access", "has write access", "denies reading", "denies writing". An
// open tests the bytes that would conflict with it, so two handles - in one
// process or in two - that deny each other access really do. The test and
// the taking of the locks happen under an exclusive flock() of the file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace win {

// Codes of %IORESULT: Windows system errors and the Pascal I/O errors.
enum IoError : int {
  kIoOk = 0,
  kIoFileNotFound = 2,
  kIoPathNotFound = 3,
  kIoTooManyOpenFiles = 4,
  kIoAccessDenied = 5,
  kIoInvalidHandle = 6,
  kIoNotEnoughMemory = 8,
  kIoInvalidDrive = 15,
  kIoNotSameDevice = 17,
  kIoNoMoreFiles = 18,
  kIoWriteProtect = 19,
  kIoGeneralFailure = 31,
  kIoSharingViolation = 32,
  kIoInvalidParameter = 87,
  kIoDiskFull = 112,
  kIoInvalidName = 123,
  kIoNegativeSeek = 131,
  kIoDirNotEmpty = 145,
  kIoAlreadyExists = 183,
  kIoNameTooLong = 206,
  kIoDirectoryName = 267,
  kIoReadPastEnd = 100,
  kIoWriteError = 101,
  kIoNotAssigned = 102,
  kIoNotOpen = 103,
  kIoNotOpenForInput = 104,
  kIoNotOpenForOutput = 105,
  kIoInvalidNumber = 106,
};

// The code a Windows program would see for `err` (an errno value).
int IoErrorFromErrno(int err);
// The same for an operation on `host`: a missing entry is "file not found"
// when its directory exists, else "path not found".
int IoErrorForPath(int err, const std::string& host);

// False when the last part of a Windows name holds a character Windows
// refuses in names (< > : " | ? * and control characters) or is empty.
bool IsValidFileName(std::string_view name);

// Attribute bits (GetFileAttributesA).
constexpr uint32_t kAttrReadOnly = 0x01;
constexpr uint32_t kAttrHidden = 0x02;
constexpr uint32_t kAttrSystem = 0x04;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrArchive = 0x20;
constexpr uint32_t kAttrNormal = 0x80;
constexpr uint32_t kInvalidAttributes = 0xFFFFFFFFu;

// Attributes of a host path; kInvalidAttributes (and *error) on failure.
uint32_t FileAttributes(const std::string& host, int* error = nullptr);
// SetFileAttributesA: read-only, hidden, system, archive; 0 or an error code.
int SetFileAttributes(const std::string& host, uint32_t attributes);

// Access and sharing of OpenShared (CreateFileA).
constexpr unsigned kAccessRead = 1;
constexpr unsigned kAccessWrite = 2;
constexpr unsigned kShareRead = 1;
constexpr unsigned kShareWrite = 2;
enum class Disposition { OpenExisting, CreateAlways };

struct OpenedFile {
  int fd = -1;    // close with ::close; the locks go with it
  int error = 0;  // code when fd < 0
};
// Opens `host` with Windows sharing rules. CreateAlways creates or empties
// the file, but empties it only once the sharing test has passed. A file
// with the read-only attribute cannot be opened for writing.
OpenedFile OpenShared(const std::string& host, unsigned access, unsigned share, Disposition how);
// True while any handle opened by OpenShared is open on the file.
bool FileInUse(const std::string& host);

// DeleteFileA: refuses open and read-only files and directories.
int DeleteFile(const std::string& host);
// MoveFileA: refuses an existing target (unless it is the same file under
// another case) and open files.
int MoveFile(const std::string& from, const std::string& to);
// CreateDirectoryA and RemoveDirectoryA (which refuses the working directory).
int CreateDirectory(const std::string& host);
int RemoveDirectory(const std::string& host);

// DOS wildcard match of a Windows-1252 name: "*" and "?" with the DOS rules
// ("*.*" matches names without a point, "?" may match nothing before a
// point or the end), letters compared case-insensitively.
bool MatchesDosMask(std::string_view name, std::string_view mask);

struct FoundEntry {
  std::string name;  // Windows-1252
  uint32_t attributes = 0;
};

// FindFirstFile/FindNextFile over a mask such as "C:\DATA\*.TXT": every
// entry of every attribute, "." and ".." first outside a root, the rest
// ordered case-insensitively as NTFS lists them.
class FileSearch {
 public:
  // False when nothing matches (the directory may not exist).
  bool Start(std::string_view mask);
  std::optional<FoundEntry> Next();

 private:
  std::vector<FoundEntry> entries_;
  size_t next_ = 0;
};

// Size and free space of the file system holding `host`, in bytes.
bool DiskSpace(const std::string& host, uint64_t* total, uint64_t* available);

}  // namespace win
