// The cached file layer: reads through the window, write-through, short
// reads at the end, and its error texts.
#include <sys/stat.h>

#include <cstring>

#include "cached_file.h"
#include "dbase_test_util.h"

namespace {

using namespace tilmor::dbase;
using namespace dbtest;

class CachedFileTest : public TempDirTest {
 protected:
  DbError err;
};

TEST_F(CachedFileTest, WritesGoThroughAndKeepTheWindowTrue) {
  WriteBytes("f.bin", std::string(100, 'a'));
  CachedFile f(err);
  ASSERT_TRUE(f.OpenReadWrite("F.BIN", "f.bin", 1, 64));
  char buf[16] = {};
  ASSERT_EQ(f.Read(buf, 10, 0), 10);  // the window now holds bytes 0..63
  ASSERT_TRUE(f.Write("XYZ", 3, 5));
  EXPECT_EQ(ReadBytes("f.bin").substr(0, 10), "aaaaaXYZaa");  // on disk at once
  ASSERT_EQ(f.Read(buf, 10, 0), 10);
  EXPECT_EQ(std::string(buf, 10), "aaaaaXYZaa");
  // A write that runs past the window's valid part from inside it.
  ASSERT_TRUE(f.Write("0123456789", 10, 95));
  ASSERT_EQ(f.Read(buf, 10, 95), 10);
  EXPECT_EQ(std::string(buf, 10), "0123456789");
  EXPECT_EQ(f.SizeInBytes(), 105);
  // At the end fewer records come back; the rest of the buffer is kept.
  std::memset(buf, '-', sizeof buf);
  int64_t bytes = -1;
  EXPECT_EQ(f.Read(buf, 8, 100, &bytes), 5);
  EXPECT_EQ(bytes, 5);
  EXPECT_EQ(std::string(buf, 8), "56789---");
  EXPECT_EQ(f.Read(buf, 4, 200), 0);
  // Larger than the window: read directly.
  std::string big(200, '\0');
  EXPECT_EQ(f.Read(big.data(), 200, 0), 105);
  ASSERT_TRUE(f.Truncate(50));
  EXPECT_EQ(f.Read(buf, 4, 48), 2);
  EXPECT_EQ(err.number(), 0);
}

TEST_F(CachedFileTest, RecordsOfBlocks) {
  WriteBytes("m.dbt", std::string(512 * 3 + 100, 'b'));
  CachedFile f(err);
  ASSERT_TRUE(f.OpenRead("M.DBT", "m.dbt", 512, 2048));
  EXPECT_EQ(f.SizeInRecords(), 3);
  std::vector<char> block(1024);
  int64_t bytes;
  EXPECT_EQ(f.Read(block.data(), 2, 2, &bytes), 1);
  EXPECT_EQ(bytes, 612);
}

TEST_F(CachedFileTest, ErrorTextsNameTheFileAndTheStep) {
  CachedFile f(err);
  EXPECT_FALSE(f.OpenRead("MISSING.DBF", "missing.dbf", 1, 64));
  EXPECT_EQ(err.number(), 2);
  EXPECT_EQ(err.text(), ": MISSING.DBF (Reset)");
  // The file layer keeps an error that is pending.
  EXPECT_FALSE(f.Create("X", "no/such/dir/x", 1, 64));
  EXPECT_EQ(err.text(), ": MISSING.DBF (Reset)");
  err.Clear();
  EXPECT_FALSE(f.Create("X", "no/such/dir/x", 1, 64));
  EXPECT_EQ(err.number(), 2);
  EXPECT_EQ(err.text(), ": X (Rewrite)");
  err.Clear();
  std::string longName(80, 'N');
  f.OpenRead(longName, "missing", 1, 64);
  EXPECT_EQ(err.text(), ": " + std::string(64, 'N') + " (Reset)");
  // A file that may only be read opens for reading; writes then fail.
  err.Clear();
  WriteBytes("ro.dbf", "abc");
  chmod("ro.dbf", 0444);
  if (geteuid() != 0) {  // root may write it all the same
    ASSERT_TRUE(f.OpenReadWrite("RO.DBF", "ro.dbf", 1, 64));
    EXPECT_FALSE(f.writable());
    EXPECT_FALSE(f.Write("x", 1, 0));
    EXPECT_EQ(MessageFor(err.number(), err.text()).extra, "5 : RO.DBF (Write)");
  } else {
    ASSERT_TRUE(f.OpenReadWrite("RO.DBF", "/proc/version", 1, 64));
    EXPECT_FALSE(f.Write("x", 1, 0));
  }
  EXPECT_EQ(err.text(), ": RO.DBF (Write)");
  err.Clear();
  EXPECT_FALSE(f.OpenRead("DIR", ".", 1, 64));
  EXPECT_EQ(err.number(), 5);
}

}  // namespace
