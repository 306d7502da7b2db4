// Windows-style file names on a POSIX file system.
//
// Programs write names the Windows way: "\" or "/" between parts, an
// optional drive prefix "X:", any letter case. ResolvePath turns such a
// name into a host path: drives map through section [Drives] of WIN.INI
// ("C" defaults to "/"), and a part that does not exist as written is
// matched case-insensitively against the directory's entries. An existing
// exact name always wins; a part that does not exist at all is kept as
// written, so new files get the case the program used.
#pragma once

#include <string>
#include <string_view>

namespace win {

// The Windows directory: $TILMOR_WINDIR, else ~/.config/tilmor.
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

// True when the name has a directory part ("\" or "/" or a drive prefix).
bool HasDirectoryPart(std::string_view name);
// True when the last part of the name holds a ".".
bool HasExtension(std::string_view name);
// True when the (resolved) file exists and is a regular file.
bool FileExists(std::string_view name);

}  // namespace win
