// A compiled program carried at the end of a copy of the runtime module:
// the stand-alone programs and screen savers the editor makes.
//
// Layout after the runtime's own bytes: the compiled program, the
// directory of the runtime module that was copied (where its window-system
// module lies), then a trailer of 40 bytes: "TILMOR-PROGRAMM\0", the offset
// of the program (8 bytes) and its size, the flags and the size of the
// directory (4 bytes each), all little-endian, and 4 bytes zero.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tilmor::rt {

constexpr uint32_t kAppendedScreenSaver = 1;  // full screen, ended by any input
constexpr size_t kAppendedTrailerSize = 40;

struct AppendedProgram {
  std::string program;    // the compiled program's bytes
  uint32_t flags = 0;
  std::string moduleDir;  // host path
};

// The executable: `runtime` (the module's bytes) with `a` appended.
std::string AppendProgram(const std::string& runtime, const AppendedProgram& a);

// The program at the end of the file `path`, reading only its end and the
// program; nullopt when there is none or the trailer does not fit the file.
std::optional<AppendedProgram> ReadAppendedProgram(const std::string& path);

// The runtime's own bytes of a file that may carry a program already.
std::string_view RuntimePart(std::string_view exe);

}  // namespace tilmor::rt
