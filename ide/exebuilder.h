// Stand-alone programs: a copy of the runtime module with a compiled
// program at its end, written beside the source as an executable file.
#pragma once

#include <string>

namespace ide {

// The executable's name beside the source (Windows-1252): the source's
// name without extension; a screen saver gets ".scr".
std::string ExecutableName(const std::string& source, bool screenSaver);

// Reads the runtime module and the compiled program (host paths), writes
// the executable (mode 755). False with a German message in *error.
bool WriteExecutable(const std::string& runtimeHost, const std::string& compiledHost,
                     const std::string& outputHost, bool screenSaver, std::string* error);

}  // namespace ide
