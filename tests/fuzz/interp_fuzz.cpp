// libFuzzer target: arbitrary bytes as a short program, run by the
// interpreter in batch mode without a window system, at most a few
// thousand lines. The program lives in a sandbox: drive C: is a scratch
// directory (emptied after each run), programs and ports cannot be
// started or touched, and as root the program's file accesses are those
// of nobody (libFuzzer's own stay root's, but for the file of an input
// that crashes: its directory must let nobody write).
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "batch.h"
#include "builtins.h"
#include "chars.h"
#include "commands.h"
#include "errors.h"
#include "functions.h"
#include "gui_module.h"
#include "loader.h"
#include "mainwindow.h"
#include "startup.h"
#include "userfn.h"

namespace {

constexpr uint64_t kLineLimit = 3000;
constexpr uid_t kNobody = 65534;

// File accesses as nobody while a program runs (as root only).
struct AsNobody {
  bool root = geteuid() == 0;
  AsNobody() {
    if (!root) return;
    setfsgid(kNobody);
    setfsuid(kNobody);
  }
  ~AsNobody() {
    if (!root) return;
    setfsuid(0);
    setfsgid(0);
  }
};

void Check(bool ok) {
  if (!ok) std::abort();
}

std::string g_root, g_sandbox;

void Write(const std::string& path, std::string_view bytes) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  Check(fd >= 0);
  Check(write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()));
  close(fd);
}

// Removes everything the last program left in the sandbox.
void Empty(const std::string& dir) {
  DIR* d = opendir(dir.c_str());
  if (!d) return;
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    std::string path = dir + "/" + name;
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) continue;
    chmod(path.c_str(), 0700);
    if (S_ISDIR(st.st_mode)) {
      Empty(path);
      rmdir(path.c_str());
    } else {
      unlink(path.c_str());
    }
  }
  closedir(d);
}

void RemoveAll() {
  Empty(g_root);
  rmdir(g_root.c_str());
}

void Refused(tilmor::Interp& in, int) { tilmor::RuntimeError(in, 999); }
void RefusedFunction(tilmor::Interp& in) { tilmor::RuntimeError(in, 999); }
void RefusedDll(tilmor::Interp& in, const std::string&, int) { tilmor::RuntimeError(in, 999); }

// The builtins, less what reaches outside the sandbox: other programs, the
// machine's ports and ODBC (a connection string can name any driver library).
void RegisterSafeBuiltins() {
  tilmor::RegisterBuiltins();
  for (const char* c : {"SHELL", "RUN", "OUTP", "OUTPB"}) tilmor::RegisterCommand(c, Refused);
  for (const char* f : {"WINEXEC", "WINEXECWAIT", "INP", "INPB", "SQLINIT", "USEDLL", "OPENCOM"})
    tilmor::RegisterFunction(f, RefusedFunction);
  // Library functions and the 16-bit helper program reach anything.
  tilmor::SetDllBodyHandler(RefusedDll);
}

void Setup() {
  if (!g_root.empty()) return;
  // In memory where there is a place for it; under TILMOR_FUZZ_DIR when
  // the caller wants to clear it up afterwards.
  std::string base = "/tmp";
  if (const char* d = std::getenv("TILMOR_FUZZ_DIR"); d && *d)
    base = d;
  else if (access("/dev/shm", W_OK) == 0)
    base = "/dev/shm";
  std::string tmpl = base + "/tilmor_interp_fuzz_XXXXXX";
  char* made = mkdtemp(tmpl.data());
  Check(made != nullptr);
  g_root = made;
  g_sandbox = g_root + "/c";
  std::string windir = g_root + "/windir";
  Check(chmod(g_root.c_str(), 0755) == 0);
  Check(mkdir(g_sandbox.c_str(), 0777) == 0 && mkdir(windir.c_str(), 0755) == 0);
  Write(windir + "/WIN.INI", "[Drives]\r\nC=" + g_sandbox + "\r\n");
  Check(chmod((windir + "/WIN.INI").c_str(), 0644) == 0);
  // A file that grows too big is an error of the write, not a signal.
  signal(SIGXFSZ, SIG_IGN);
  struct rlimit fsize = {16 << 20, 16 << 20};
  setrlimit(RLIMIT_FSIZE, &fsize);
  setenv("TILMOR_WINDIR", windir.c_str(), 1);
  setenv("HOME", g_sandbox.c_str(), 1);
  Check(chdir(g_sandbox.c_str()) == 0);
  if (geteuid() == 0) Check(chown(g_sandbox.c_str(), kNobody, kNobody) == 0);
  std::atexit(RemoveAll);
  win::SetBatchMode(true);
  win::ForbidGui();
  // No interrupt handler: SIGINT and SIGTERM stay libFuzzer's.
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Setup();
  if (size > 4096) return 0;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  AsNobody nobody;
  // The last program may have taken the rights to its directory.
  chmod(g_sandbox.c_str(), 0777);
  Empty(g_sandbox);
  std::string prog = g_sandbox + "/P.TMF";
  // A third of the runs go on after errors (level -1: every command must
  // then finish cleanly with what it has), a third stop silently (0).
  static const char* const kLevels[3] = {"", "SETERRORLEVEL -1\r\n", "SETERRORLEVEL 0\r\n"};
  Write(prog, kLevels[size % 3] + std::string(bytes));
  tilmor::LoadResult loaded = tilmor::LoadProgram("P.TMF", tilmor::LoaderKind::Interpreter, "");
  if (loaded.ok) {
    // The window's settings outlive a run (WINDOW, COLOR, FONT ...); each
    // input starts from the defaults, so that it always does the same.
    tilmor::MW() = tilmor::MainWindowState{};
    tilmor::RunOptions opt;
    opt.batch = true;
    opt.self = "/usr/bin/tilmor";
    opt.args = {"P.TMF", "eins", "2"};
    opt.registerBuiltins = RegisterSafeBuiltins;
    opt.lineLimit = kLineLimit;
    int code = tilmor::RunLoadedProgram(opt, std::move(loaded.table));
    Check(code == 0 || code == 3 || code == 255);
  }
  Empty(g_sandbox);
  return 0;
}
