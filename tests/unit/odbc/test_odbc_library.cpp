#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "odbc_fixture.h"
#include "odbc_library.h"

namespace {

using tilmor::odbc::DriverManagerName;
using tilmor::odbc::Library;

TEST(OdbcLibraryTest, AMissingLibraryLoadsNothing) {
  Library lib;
  EXPECT_FALSE(lib.Load("/nonexistent/libodbc.so.2"));
  EXPECT_FALSE(lib.loaded());
  EXPECT_NE(lib.failure().find("nonexistent"), std::string::npos) << lib.failure();
}

TEST(OdbcLibraryTest, ALibraryWithoutTheEntryPointsIsRefused) {
  Library lib;
  EXPECT_FALSE(lib.Load("libc.so.6"));
  EXPECT_FALSE(lib.loaded());
  EXPECT_EQ(lib.failure(), "missing entry point SQLRowCount");
}

TEST(OdbcLibraryTest, TheDriverManagerLoadsAndUnloads) {
  if (!odbctest::DriverManagerPresent()) GTEST_SKIP() << "unixODBC (libodbc.so.2) is not installed";
  Library lib;
  ASSERT_TRUE(lib.Load("libodbc.so.2")) << lib.failure();
  EXPECT_TRUE(lib.loaded());
  lib.Unload();
  EXPECT_FALSE(lib.loaded());
  // Again, after it was let go.
  ASSERT_TRUE(lib.Load("libodbc.so.2")) << lib.failure();
  EXPECT_TRUE(lib.failure().empty());
}

TEST(OdbcLibraryTest, TheNameCanBeChosen) {
  const char* old = std::getenv("TILMOR_ODBC_LIBRARY");
  std::string saved = old ? old : "";
  unsetenv("TILMOR_ODBC_LIBRARY");
  EXPECT_EQ(DriverManagerName(), "libodbc.so.2");
  setenv("TILMOR_ODBC_LIBRARY", "libiodbc.so.2", 1);
  EXPECT_EQ(DriverManagerName(), "libiodbc.so.2");
  setenv("TILMOR_ODBC_LIBRARY", "", 1);
  EXPECT_EQ(DriverManagerName(), "libodbc.so.2");
  if (old)
    setenv("TILMOR_ODBC_LIBRARY", saved.c_str(), 1);
  else
    unsetenv("TILMOR_ODBC_LIBRARY");
}

}  // namespace
