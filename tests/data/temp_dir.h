// A fresh working directory that is also the Windows directory, for tests
// that touch real files.
#pragma once

#include <gtest/gtest.h>
#include <optional>
#include <string>

#include "../common/scratch_dir.h"
#include "winpath.h"

namespace datatest {

namespace fs = std::filesystem;

class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_.emplace("tilmor_data");
    dir_ = scratch_->path();
    win::ResetCurrentDrive();
  }
  void TearDown() override {
    scratch_.reset();
    win::ResetCurrentDrive();
  }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  static void Put(const std::string& path, const std::string& bytes) { testsupport::ScratchDir::Put(path, bytes); }
  static std::string Get(const std::string& path) { return testsupport::ScratchDir::Get(path); }

  std::optional<testsupport::ScratchDir> scratch_;
  std::string dir_;
};

}  // namespace datatest
