// libFuzzer target: arbitrary bytes as a source program. The loader fills
// its line table (with an include file beside it), every stored line is
// prepared with operator mode off and on, and reading the bytes from a file
// a piece at a time must give the lines that splitting them in memory gives.
// The first byte chooses how much of the file the encoding is judged on.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "chars.h"
#include "loader.h"
#include "prepare.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

std::string g_dir;

void RemoveDir() {
  for (const char* f : {"main.tmf", "a.inc"}) unlink((g_dir + "/" + f).c_str());
  rmdir((g_dir + "/.windir").c_str());
  rmdir(g_dir.c_str());
}

void Setup() {
  if (!g_dir.empty()) return;
  // In memory where there is a place for it: a file is written each run.
  char tmpl[] = "/dev/shm/tilmor_source_fuzz_XXXXXX";
  char fallback[] = "/tmp/tilmor_source_fuzz_XXXXXX";
  char* made = mkdtemp(tmpl);
  if (!made) made = mkdtemp(fallback);
  Check(made != nullptr);
  g_dir = made;
  std::atexit(RemoveDir);
  Check(chdir(g_dir.c_str()) == 0);
  Check(mkdir(".windir", 0700) == 0);
  setenv("TILMOR_WINDIR", (g_dir + "/.windir").c_str(), 1);
  int fd = open("a.inc", O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const char inc[] = "PRINT \"inc\" ' note\r\nX = 1 +\\\r\n 2\r\n";
  Check(write(fd, inc, sizeof inc - 1) == static_cast<ssize_t>(sizeof inc - 1));
  close(fd);
}

void WriteFile(const char* name, std::string_view bytes) {
  int fd = open(name, O_WRONLY | O_CREAT | O_TRUNC, 0600);
  Check(fd >= 0);
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    Check(n > 0);
    done += static_cast<size_t>(n);
  }
  close(fd);
}

// Include names that leave the fuzzer's directory would read the machine's
// files; such inputs are not tried.
bool ReachesOutside(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    size_t e = bytes.find_first_of("\r\n", i);
    if (e == std::string_view::npos) e = bytes.size();
    std::string_view line = tilmor::TrimView(bytes.substr(i, e - i));
    if (line.substr(0, 2) == "$I" && line.find_first_of("/\\:.~", 2) != std::string_view::npos &&
        line.find("a.inc") == std::string_view::npos)
      return true;
    i = e + 1;
  }
  return false;
}

// Reads the file as the loader does, again with a longer first look
// whenever the encoding turns out otherwise.
std::vector<std::string> ReadInPieces(size_t prescan) {
  for (int round = 0; round < 4; ++round) {
    int fd = open("main.tmf", O_RDONLY);
    Check(fd >= 0);
    tilmor::SourceLines src(fd, prescan);
    std::vector<std::string> lines;
    std::string line;
    bool changed = false;
    while (src.Next(line)) {
      if ((changed = src.EncodingChanged())) break;
      lines.push_back(line);
    }
    changed = changed || src.EncodingChanged();
    size_t consumed = src.Consumed();
    Check(!src.ReadFailed());
    close(fd);
    if (!changed) return lines;
    Check(consumed > prescan);
    prescan = consumed;
  }
  Check(false);  // a judgement changes at most twice
  return {};
}

void Prepare(const std::string& line) {
  for (bool op : {false, true}) {
    tilmor::PreparedLine p = tilmor::PrepareLine(line, op);
    Check(p.cmd.size() <= 255 && p.param.size() <= 255);
    if (!p.cmd.empty()) Check(p.cmd == tilmor::UpperCase(p.cmd) || p.cmd == "@");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Setup();
  if (size == 0) return 0;
  size_t prescan = 1 + data[0] % 64;
  std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (ReachesOutside(bytes)) return 0;
  WriteFile("main.tmf", bytes);

  std::vector<std::string> whole = tilmor::SplitSourceLines(std::string(bytes));
  Check(ReadInPieces(prescan) == whole);
  for (const std::string& l : whole) Check(l.size() <= tilmor::kPhysicalLineMax);

  for (tilmor::LoaderKind kind : {tilmor::LoaderKind::Interpreter, tilmor::LoaderKind::Compiler}) {
    tilmor::LoadResult r = tilmor::LoadProgram("main.tmf", kind, "");
    if (!r.ok) {
      Check(!r.failure.text.empty() && r.failure.exitCode == 1 && r.table.count() <= tilmor::kMaxLines);
      continue;
    }
    Check(r.table.count() <= tilmor::kMaxLines);
    Check(r.table.count() >= static_cast<int>(whole.size()));
    for (int n = 1; n <= r.table.count(); ++n) {
      Check(r.table[n].size() <= tilmor::kMaxLineLength);
      if (kind == tilmor::LoaderKind::Interpreter) Prepare(r.table[n]);
    }
  }
  return 0;
}
