// Shared objects found, loaded and called as DLL functions are.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "dll/sharedlib.h"
#include "lowmem.h"

namespace {

namespace fs = std::filesystem;

class SharedLibTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tilmor_dll_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { fs::remove_all(dir_); }
  // The test library copied into the directory under `name`.
  std::string Place(const std::string& sub, const std::string& name) {
    fs::create_directories(dir_ / sub);
    fs::path to = dir_ / sub / name;
    fs::copy_file(TILMOR_TEST_LIBRARY, to, fs::copy_options::overwrite_existing);
    return to.string();
  }
  fs::path dir_;
};

TEST(SharedObjectNames, DllNamesBecomeSharedObjectNames) {
  EXPECT_EQ(win::SharedObjectNames("TOOLS.DLL"),
            (std::vector<std::string>{"TOOLS.so", "libTOOLS.so", "tools.so", "libtools.so"}));
  EXPECT_EQ(win::SharedObjectNames("m"), (std::vector<std::string>{"m.so", "libm.so"}));
  // A name of the host's own kind is tried as written first.
  EXPECT_EQ(win::SharedObjectNames("libc.so.6").front(), "libc.so.6");
  EXPECT_TRUE(win::SharedObjectNames("").empty());
}

TEST_F(SharedLibTest, FoundInTheDirectoriesInOrderAndCaseInsensitively) {
  std::string first = Place("a", "libTools.so");
  std::string second = Place("b", "tools.so");
  std::vector<std::string> dirs{(dir_ / "a").string(), (dir_ / "b").string()};
  // libTOOLS.so matches libTools.so when no exact name exists.
  EXPECT_EQ(win::FindSharedObject("TOOLS.DLL", dirs), first);
  std::vector<std::string> reversed{dirs[1], dirs[0]};
  EXPECT_EQ(win::FindSharedObject("tools", reversed), second);
  EXPECT_EQ(win::FindSharedObject("NOSUCHLIB.DLL", dirs), "");
}

TEST_F(SharedLibTest, AFoundLibraryIsOnlyRememberedWhileItIsThere) {
  std::vector<std::string> dirs{(dir_ / "a").string(), (dir_ / "b").string()};
  std::string there = Place("b", "libgone.so");
  EXPECT_EQ(win::FindSharedObject("GONE.DLL", dirs), there);
  fs::remove(there);
  EXPECT_EQ(win::FindSharedObject("GONE.DLL", dirs), "") << "not the remembered path of a removed file";
  std::string again = Place("a", "gone.so");
  EXPECT_EQ(win::FindSharedObject("GONE.DLL", dirs), again);
  // Other directories are another question.
  EXPECT_EQ(win::FindSharedObject("GONE.DLL", {dirs[1]}), "");
}

TEST_F(SharedLibTest, NonElfFilesAreNoCandidates) {
  fs::create_directories(dir_ / "a");
  { std::ofstream(dir_ / "a" / "libfake.so") << "GROUP ( /lib/libc.so.6 )\n"; }
  std::string real = Place("b", "libfake.so");
  EXPECT_EQ(win::FindSharedObject("FAKE.DLL", {(dir_ / "a").string(), (dir_ / "b").string()}), real);
}

TEST_F(SharedLibTest, APathIsTakenAsWrittenWithCaseInsensitiveParts) {
  std::string lib = Place("Sub", "MyLib.so");
  std::string written = (dir_ / "SUB" / "mylib.so").string();
  EXPECT_EQ(win::FindSharedObject(written, {}), lib);
  EXPECT_EQ(win::FindSharedObject((dir_ / "sub" / "other.so").string(), {}), "");
}

TEST(SharedLibSystem, TheCLibraryIsFoundByItsShortNames) {
  std::string path = win::FindSharedObject("C", {});
  ASSERT_FALSE(path.empty());
  uint32_t h = win::LoadSharedObject(path);
  ASSERT_GE(h, 32u);
  void* abs = win::SharedObjectSymbol(h, "abs");
  ASSERT_NE(abs, nullptr);
  int32_t arg = -17;
  EXPECT_EQ(static_cast<int32_t>(win::CallNative(abs, &arg, 1)), 17);
  EXPECT_TRUE(win::FreeSharedObject(h));
  EXPECT_FALSE(win::FindSharedObject("libm.so.6", {}).empty());
}

TEST(SharedLibLoad, HandlesCountTheirLoads) {
  std::string why;
  EXPECT_EQ(win::LoadSharedObject("/nonexistent/libx.so", &why), 0u);
  EXPECT_FALSE(why.empty());
  uint32_t a = win::LoadSharedObject(TILMOR_TEST_LIBRARY);
  uint32_t b = win::LoadSharedObject(TILMOR_TEST_LIBRARY);
  ASSERT_GE(a, 32u);
  EXPECT_EQ(a, b);
  EXPECT_EQ(win::SharedObjectPath(a), TILMOR_TEST_LIBRARY);
  EXPECT_EQ(win::SharedObjectSymbol(a, "no_such_function"), nullptr);
  EXPECT_TRUE(win::FreeSharedObject(a));
  // Still loaded once: the symbol is there.
  EXPECT_NE(win::SharedObjectSymbol(a, "tm_add"), nullptr);
  EXPECT_TRUE(win::FreeSharedObject(b));
  EXPECT_FALSE(win::FreeSharedObject(a));
  EXPECT_EQ(win::SharedObjectSymbol(a, "tm_add"), nullptr);
}

class NativeCall : public ::testing::Test {
 protected:
  void SetUp() override {
    h_ = win::LoadSharedObject(TILMOR_TEST_LIBRARY);
    ASSERT_NE(h_, 0u);
  }
  void TearDown() override { win::FreeSharedObject(h_); }
  int32_t Call(const char* name, std::vector<int32_t> args) {
    void* f = win::SharedObjectSymbol(h_, name);
    EXPECT_NE(f, nullptr) << name;
    return static_cast<int32_t>(static_cast<uint32_t>(win::CallNative(f, args.data(), static_cast<int>(args.size()))));
  }
  uint32_t h_ = 0;
};

TEST_F(NativeCall, ArgumentsArriveInOrder) {
  EXPECT_EQ(Call("tm_none", {}), 4711);
  EXPECT_EQ(Call("tm_add", {40, 2}), 42);
  EXPECT_EQ(Call("tm_neg", {-2147483647}), 2147483647);
  std::vector<int32_t> twelve;
  int expected = 0;
  for (int i = 1; i <= 12; ++i) {
    twelve.push_back(100 + i);
    expected += i * (100 + i);
  }
  EXPECT_EQ(Call("tm_sum12", twelve), expected);
}

TEST_F(NativeCall, ResultIsTheLowHalfAndNegativesStayNegative) {
  EXPECT_EQ(static_cast<uint32_t>(Call("tm_wide", {})), 0x23456789u);
  EXPECT_EQ(Call("tm_long", {-1}), 1);
  EXPECT_EQ(Call("tm_long", {5}), 0);
}

TEST_F(NativeCall, LowMemoryAddressesArePointers) {
  uint8_t* block = win::AllocLow(64);
  ASSERT_NE(block, nullptr);
  int32_t address = static_cast<int32_t>(reinterpret_cast<uintptr_t>(block));
  ASSERT_GT(address, 0);
  EXPECT_EQ(Call("tm_fill", {address, 5}), 5);
  EXPECT_STREQ(reinterpret_cast<char*>(block), "ABCDE");
  EXPECT_EQ(Call("tm_strlen", {address}), 5);
  block[8] = 0xFF, block[9] = 0xFF, block[10] = 0xFF, block[11] = 0x7F;
  EXPECT_EQ(Call("tm_inc", {address + 8}), static_cast<int32_t>(0x80000000u));
  win::FreeLow(block, 64);
}

TEST(NativeCallLimits, TooManyArgumentsOrNoFunctionCallNothing) {
  int32_t args[13] = {};
  uint32_t h = win::LoadSharedObject(TILMOR_TEST_LIBRARY);
  void* f = win::SharedObjectSymbol(h, "tm_calls");
  int before = static_cast<int>(win::CallNative(f, args, 0));
  EXPECT_EQ(win::CallNative(f, args, 13), 0u);
  EXPECT_EQ(win::CallNative(nullptr, args, 0), 0u);
  EXPECT_EQ(static_cast<int>(win::CallNative(f, args, 0)), before + 1);
  win::FreeSharedObject(h);
}

}  // namespace
