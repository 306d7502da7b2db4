// Module resources read from .res files and 32- and 64-bit PE modules built
// here: lookup by name and number, handles, and files that are no module.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dialogs/dialogbox.h"
#include "res_builder.h"
#include "resources/resources.h"

namespace {

using resbuild::Bytes;
using resbuild::Res;

class Resources : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("tilmor_res_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    for (HINSTANCE h : loaded_) win::FreeModuleResources(h);
    std::filesystem::remove_all(dir_);
  }
  HINSTANCE Load(const std::string& name, const Bytes& content) {
    std::string path = (dir_ / name).string();
    resbuild::Write(path, content);
    HINSTANCE h = win::LoadModuleResources(path);
    if (h) loaded_.push_back(h);
    return h;
  }
  static std::string Str(const std::vector<unsigned char>& v) { return std::string(v.begin(), v.end()); }

  std::filesystem::path dir_;
  std::vector<HINSTANCE> loaded_;
};

const std::vector<Res> kSample = {
    {RT_MENU, u"Hauptmenue", 0, {'m', '1'}},
    {RT_DIALOG, u"EINGABE", 0, {'d', 'l', 'g'}},
    {RT_MENU, u"", 7, {'m', '7', '!'}},
    {RT_BITMAP, u"", 3, Bytes(37, 0xAB)},
};

// The same resources, whatever container holds them.
void ExpectSample(HINSTANCE h) {
  ASSERT_NE(h, 0);
  std::vector<unsigned char> data;
  ASSERT_TRUE(win::FindModuleResource(h, RT_MENU, "hauptMENUE", &data));
  EXPECT_EQ(std::string(data.begin(), data.end()), "m1");
  ASSERT_TRUE(win::FindModuleResource(h, RT_MENU, "#7", &data));
  EXPECT_EQ(std::string(data.begin(), data.end()), "m7!");
  ASSERT_TRUE(win::FindModuleResource(h, RT_BITMAP, "#3", &data));
  EXPECT_EQ(data, std::vector<unsigned char>(37, 0xAB));
  // A name belongs to its type only, and a number is no name.
  EXPECT_FALSE(win::FindModuleResource(h, RT_DIALOG, "HAUPTMENUE", &data));
  EXPECT_FALSE(win::FindModuleResource(h, RT_MENU, "7", &data));
  EXPECT_FALSE(win::FindModuleResource(h, RT_MENU, "#8", &data));
  EXPECT_EQ(win::ModuleResourceNames(h, RT_MENU), (std::vector<std::string>{"HAUPTMENUE", "#7"}));
  EXPECT_EQ(win::ModuleResourceNames(h, RT_DIALOG), std::vector<std::string>{"EINGABE"});
  EXPECT_TRUE(win::ModuleResourceNames(h, RT_ICON).empty());
}

TEST_F(Resources, ResourceFile) { ExpectSample(Load("sample.res", resbuild::ResFile(kSample))); }

TEST_F(Resources, Pe32Module) { ExpectSample(Load("sample.dll", resbuild::PeFile(kSample, false))); }

TEST_F(Resources, Pe64Module) { ExpectSample(Load("sample64.exe", resbuild::PeFile(kSample, true))); }

TEST_F(Resources, HandlesAreModuleLikeAndOnePerFile) {
  HINSTANCE a = Load("a.res", resbuild::ResFile(kSample));
  HINSTANCE b = Load("b.dll", resbuild::PeFile(kSample, false));
  ASSERT_NE(a, 0);
  ASSERT_NE(b, 0);
  EXPECT_NE(a, b);
  EXPECT_NE(a, kSelfInstance);
  EXPECT_NE(b, kSelfInstance);
  // The same file by another spelling of its path.
  HINSTANCE again = win::LoadModuleResources((dir_ / "." / "a.res").string());
  loaded_.push_back(again);
  EXPECT_EQ(again, a);
  // Loaded twice, freed once: still there.
  win::FreeModuleResources(again);
  loaded_.pop_back();
  EXPECT_TRUE(win::FindModuleResource(a, RT_MENU, "#7", nullptr));
}

TEST_F(Resources, FreedModuleIsGone) {
  std::string path = (dir_ / "x.res").string();
  resbuild::Write(path, resbuild::ResFile(kSample));
  HINSTANCE h = win::LoadModuleResources(path);
  ASSERT_NE(h, 0);
  win::FreeModuleResources(h);
  EXPECT_FALSE(win::FindModuleResource(h, RT_MENU, "#7", nullptr));
  EXPECT_TRUE(win::ModuleResourceNames(h, RT_MENU).empty());
}

TEST_F(Resources, NamesWithCharactersBeyondAscii) {
  HINSTANCE h = Load("u.res", resbuild::ResFile({{RT_MENU, u"M\u00c4N\u00fc\u20ac", 0, {'x'}}}));
  ASSERT_NE(h, 0);
  // Upper-cased in Windows-1252; the euro sign has a byte there.
  EXPECT_EQ(win::ModuleResourceNames(h, RT_MENU), std::vector<std::string>{"M\xC4N\xFC\x80"});
  EXPECT_TRUE(win::FindModuleResource(h, RT_MENU, "m\xC4n\xFC\x80", nullptr));
}

TEST_F(Resources, NoModuleNoHandle) {
  EXPECT_EQ(win::LoadModuleResources((dir_ / "missing.dll").string()), 0);
  EXPECT_EQ(win::LoadModuleResources(dir_.string()), 0);  // a folder
  EXPECT_EQ(Load("text.dll", Bytes{'h', 'e', 'l', 'l', 'o'}), 0);
  EXPECT_EQ(Load("empty.res", Bytes{}), 0);
  Bytes pe = resbuild::PeFile(kSample, false);
  pe[0x40] = 'X';  // no PE signature
  EXPECT_EQ(Load("nope.dll", pe), 0);
  EXPECT_FALSE(win::FindModuleResource(0, RT_MENU, "#7", nullptr));
}

// Cut anywhere, a file gives no handle or fewer resources, never a read past its end.
TEST_F(Resources, CutFilesAreRefusedOrPartial) {
  for (bool pe : {false, true}) {
    Bytes whole = pe ? resbuild::PeFile(kSample, false) : resbuild::ResFile(kSample);
    for (size_t n = 0; n < whole.size(); n += 7) {
      Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
      std::string name = std::string(pe ? "cut" : "cutres") + std::to_string(n);
      HINSTANCE h = Load(name, cut);
      if (h) {
        EXPECT_LT(win::ModuleResourceNames(h, RT_MENU).size() + win::ModuleResourceNames(h, RT_BITMAP).size(), 3u)
            << name;
      }
    }
  }
}

TEST_F(Resources, DirectoryOffsetsOutsideTheSectionAreRefused) {
  Bytes pe = resbuild::PeFile(kSample, false);
  // The root's first entry points far beyond the resource section.
  resbuild::Put32(pe, 0x400 + 16 + 4, 0x80000000u | 0x7FFF0);
  EXPECT_EQ(Load("bad.dll", pe), 0);
}

TEST_F(Resources, StringTables) {
  // Strings 0..15 are block 1, 16..31 block 2; string 17 is the second of block 2.
  std::vector<Res> list = {
      {RT_STRING, u"", 1, resbuild::StringBlock({u"", u"Eins", u"", u"Grüße"})},
      {RT_STRING, u"", 2, resbuild::StringBlock({u"", u"Siebzehn"})},
  };
  for (auto [name, file] : {std::pair{"strings.res", resbuild::ResFile(list)},
                            std::pair{"strings.dll", resbuild::PeFile(list, false)}}) {
    SCOPED_TRACE(name);
    HINSTANCE h = Load(name, file);
    ASSERT_NE(h, 0);
    char buf[256];
    EXPECT_EQ(win::LoadStringA(h, 1, buf, sizeof buf), 4);
    EXPECT_STREQ(buf, "Eins");
    EXPECT_EQ(win::LoadStringA(h, 3, buf, sizeof buf), 5);
    EXPECT_STREQ(buf, "Gr\xFC\xDF" "e") << "as Windows-1252";
    EXPECT_EQ(win::LoadStringA(h, 17, buf, sizeof buf), 8);
    EXPECT_STREQ(buf, "Siebzehn");
    // Empty entries, blocks that are missing, and no module: nothing.
    EXPECT_EQ(win::LoadStringA(h, 2, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(win::LoadStringA(h, 40, buf, sizeof buf), 0);
    EXPECT_EQ(win::LoadStringA(0, 1, buf, sizeof buf), 0);
    // Cut to the buffer, which always ends with a zero.
    EXPECT_EQ(win::LoadStringA(h, 17, buf, 5), 4);
    EXPECT_STREQ(buf, "Sieb");
    EXPECT_EQ(win::LoadStringA(h, 17, buf, 0), 0);
  }
}

TEST_F(Resources, DamagedStringTablesStayInsideTheBlock) {
  Bytes block = resbuild::StringBlock({u"ab"});
  block[0] = 0xFF;  // string 0 claims 255 characters
  Bytes shortBlock = {3, 0, 'x', 0};  // string 0 claims 3, has 1; no entry 1
  HINSTANCE h = Load("bad.res", resbuild::ResFile({{RT_STRING, u"", 1, block}, {RT_STRING, u"", 2, shortBlock}}));
  ASSERT_NE(h, 0);
  char buf[300];
  EXPECT_LE(win::LoadStringA(h, 0, buf, sizeof buf), static_cast<int>(block.size() / 2));
  EXPECT_EQ(win::LoadStringA(h, 16, buf, sizeof buf), 1);
  EXPECT_STREQ(buf, "x");
  EXPECT_EQ(win::LoadStringA(h, 17, buf, sizeof buf), 0);
  EXPECT_EQ(win::LoadStringA(h, 31, buf, sizeof buf), 0);
}

TEST(Utf16, ConvertsToWindows1252) {
  const unsigned char text[] = {'A', 0, 0xE4, 0, 0xAC, 0x20, 0x3C, 0xD8, 0x00, 0xDF, 0x16, 0x04, 'z', 0};
  // A, ä, €, a surrogate pair (one character), a Cyrillic letter, z.
  EXPECT_EQ(win::Utf16LeToCp1252(text, 7), "A\xE4\x80??z");
}

}  // namespace
