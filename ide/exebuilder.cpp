#include "exebuilder.h"

#include <sys/stat.h>

#include "appended.h"
#include "codepage.h"
#include "toolcommands.h"
#include "wintext.h"

namespace ide {

std::string ExecutableName(const std::string& source, bool screenSaver) {
  std::string name = DirectoryPart(source) + BaseName(source);
  return screenSaver ? name + ".scr" : name;
}

bool WriteExecutable(const std::string& runtimeHost, const std::string& compiledHost,
                     const std::string& outputHost, bool screenSaver, std::string* error) {
  std::string runtime, program;
  if (!ReadHostFile(runtimeHost, runtime) || runtime.empty()) {
    *error = "Das Runtime-Modul kann nicht gelesen werden: " + win::Utf8ToCp1252(runtimeHost);
    return false;
  }
  if (!ReadHostFile(compiledHost, program) || program.empty()) {
    *error = "Das compilierte Programm kann nicht gelesen werden: " + win::Utf8ToCp1252(compiledHost);
    return false;
  }
  tilmor::rt::AppendedProgram a;
  a.program = program;
  a.flags = screenSaver ? tilmor::rt::kAppendedScreenSaver : 0;
  a.moduleDir = runtimeHost.substr(0, runtimeHost.find_last_of('/'));
  if (!WriteHostFile(outputHost, tilmor::rt::AppendProgram(runtime, a)) ||
      chmod(outputHost.c_str(), 0755) != 0) {
    *error = "Die Datei kann nicht geschrieben werden: " + win::Utf8ToCp1252(outputHost);
    return false;
  }
  return true;
}

}  // namespace ide
