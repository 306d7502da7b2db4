#include "compiler.h"

#include <sys/stat.h>

#include <cstdio>

#include "chars.h"
#include "interrupt.h"
#include "loader.h"
#include "messages.h"
#include "prepare.h"
#include "tmc_format.h"
#include "winpath.h"

namespace tilmor::comp {
namespace {

// The output file; every failure to write is remembered so that a full
// disk is never reported as success.
class Output {
 public:
  ~Output() { Close(); }
  bool Open(const std::string& name) {
    std::string host = win::HostPath(name);
    f_ = host.empty() ? nullptr : std::fopen(host.c_str(), "wb");
    ok_ = f_ != nullptr;
    return ok_;
  }
  void Write(const std::string& bytes) {
    if (f_ && std::fwrite(bytes.data(), 1, bytes.size(), f_) != bytes.size()) ok_ = false;
  }
  bool Close() {
    if (!f_) return ok_;
    if (std::fclose(f_) != 0) ok_ = false;
    f_ = nullptr;
    return ok_;
  }
  bool ok() const { return ok_; }

 private:
  FILE* f_ = nullptr;
  bool ok_ = false;
};

// A source named like its output (a ".tmc" given as source) must not be
// emptied by creating the output.
bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  std::string ha = win::HostPath(a), hb = win::HostPath(b);
  if (ha.empty() || hb.empty() || stat(ha.c_str(), &sa) != 0 || stat(hb.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

int Fail(CompilerUi& ui, const std::string& text, const std::string& title, int code) {
  ui.Box(text, title, MB_ICONERROR);
  ui.CloseProgress();
  return code;
}

}  // namespace

std::string OutputName(const std::string& source) {
  size_t part = source.find_last_of("\\/:");
  size_t start = part == std::string::npos ? 0 : part + 1;
  size_t dot = source.rfind('.');
  if (dot == std::string::npos || dot < start) return source + ".tmc";
  return source.substr(0, dot + 1) + "tmc";
}

std::string DisplayText(int line, const std::string& stored) {
  return MessageText(801) + PadLeft(std::to_string(line), 6) + ": " + Trim(stored);
}

// A signal asked the compiler to end.
constexpr int kExitInterrupted = 255;

int Compile(const std::vector<std::string>& args, CompilerUi& ui, const std::string& includePath) {
  ui.OpenProgress();

  std::string source;
  if (!args.empty()) {
    source = args[0];
    if (!win::HasExtension(source)) source += ".TMF";
  } else {
    source = Trim(ui.ChooseSource());
    if (source.empty()) return Fail(ui, MessageText(804), kCompilerTitle, 2);
  }

  if (!ReportUnopenable("shtmcomp", source))
    return Fail(ui, MessageText(301) + source, kCompilerTitle, 2);

  const std::string output = OutputName(source);
  Output out;
  if (SameFile(source, output) || !out.Open(output)) return Fail(ui, MessageText(301) + output, kCompilerTitle, 2);

  ui.TextAt(2, 2, MessageText(908));
  ui.TextAt(2, 3, output);
  ui.TextAt(2, 5, MessageText(907));

  LoadResult loaded = LoadProgram(source, LoaderKind::Compiler, includePath);
  if (win::InterruptRequested()) return kExitInterrupted;
  if (!loaded.ok) return Fail(ui, loaded.failure.text, loaded.failure.title, loaded.failure.exitCode);

  uint8_t random[tmc::kRandomCount];
  if (loaded.protect) tmc::DrawProtectionBytes(random);
  const std::string header = tmc::MakeHeader(loaded.protect ? random : nullptr);
  const uint8_t key = tmc::KeyOf(header);
  out.Write(header);

  const LineTable& lines = loaded.table;
  tmc::Encoder encoder(lines);
  bool operatorMode = false;
  std::string content, error;
  for (int n = 1; n <= lines.count(); ++n) {
    if (win::InterruptRequested()) {
      out.Close();  // as after a compile error, the records written so far stay
      return kExitInterrupted;
    }
    PreparedLine prep = PrepareLine(lines[n], operatorMode);
    if (IsOperatorModeSwitch(prep.cmd)) operatorMode = prep.cmd[2] == '+';
    if (!encoder.EncodeLine(n, prep, content, error)) {
      out.Close();  // the records written so far stay
      return Fail(ui, DisplayText(n, lines[n]), error, 2);
    }
    out.Write(tmc::MakeRecord(content, key));
    ui.TextAt(19, 5, PadLeft(std::to_string(n), 4));
  }

  if (!out.Close()) return Fail(ui, MessageText(303) + output, kCompilerTitle, 2);
  ui.Box(MessageText(909), kWindowTitle, MB_ICONEXCLAMATION);
  ui.CloseProgress();
  return 0;
}

}  // namespace tilmor::comp
