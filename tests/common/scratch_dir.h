// A fresh directory for tests that touch real files: the working directory
// while it lives, and the Windows directory (itself, or its subdirectory
// "win"); everything is put back and removed at the end.
#pragma once

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>

namespace testsupport {

class ScratchDir {
 public:
  enum class Windows { Here, Subdirectory };

  explicit ScratchDir(const char* tag = "tilmor", Windows windows = Windows::Here) {
    std::string tmpl = std::string("/tmp/") + tag + "_XXXXXX";
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp");
    dir_ = tmpl;
    if (!getcwd(oldCwd_, sizeof oldCwd_)) throw std::runtime_error("getcwd");
    if (const char* v = std::getenv("TILMOR_WINDIR")) oldWindir_ = v;
    windir_ = windows == Windows::Here ? dir_ : dir_ + "/win";
    std::filesystem::create_directories(windir_);
    setenv("TILMOR_WINDIR", windir_.c_str(), 1);
    if (chdir(dir_.c_str()) != 0) throw std::runtime_error("chdir");
  }
  ~ScratchDir() {
    if (chdir(oldCwd_) != 0) std::abort();
    if (oldWindir_)
      setenv("TILMOR_WINDIR", oldWindir_->c_str(), 1);
    else
      unsetenv("TILMOR_WINDIR");
    std::error_code ec;
    // Tests make read-only directories too.
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(dir_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return dir_; }
  const std::string& windows() const { return windir_; }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  static void Put(const std::string& path, const std::string& bytes) {
    std::filesystem::path p(path);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string Get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

 private:
  std::string dir_, windir_;
  std::optional<std::string> oldWindir_;
  char oldCwd_[PATH_MAX];
};

}  // namespace testsupport
