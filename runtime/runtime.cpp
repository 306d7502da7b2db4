#include "runtime.h"

#include "chars.h"
#include "codepage.h"
#include "dialogs.h"
#include "loader.h"
#include "messages.h"
#include "tmc_reader.h"
#include "winpath.h"

namespace tilmor::rt {
namespace {

// More than the largest compiled program can hold (32767 records of at
// most 257 bytes and the header), so a longer file reads as damaged.
constexpr size_t kReadLimit = 16u << 20;

bool Read(const std::string& name, std::string& bytes) {
  return !name.empty() && ReadFileBytes(win::HostPath(name), bytes, kReadLimit);
}

bool CanOpen(const std::string& name) {
  return !name.empty() && CanOpenRegularFile(win::HostPath(name));
}

}  // namespace

std::string ChooseCompiledFile(const std::vector<std::string>& args) {
  if (!args.empty()) {
    std::string name = args[0];
    if (!win::HasExtension(name)) name += ".TMC";
    if (ReportUnopenable("tlmrun32", name)) return name;
  }
  for (;;) {
    std::string chosen = Trim(win::AskOpenFileName("TILMOR\xB2-" + MessageText(800),
                                                   "Tilmor-Programm (*.tmc)|*.TMC|All (*.*)|*.*"));
    if (chosen.empty()) return {};
    if (CanOpen(chosen)) return chosen;
  }
}

int RunCompiled(const RunOptions& options) {
  std::vector<std::string> args;
  for (const std::string& a : options.args) args.push_back(win::Utf8ToCp1252(a));
  std::string file = ChooseCompiledFile(args);
  if (file.empty()) {
    MessageBoxA(0, MessageText(803).c_str(), kTitle, MB_ICONERROR);
    return 2;
  }
  std::string bytes;
  if (!Read(file, bytes)) {
    MessageBoxA(0, (MessageText(300) + file).c_str(), kTitle, MB_ICONERROR);
    return 2;
  }
  return RunProgramBytes(options, bytes);
}

int RunProgramBytes(const RunOptions& options, const std::string& bytes) {
  tmc::ReadResult program = tmc::ReadProgram(bytes);
  if (!program.ok) {
    MessageBoxA(0, MessageText(program.error).c_str(), kTitle, MB_ICONERROR);
    return 1;
  }
  return RunLoadedProgram(options, std::move(program.lines));
}

}  // namespace tilmor::rt
