// Windows-style file names on a POSIX file system.
//
// Programs write names the Windows way: "\" or "/" between parts, an
// optional drive prefix "X:", any letter case. ResolvePath turns such a
// name into a host path: drives map through section [Drives] of WIN.INI
// ("C" defaults to "/"), and a part that does not exist as written is
// matched case-insensitively against the directory's entries. An existing
// exact name always wins; a part that does not exist at all is kept as
// written, so new files get the case the program used.
//
// A drive's directory given as a relative path is taken relative to the
// Windows directory.
//
// The current drive is C until CHDIR goes to another drive (or the working
// directory lies only under another drive's root). A name beginning with
// "\" starts at the current drive's root, which for C is "/". A drive has
// no current directory of its own: "X:" and "X:NAME" start at X's root.
#pragma once

#include <string>
#include <string_view>

namespace win {

// The Windows directory: $TILMOR_WINDIR, else $XDG_CONFIG_HOME/tilmor, else
// ~/.config/tilmor.
std::string WindowsDirectory();
// Creates the Windows directory when missing; returns false on failure.
bool EnsureWindowsDirectory();
// Our own "system directory": <Windows directory>/system.
std::string SystemDirectory();

enum class PathError { None, PathNotFound };

struct ResolvedPath {
  std::string host;                  // POSIX path to use with open(2) etc.
  PathError error = PathError::None; // unmapped drive letter
};

// Maps a Windows-style name (Windows-1252) to a host path (UTF-8 bytes).
ResolvedPath ResolvePath(std::string_view name);
// Shorthand: the host path, or "" when the drive is not mapped.
std::string HostPath(std::string_view name);

// The entry of host directory `dir` that the single Windows-1252 name `part`
// refers to (exact, else case-insensitive), or `part` as written; UTF-8.
std::string MatchDirectoryEntry(const std::string& dir, std::string_view part);

// The root host directory of a drive letter (either case), or "" when the
// drive is not mapped.
std::string DriveRootPath(char letter);
// The current drive letter, upper case.
char CurrentDrive();
// Forgets the drive CHDIR chose (tests).
void ResetCurrentDrive();
// The Windows form of an absolute host path ("C:\DIR\SUB", Windows-1252):
// on the current drive when its root holds the path, else on the mapped
// drive with the longest root that does; "" when none does.
std::string WindowsPathOf(const std::string& host);
// The working directory in Windows form.
std::string CurrentDirectory();
// The current directory of a drive: the working directory on the current
// drive, the root ("D:\") on another; "" when the drive is not mapped.
std::string DriveDirectory(char letter);
// SetCurrentDirectoryA: changes the working directory and, with a drive
// prefix, the current drive; ".." never leaves a drive's root. Returns 0 or
// the Windows error code (3 for a drive that is not mapped).
int SetCurrentDirectory(std::string_view name);
// GetFullPathNameA: the name made absolute against the current drive and
// directory, "." and ".." parts removed, "\" between parts. Textual only:
// the file need not exist.
std::string FullPathName(std::string_view name);

// True when the name has a directory part ("\" or "/" or a drive prefix).
bool HasDirectoryPart(std::string_view name);
// True when the last part of the name holds a ".".
bool HasExtension(std::string_view name);
// True when the (resolved) file exists and is a regular file.
bool FileExists(std::string_view name);

}  // namespace win
