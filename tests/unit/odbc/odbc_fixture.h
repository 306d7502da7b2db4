// A session on a fresh SQLite database through the real driver manager and
// driver, in a temporary directory with its own odbc.ini and odbcinst.ini;
// skipped where unixODBC or the SQLite driver is missing.
#pragma once

#include <gtest/gtest.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "odbc_session.h"

namespace odbctest {

namespace fs = std::filesystem;

inline bool DriverManagerPresent() {
  void* h = dlopen("libodbc.so.2", RTLD_NOW | RTLD_LOCAL);
  if (h) dlclose(h);
  return h != nullptr;
}

inline std::string SqliteDriver() {
  for (const char* d : {"/usr/lib/x86_64-linux-gnu/odbc", "/usr/lib/aarch64-linux-gnu/odbc", "/usr/lib/i386-linux-gnu/odbc",
                        "/usr/lib/odbc", "/usr/lib64", "/usr/local/lib/odbc"}) {
    std::string p = std::string(d) + "/libsqlite3odbc.so";
    if (fs::exists(p)) return p;
  }
  return "";
}

// Collects what a statement sends to the window, the item list or the file.
class Recorder : public tilmor::odbc::Output {
 public:
  bool OpenFile() override {
    ++opened;
    return fileOk;
  }
  void CloseFile() override { ++closed; }
  void Line(std::string_view line) override {
    lines.emplace_back(line);
    if (throwAfter >= 0 && static_cast<int>(lines.size()) > throwAfter) throw std::runtime_error("ended");
  }
  void Error(std::string_view text) override { errors.emplace_back(text); }
  void Poll() override { ++polls; }

  std::vector<std::string> lines, errors;
  int opened = 0, closed = 0, polls = 0;
  bool fileOk = true;
  int throwAfter = -1;  // lines before Line throws, as a program end would
};

class SqliteSession : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!DriverManagerPresent()) GTEST_SKIP() << "unixODBC (libodbc.so.2) is not installed";
    driver_ = SqliteDriver();
    if (driver_.empty()) GTEST_SKIP() << "the SQLite ODBC driver (libsqliteodbc) is not installed";
    char tmpl[] = "/tmp/tilmor_odbc_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    fs::create_directory(dir_ + "/sys");
    std::ofstream(dir_ + "/sys/odbcinst.ini") << "[SQLite3]\nDriver=" << driver_ << "\n";
    std::ofstream(dir_ + "/sys/odbc.ini") << "";
    std::ofstream(dir_ + "/odbc.ini") << "[EINS]\nDriver=SQLite3\nDatabase=" << dir_ << "/eins.db\n\n"
                                      << "[ZWEI]\nDriver=SQLite3\nDatabase=" << dir_ << "/zwei.db\n";
    Save("ODBCSYSINI", dir_ + "/sys");
    Save("ODBCINI", dir_ + "/odbc.ini");
    Save("TILMOR_ODBC_CHARSET", "");
    unsetenv("TILMOR_ODBC_CHARSET");
  }
  void TearDown() override {
    session.Close();
    for (auto& [name, value] : saved_) {
      if (value.second)
        setenv(name.c_str(), value.first.c_str(), 1);
      else
        unsetenv(name.c_str());
    }
    std::error_code ec;
    if (!dir_.empty()) fs::remove_all(dir_, ec);
  }

  void Save(const std::string& name, const std::string& value) {
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, std::make_pair(old ? old : "", old != nullptr));
    setenv(name.c_str(), value.c_str(), 1);
  }

  bool Connect(const std::string& dsn = "EINS") {
    return session.Open("libodbc.so.2") && session.Connect("DSN=" + dsn);
  }
  // Runs a statement whose lines do not matter.
  void Run(const std::string& sql) {
    Recorder r;
    ASSERT_EQ(session.Execute(sql, 1, r), tilmor::odbc::Session::Status::Done) << sql;
    ASSERT_TRUE(r.errors.empty()) << sql << ": " << r.errors.front();
  }

  tilmor::odbc::Session session;
  std::string dir_, driver_;
  std::vector<std::pair<std::string, std::pair<std::string, bool>>> saved_;
};

}  // namespace odbctest
