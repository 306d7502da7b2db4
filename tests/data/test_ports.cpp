// Port input and output through a device file standing in for /dev/port.
#include "ports.h"
#include "temp_dir.h"

namespace {

using datatest::TempDirTest;
namespace fs = std::filesystem;

class PortsTest : public TempDirTest {
 protected:
  void TearDown() override {
    win::UsePortDevice("");
    TempDirTest::TearDown();
  }
};

TEST_F(PortsTest, BytesAndWordsAtThePortsOffset) {
  Put(Path("port"), std::string(0x400, '\0'));
  win::UsePortDevice(Path("port"));
  EXPECT_EQ(win::PortAccess(0x378, 1), win::PortMethod::Device);
  win::PortOut(0x378, 1, 0x141);  // only the low byte goes out
  win::PortOut(0x300, 2, 0x12345);
  std::string bytes = Get(Path("port"));
  EXPECT_EQ(bytes[0x378], 'A');
  EXPECT_EQ(bytes[0x379], '\0');
  EXPECT_EQ(static_cast<unsigned char>(bytes[0x300]), 0x45);
  EXPECT_EQ(static_cast<unsigned char>(bytes[0x301]), 0x23);
  EXPECT_EQ(win::PortIn(0x378, 1), 0x41u);
  EXPECT_EQ(win::PortIn(0x300, 2), 0x2345u);
  EXPECT_EQ(win::PortIn(0x300, 1), 0x45u);
  // Beyond the end of the stand-in nothing can be read.
  EXPECT_EQ(win::PortIn(0x500, 1), 0u);
}

TEST_F(PortsTest, WithoutAnyAccessInputIsZero) {
  win::UsePortDevice(Path("no/such/device"));
  EXPECT_EQ(win::PortAccess(0x80, 1), win::PortMethod::None);
  win::PortOut(0x80, 1, 0xFF);
  EXPECT_EQ(win::PortIn(0x80, 1), 0u);
  EXPECT_EQ(win::PortIn(0x80, 2), 0u);
}

}  // namespace
