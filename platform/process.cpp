#include "process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "ascii.h"
#include "codepage.h"
#include "files.h"
#include "winpath.h"

extern char** environ;

namespace win {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool EndsWithExe(std::string_view s) {
  if (s.size() < 4) return false;
  std::string_view e = s.substr(s.size() - 4);
  return e[0] == '.' && (e[1] | 0x20) == 'e' && (e[2] | 0x20) == 'x' && (e[3] | 0x20) == 'e';
}

// 0 when `path` is an executable file, else the WinExec error for it.
int ExecutableError(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return kIoFileNotFound;
  if (!S_ISREG(st.st_mode)) return kIoAccessDenied;
  return access(path.c_str(), X_OK) == 0 ? 0 : kIoAccessDenied;
}

// Looks for one of `stems` (Windows-1252) in host directory `dir`.
std::string FindIn(const std::string& dir, const std::vector<std::string>& stems, int* error) {
  for (const std::string& stem : stems) {
    std::string utf8 = Cp1252ToUtf8(stem);
    for (const std::string& leaf : {utf8, AsciiLower(utf8), MatchDirectoryEntry(dir, stem)}) {
      std::string path = dir.empty() || dir == "." ? leaf : (dir.back() == '/' ? dir + leaf : dir + "/" + leaf);
      int e = ExecutableError(path);
      if (e == 0) return path;
      if (e != kIoFileNotFound) *error = e;
    }
  }
  return {};
}

std::vector<std::string> Stems(std::string_view name) {
  std::vector<std::string> stems{std::string(name)};
  if (EndsWithExe(name)) stems.emplace_back(name.substr(0, name.size() - 4));
  return stems;
}

struct Prepared {
  std::vector<std::string> args;  // UTF-8
  std::vector<char*> argv;
  int error = 0;
};

Prepared Prepare(std::string_view commandLine, const std::string& selfDir) {
  Prepared p;
  std::vector<std::string> words = SplitCommandLine(commandLine);
  if (words.empty()) {
    p.error = kIoFileNotFound;
    return p;
  }
  std::string path = FindProgram(words[0], selfDir, &p.error);
  if (path.empty()) return p;
  p.args.push_back(path);
  for (size_t i = 1; i < words.size(); ++i) p.args.push_back(Cp1252ToUtf8(words[i]));
  for (std::string& a : p.args) p.argv.push_back(a.data());
  p.argv.push_back(nullptr);
  return p;
}

int SpawnError(int err) {
  switch (err) {
    case ENOENT: return kIoFileNotFound;
    case EACCES:
    case EPERM: return kIoAccessDenied;
    case ENOEXEC: return 11;
    default: return 0;
  }
}

// Fork twice so that the program belongs to nobody here; a pipe that exec
// closes tells whether it started.
int StartOnItsOwn(char* const* argv, bool searchPath, bool hidden) {
  int pipefd[2];
  if (pipe2(pipefd, O_CLOEXEC) != 0) return ENOMEM;
  pid_t mid = fork();
  if (mid < 0) {
    close(pipefd[0]);
    close(pipefd[1]);
    return ENOMEM;
  }
  if (mid == 0) {
    pid_t child = fork();
    if (child == 0) {
      setsid();
      sigset_t none;
      sigemptyset(&none);
      sigprocmask(SIG_SETMASK, &none, nullptr);
      signal(SIGPIPE, SIG_DFL);
      if (hidden) {
        int null = open("/dev/null", O_RDWR);
        if (null >= 0) {
          dup2(null, 0);
          dup2(null, 1);
          dup2(null, 2);
          if (null > 2) close(null);
        }
      }
      if (searchPath)
        execvp(argv[0], argv);
      else
        execv(argv[0], argv);
      int e = errno;
      ssize_t ignored = write(pipefd[1], &e, sizeof e);
      (void)ignored;
      _exit(127);
    }
    _exit(child < 0 ? 1 : 0);
  }
  close(pipefd[1]);
  int status = 0;
  while (waitpid(mid, &status, 0) < 0 && errno == EINTR) {
  }
  int err = 0;
  ssize_t n;
  while ((n = read(pipefd[0], &err, sizeof err)) < 0 && errno == EINTR) {
  }
  close(pipefd[0]);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return ENOMEM;
  return n == static_cast<ssize_t>(sizeof err) ? err : 0;
}

// posix_spawn of a prepared command line; hidden: no terminal input or
// output; ownSession: a session of its own with no signals blocked, so that
// it outlives us and can be stopped on its own. 0 or the errno.
int Spawn(char* const* argv, bool hidden, bool ownSession, pid_t* pid) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (hidden)
    for (int fd = 0; fd <= 2; ++fd) posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", O_RDWR, 0);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  if (ownSession) {
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK);
  }
  int rc = posix_spawn(pid, argv[0], &actions, &attr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  return rc;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < line.size() && IsBlank(line[i])) ++i;
  if (i == line.size()) return out;
  // The program name: quotes group, backslashes are plain.
  std::string name;
  bool quoted = false;
  for (; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && IsBlank(c)) {
      break;
    } else {
      name += c;
    }
  }
  out.push_back(name);
  for (;;) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i == line.size()) break;
    std::string arg;
    quoted = false;
    while (i < line.size()) {
      char c = line[i];
      if (c == '\\') {
        size_t n = 0;
        while (i < line.size() && line[i] == '\\') ++n, ++i;
        if (i < line.size() && line[i] == '"') {
          arg.append(n / 2, '\\');
          if (n % 2) {
            arg += '"';
            ++i;
          }
        } else {
          arg.append(n, '\\');
        }
        continue;
      }
      if (c == '"') {
        if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
          arg += '"';
          i += 2;
          continue;
        }
        quoted = !quoted;
        ++i;
        continue;
      }
      if (!quoted && IsBlank(c)) break;
      arg += c;
      ++i;
    }
    out.push_back(arg);
  }
  return out;
}

std::string FindProgram(std::string_view name, const std::string& selfDir, int* error) {
  int dummy;
  if (!error) error = &dummy;
  *error = kIoFileNotFound;
  if (name.empty()) return {};
  if (HasDirectoryPart(name)) {
    size_t sep = name.find_last_of("\\/");
    std::string_view dirPart = sep == std::string_view::npos ? name.substr(0, 2) : name.substr(0, sep + 1);
    std::string_view leaf = sep == std::string_view::npos ? name.substr(2) : name.substr(sep + 1);
    ResolvedPath dir = ResolvePath(dirPart);
    struct stat st;
    if (dir.error != PathError::None || dir.host.empty() || stat(dir.host.c_str(), &st) != 0 ||
        !S_ISDIR(st.st_mode)) {
      *error = kIoPathNotFound;
      return {};
    }
    return FindIn(dir.host, Stems(leaf), error);
  }
  std::vector<std::string> dirs;
  if (!selfDir.empty()) dirs.push_back(selfDir);
  const char* path = std::getenv("PATH");
  std::string_view p = path ? path : "/usr/local/bin:/usr/bin:/bin";
  for (size_t start = 0;;) {
    size_t colon = p.find(':', start);
    std::string d(p.substr(start, colon == std::string_view::npos ? std::string_view::npos : colon - start));
    dirs.push_back(d.empty() ? "." : d);
    if (colon == std::string_view::npos) break;
    start = colon + 1;
  }
  std::vector<std::string> stems = Stems(name);
  for (const std::string& d : dirs) {
    std::string found = FindIn(d, stems, error);
    if (!found.empty()) return found;
  }
  return {};
}

uint32_t WinExec(std::string_view commandLine, const std::string& selfDir, bool hidden) {
  Prepared p = Prepare(commandLine, selfDir);
  if (p.argv.empty()) return static_cast<uint32_t>(p.error);
  int err = StartOnItsOwn(p.argv.data(), false, hidden);
  return err == 0 ? 33u : static_cast<uint32_t>(SpawnError(err));
}

bool RunAndWait(std::string_view commandLine, const std::string& selfDir, bool hidden,
                bool (*interrupted)(), int* exitStatus) {
  Prepared p = Prepare(commandLine, selfDir);
  if (p.argv.empty()) return false;
  pid_t pid;
  if (Spawn(p.argv.data(), hidden, false, &pid) != 0) return false;
  int status = 0;
  for (;;) {
    pid_t r = waitpid(pid, &status, 0);
    if (r == pid) break;
    if (r < 0 && errno != EINTR) break;
    if (interrupted && interrupted()) return true;
  }
  if (exitStatus) *exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return true;
}

int StartWatched(std::string_view commandLine, const std::string& selfDir, bool hidden, uint32_t* error) {
  uint32_t dummy;
  if (!error) error = &dummy;
  Prepared p = Prepare(commandLine, selfDir);
  if (p.argv.empty()) {
    *error = static_cast<uint32_t>(p.error);
    return 0;
  }
  pid_t pid = 0;
  if (int rc = Spawn(p.argv.data(), hidden, true, &pid); rc != 0) {
    *error = static_cast<uint32_t>(SpawnError(rc));
    return 0;
  }
  *error = 33;
  return pid;
}

bool ProcessEnded(int pid) {
  if (pid <= 0) return true;
  int status;
  pid_t r = waitpid(pid, &status, WNOHANG);
  return r == pid || (r < 0 && errno == ECHILD);
}

bool StartDetached(const std::vector<std::string>& argv) {
  if (argv.empty()) return false;
  std::vector<std::string> copy = argv;
  std::vector<char*> ptrs;
  for (std::string& a : copy) ptrs.push_back(a.data());
  ptrs.push_back(nullptr);
  return StartOnItsOwn(ptrs.data(), true, true) == 0;
}

}  // namespace win
