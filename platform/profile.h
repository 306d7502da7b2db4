// Profile (INI) files with Win32 semantics.
//
// Section and key names compare case-insensitively; a file name without a
// directory part lives in the Windows directory; the file is read and
// written as Windows-1252 bytes with CR LF line ends. A missing file,
// section or key yields the default (without its trailing blanks). A write
// creates the file and the section as needed and keeps every other line
// byte for byte.
#pragma once

#include <cstdint>
#include <string>

// Win32 shapes. `section` == nullptr lists the section names, `key` ==
// nullptr the keys of the section, each followed by a NUL and the list by a
// second NUL. Returns the number of characters copied (without the final NUL).
uint32_t GetPrivateProfileStringA(const char* section, const char* key, const char* def,
                                  char* buffer, uint32_t size, const char* file);
// `key` == nullptr deletes the section, `value` == nullptr deletes the key.
// Returns nonzero on success.
int WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                               const char* file);
// The same on WIN.INI in the Windows directory.
uint32_t GetProfileStringA(const char* section, const char* key, const char* def, char* buffer,
                           uint32_t size);
int WriteProfileStringA(const char* section, const char* key, const char* value);

namespace win {
// Convenience forms for the interpreter: a value of at most 255 characters.
std::string ProfileString(const std::string& section, const std::string& key,
                          const std::string& def, const std::string& file);
std::string WinIniString(const std::string& section, const std::string& key,
                         const std::string& def);
// The host path a profile file name refers to.
std::string ProfilePath(const std::string& file);
}  // namespace win
