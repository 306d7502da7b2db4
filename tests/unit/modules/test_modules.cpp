// Where the loadable modules are found: the override, beside the program,
// the directory of the runtime a stand-alone program was made from.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "../../common/scratch_dir.h"
#include "modules.h"

namespace {

TEST(ModulePath, OverrideThenTheRuntimesDirectoryThenTheInstalledOne) {
  testsupport::ScratchDir dir("tilmor_modules");
  const char* name = "libtilmor_probe_module.so";
  unsetenv("TILMOR_PROBE_MODULE");
  const std::string installed = win::ModulePath("TILMOR_PROBE_MODULE", name);
  EXPECT_NE(installed.find(std::string("/") + name), std::string::npos);
  EXPECT_EQ(installed.find(dir.path()), std::string::npos);

  // A directory given for a stand-alone program's runtime.
  win::SetModuleDirectory(dir.path());
  EXPECT_EQ(win::ModulePath("TILMOR_PROBE_MODULE", name), installed) << "nothing there yet";
  std::ofstream(dir.Path(name)) << "x";
  EXPECT_EQ(win::ModulePath("TILMOR_PROBE_MODULE", name), dir.Path(name));

  // The override wins over everything.
  setenv("TILMOR_PROBE_MODULE", "/somewhere/else.so", 1);
  EXPECT_EQ(win::ModulePath("TILMOR_PROBE_MODULE", name), "/somewhere/else.so");
  unsetenv("TILMOR_PROBE_MODULE");
  win::SetModuleDirectory("");
  EXPECT_EQ(win::ModulePath("TILMOR_PROBE_MODULE", name), installed);
}

}  // namespace
