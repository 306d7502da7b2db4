// INI files of programs: WRITEINI and @READINI$. Every call reads and
// writes the file itself, so changes by other programs are seen at once.
#include "argreader.h"
#include "chars.h"
#include "commands.h"
#include "control.h"
#include "data_registry.h"
#include "errors.h"
#include "fnargs.h"
#include "functions.h"
#include "profile.h"

namespace tilmor {
namespace {

// WRITEINI file, section, key = value
void CmdWriteIni(Interp& in, int) {
  ReadArg(in, ',', kRawText);
  std::string file = in.res.text;
  ReadArg(in, ',', kAny);
  std::string section = ResultText(in);
  ReadArg(in, '=', kAny);
  std::string key = ResultText(in);
  ReadArg(in, ' ', kAny);
  std::string value = ResultText(in);
  if (file.empty() || !WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()))
    Warning(in, 303, file);
}

void FnReadIni(Interp& in) {
  std::string file = ReadText(in, ',', kRawText);
  std::string section = ReadText(in, ',');
  std::string key = ReadText(in, ')');
  char buffer[255];
  uint32_t n = file.empty() ? 0
                            : GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer,
                                                       sizeof buffer, file.c_str());
  SetResultText(in, Trim(std::string_view(buffer, n)));
}

}  // namespace

void RegisterIniFiles() {
  RegisterCommand("WRITEINI", CmdWriteIni);
  RegisterFunction("READINI$", FnReadIni);
}

}  // namespace tilmor
