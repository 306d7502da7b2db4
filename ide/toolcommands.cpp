#include "toolcommands.h"

#include "winpath.h"

namespace ide {

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

std::string Unquoted(const std::string& s) {
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
  return s;
}

std::string InterpreterCommand(const std::string& file) { return "SHTILMOR.EXE " + Quoted(file); }
std::string CompilerCommand(const std::string& file) { return "SHTMCOMP.EXE " + Quoted(file); }
std::string ScriptCommand(const std::string& file) { return "TILMSCR.EXE " + Quoted(file); }

std::string FileNamePart(const std::string& name) {
  size_t sep = name.find_last_of("\\/");
  if (sep == std::string::npos && name.size() >= 2 && name[1] == ':') return name.substr(2);
  return sep == std::string::npos ? name : name.substr(sep + 1);
}

std::string DirectoryPart(const std::string& name) {
  return name.substr(0, name.size() - FileNamePart(name).size());
}

std::string BaseName(const std::string& name) {
  std::string leaf = FileNamePart(name);
  size_t dot = leaf.find_last_of('.');
  return dot == std::string::npos ? leaf : leaf.substr(0, dot);
}

std::string FindCompiledProgram(const std::string& source) {
  std::string compiled = BaseName(source) + ".TMC";
  if (win::FileExists(compiled)) return compiled;
  std::string beside = DirectoryPart(source) + compiled;
  if (!DirectoryPart(source).empty() && win::FileExists(beside)) return beside;
  return {};
}

std::string RuntimeCommand(const std::string& runtime, const std::string& program, bool found) {
  return runtime + " " + (found ? Quoted(program) : program);
}

std::string HelperCommand(const std::string& runtime, const std::string& programDir,
                          const std::string& file) {
  return runtime + " " + Quoted(programDir + file);
}

std::string DefaultRuntime(const std::string& programDir) {
  std::string path = programDir + "TLMRUN32.EXE";
  // A blank would end the program name of the command line.
  return path.find(' ') == std::string::npos ? path : Quoted(path);
}

}  // namespace ide
