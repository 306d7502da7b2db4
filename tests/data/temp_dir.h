// A fresh working directory that is also the Windows directory, for tests
// that touch real files.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "winpath.h"

namespace datatest {

namespace fs = std::filesystem;

class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* v = std::getenv("TILMOR_WINDIR")) oldWindir_ = v;
    char tmpl[] = "/tmp/tilmor_data_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    ASSERT_NE(getcwd(oldCwd_, sizeof oldCwd_), nullptr);
    ASSERT_EQ(setenv("TILMOR_WINDIR", dir_.c_str(), 1), 0);
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    win::ResetCurrentDrive();
  }
  void TearDown() override {
    EXPECT_EQ(chdir(oldCwd_), 0);
    win::ResetCurrentDrive();
    if (oldWindir_)
      setenv("TILMOR_WINDIR", oldWindir_->c_str(), 1);
    else
      unsetenv("TILMOR_WINDIR");
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
  }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  static void Put(const std::string& path, const std::string& bytes) {
    fs::path p(path);
    if (p.has_parent_path()) fs::create_directories(p.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string Get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  std::string dir_;
  std::optional<std::string> oldWindir_;
  char oldCwd_[PATH_MAX];
};

}  // namespace datatest
