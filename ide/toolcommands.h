// The command lines the editor starts its tools with. Names are
// Windows-1252, as the process layer takes them.
#pragma once

#include <string>

namespace ide {

std::string Quoted(const std::string& s);
// The text without one pair of surrounding double quotes.
std::string Unquoted(const std::string& s);

std::string InterpreterCommand(const std::string& file);  // SHTILMOR.EXE "file"
std::string CompilerCommand(const std::string& file);     // SHTMCOMP.EXE "file"
std::string ScriptCommand(const std::string& file);       // TILMSCR.EXE "file"

// The compiled program of a source file: its name without directory and
// extension with ".TMC", in the current directory, else beside the source.
// "" when neither exists.
std::string FindCompiledProgram(const std::string& source);
// The runtime module with the compiled program: quoted when it was found,
// as given when the user chose it.
std::string RuntimeCommand(const std::string& runtime, const std::string& program, bool found);

// The runtime module with a tool program of the "&Helfer" menu beside the
// editor: runtime "programDir + file".
std::string HelperCommand(const std::string& runtime, const std::string& programDir,
                          const std::string& file);

// The program directory (with its separator at the end) and the default
// runtime module in it.
std::string DefaultRuntime(const std::string& programDir);

// The file part of a name (after the last "\" or "/").
std::string FileNamePart(const std::string& name);
// The directory part with its separator ("" when there is none).
std::string DirectoryPart(const std::string& name);
// The file part without its extension.
std::string BaseName(const std::string& name);

}  // namespace ide
