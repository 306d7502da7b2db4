// Serial ports over termios, against real pseudo-terminals.
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "comm/comm.h"

namespace {

using namespace win;

DWORD Dtr(const DCB& d) { return (d.flags & kDcbDtrMask) >> kDcbDtrShift; }
DWORD Rts(const DCB& d) { return (d.flags & kDcbRtsMask) >> kDcbRtsShift; }

TEST(BuildCommDcb, ModeForm) {
  DCB d;
  COMMTIMEOUTS t{50, 50, 50, 50, 50};
  ASSERT_TRUE(BuildCommDCBAndTimeoutsA("9600,n,8,1", &d, &t));
  EXPECT_EQ(d.BaudRate, 9600u);
  EXPECT_EQ(d.Parity, NOPARITY);
  EXPECT_EQ(d.ByteSize, 8);
  EXPECT_EQ(d.StopBits, ONESTOPBIT);
  EXPECT_EQ(d.flags & (kDcbBinary | kDcbParity | kDcbOutX | kDcbInX | kDcbOutxCtsFlow), kDcbBinary);
  EXPECT_EQ(Dtr(d), kControlEnable);
  EXPECT_EQ(Rts(d), kControlEnable);
  EXPECT_EQ(t.WriteTotalTimeoutConstant, 50u);

  ASSERT_TRUE(BuildCommDCBAndTimeoutsA("96,E,7,2,x", &d, &t));
  EXPECT_EQ(d.BaudRate, 9600u);  // MODE's two digits
  EXPECT_EQ(d.Parity, EVENPARITY);
  EXPECT_EQ(d.ByteSize, 7);
  EXPECT_EQ(d.StopBits, TWOSTOPBITS);
  EXPECT_EQ(d.flags & (kDcbParity | kDcbOutX | kDcbInX), kDcbParity | kDcbOutX | kDcbInX);

  ASSERT_TRUE(BuildCommDCBAndTimeoutsA("COM2: 1200,o,8,1.5,p", &d, &t));
  EXPECT_EQ(d.BaudRate, 1200u);
  EXPECT_EQ(d.StopBits, ONE5STOPBITS);
  EXPECT_EQ(d.flags & (kDcbOutX | kDcbOutxCtsFlow | kDcbOutxDsrFlow), kDcbOutxCtsFlow | kDcbOutxDsrFlow);
  EXPECT_EQ(Dtr(d), kControlHandshake);
  EXPECT_EQ(Rts(d), kControlHandshake);
}

TEST(BuildCommDcb, KeywordFormChangesOnlyItsKeys) {
  DCB d;
  d.BaudRate = 4800;
  d.ByteSize = 7;
  d.XonLim = 33;
  COMMTIMEOUTS t{50, 50, 50, 50, 50};
  ASSERT_TRUE(BuildCommDCBAndTimeoutsA("baud=9600 parity=N data=8 stop=1 xon=on to=on", &d, &t));
  EXPECT_EQ(d.BaudRate, 9600u);
  EXPECT_EQ(d.ByteSize, 8);
  EXPECT_EQ(d.flags & (kDcbOutX | kDcbInX), kDcbOutX | kDcbInX);
  EXPECT_EQ(t.WriteTotalTimeoutConstant, 60000u);
  EXPECT_EQ(t.ReadTotalTimeoutConstant, 50u);
  EXPECT_EQ(d.XonLim, 33);

  ASSERT_TRUE(BuildCommDCBAndTimeoutsA("xon=off  dtr=hs rts=tg octs=on idsr=on", &d, &t));
  EXPECT_EQ(d.BaudRate, 9600u);
  EXPECT_EQ(d.flags & (kDcbOutX | kDcbInX), 0u);
  EXPECT_EQ(Dtr(d), kControlHandshake);
  EXPECT_EQ(Rts(d), kControlToggle);
  EXPECT_TRUE(d.flags & kDcbOutxCtsFlow);
  EXPECT_TRUE(d.flags & kDcbDsrSensitivity);
}

TEST(BuildCommDcb, RefusesWhatNeitherFormReads) {
  for (const char* bad : {"", "baud=schnell", "9600,q,8,1", "data=9", "foo=bar", "9600,n,8,3",
                          "9600,n,8,1,z", "COM0: 9600", "xon=vielleicht"}) {
    DCB d;
    d.BaudRate = 1234;
    EXPECT_FALSE(BuildCommDCBAndTimeoutsA(bad, &d, nullptr)) << bad;
    EXPECT_EQ(d.BaudRate, 1234u) << bad;  // untouched
  }
}

TEST(CommErrors, EachCounterHasItsFlag) {
  LineCounters a;
  EXPECT_EQ(CommErrorFlags(a, a), 0u);
  LineCounters b = a;
  b.frame = 2;
  EXPECT_EQ(CommErrorFlags(a, b), CE_FRAME);
  b = a, b.overrun = 1;
  EXPECT_EQ(CommErrorFlags(a, b), CE_OVERRUN);
  b = a, b.parity = 5;
  EXPECT_EQ(CommErrorFlags(a, b), CE_RXPARITY);
  b = a, b.brk = 1, b.bufOverrun = 1;
  EXPECT_EQ(CommErrorFlags(a, b), CE_BREAK | CE_RXOVER);
}

TEST(ComDevice, NamesMapToDevices) {
  char tmpl[] = "/tmp/tilmor_comm_XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  setenv("TILMOR_WINDIR", tmpl, 1);
  std::ofstream(std::string(tmpl) + "/WIN.INI") << "[Serial]\r\nCOM3=/dev/ttyUSB0\r\n";
  EXPECT_EQ(ComDevicePath("COM1"), "/dev/ttyS0");
  EXPECT_EQ(ComDevicePath("com12:"), "/dev/ttyS11");
  EXPECT_EQ(ComDevicePath("\\\\.\\COM255"), "/dev/ttyS254");
  EXPECT_EQ(ComDevicePath("COM3"), "/dev/ttyUSB0");
  EXPECT_EQ(ComDevicePath("COM0"), "");
  EXPECT_EQ(ComDevicePath("COM256"), "");
  EXPECT_EQ(ComDevicePath("/dev/ttyACM0"), "/dev/ttyACM0");
  EXPECT_EQ(ComDevicePath(""), "");
  std::filesystem::remove_all(tmpl);
  unsetenv("TILMOR_WINDIR");
}

class PtyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[256];
    ASSERT_EQ(openpty(&master_, &slave_, name, nullptr, nullptr), 0);
    name_ = name;
    h_ = OpenComm(name_);
    ASSERT_GT(h_, 0);
  }
  void TearDown() override {
    CloseComm(h_);
    close(master_);
    close(slave_);
  }
  termios Line() {
    termios t{};
    tcgetattr(slave_, &t);
    return t;
  }
  int master_ = -1, slave_ = -1;
  std::string name_;
  HANDLE h_ = -1;
};

TEST_F(PtyTest, StateReachesTheLine) {
  DCB d;
  ASSERT_TRUE(GetCommState(h_, &d));
  ASSERT_TRUE(BuildCommDCBAndTimeoutsA("baud=19200 parity=E stop=2 xon=on", &d, nullptr));
  ASSERT_TRUE(SetCommState(h_, &d));
  termios t = Line();
  EXPECT_EQ(cfgetospeed(&t), B19200);
  EXPECT_TRUE(t.c_cflag & CSTOPB);
  EXPECT_TRUE(t.c_iflag & INPCK);
  EXPECT_TRUE(t.c_iflag & IXON);
  EXPECT_TRUE(t.c_iflag & IXOFF);
  EXPECT_FALSE(t.c_cflag & CRTSCTS);
  EXPECT_FALSE(t.c_lflag & (ICANON | ECHO));

  d.flags = kDcbBinary | kDcbOutxCtsFlow | kDcbNull | kDcbDsrSensitivity;
  d.XonLim = 100;
  d.XoffLim = 200;
  ASSERT_TRUE(SetCommState(h_, &d));
  t = Line();
  EXPECT_TRUE(t.c_cflag & CRTSCTS);
  EXPECT_FALSE(t.c_iflag & (IXON | IXOFF | INPCK));
  // What the line cannot hold is kept for GetCommState.
  DCB back;
  ASSERT_TRUE(GetCommState(h_, &back));
  EXPECT_EQ(back.XonLim, 100);
  EXPECT_EQ(back.XoffLim, 200);
  EXPECT_EQ(back.flags & (kDcbNull | kDcbDsrSensitivity | kDcbOutxCtsFlow),
            kDcbNull | kDcbDsrSensitivity | kDcbOutxCtsFlow);
  EXPECT_EQ(back.BaudRate, 19200u);
}

TEST_F(PtyTest, UnsupportedStatesChangeNothing) {
  DCB d;
  ASSERT_TRUE(GetCommState(h_, &d));
  DCB bad = d;
  bad.BaudRate = 12345;
  EXPECT_FALSE(SetCommState(h_, &bad));
  bad = d, bad.ByteSize = 9;
  EXPECT_FALSE(SetCommState(h_, &bad));
  bad = d, bad.Parity = 7;
  EXPECT_FALSE(SetCommState(h_, &bad));
  DCB now;
  ASSERT_TRUE(GetCommState(h_, &now));
  EXPECT_EQ(now.BaudRate, d.BaudRate);
}

TEST_F(PtyTest, BytesBothWaysWithinTheTimeouts) {
  DWORD done = 0;
  ASSERT_TRUE(WriteComm(h_, "hallo", 5, &done));
  EXPECT_EQ(done, 5u);
  char buf[16] = {};
  usleep(20000);
  ASSERT_EQ(read(master_, buf, sizeof buf), 5);
  EXPECT_EQ(std::string(buf, 5), "hallo");

  ASSERT_EQ(write(master_, "abc", 3), 3);
  usleep(20000);
  COMSTAT st;
  DWORD errors = 99;
  ASSERT_TRUE(ClearCommError(h_, &errors, &st));
  EXPECT_EQ(errors, 0u);
  EXPECT_EQ(st.cbInQue, 3u);
  // Asking for more than came: what came, after the port's timeout.
  COMMTIMEOUTS t{0, 0, 100, 0, 0};
  ASSERT_TRUE(SetCommTimeouts(h_, &t));
  auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(ReadComm(h_, buf, 10, &done));
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(done, 3u);
  EXPECT_EQ(std::string(buf, 3), "abc");
  EXPECT_GE(ms, 90);
  EXPECT_LT(ms, 2000);
  // Immediate reads return at once.
  t = COMMTIMEOUTS{0xFFFFFFFFu, 0, 0, 0, 0};
  ASSERT_TRUE(SetCommTimeouts(h_, &t));
  ASSERT_TRUE(ReadComm(h_, buf, 10, &done));
  EXPECT_EQ(done, 0u);
}

TEST_F(PtyTest, ExclusiveAndClosedOnce) {
  EXPECT_EQ(OpenComm(name_), -1);
  EXPECT_EQ(SetupComm(h_, 4096, 4096), TRUE);
  HANDLE h = h_;
  EXPECT_TRUE(CloseComm(h));
  EXPECT_FALSE(CloseComm(h));
  DCB d;
  EXPECT_FALSE(GetCommState(h, &d));
  DWORD done = 7;
  EXPECT_FALSE(WriteComm(h, "x", 1, &done));
  EXPECT_EQ(done, 0u);
  // Free again once closed.
  h_ = OpenComm(name_);
  EXPECT_GT(h_, 0);
  EXPECT_NE(h_, h);
}

TEST(CommOpen, MissingDevicesAndUnknownHandles) {
  EXPECT_EQ(OpenComm("/dev/tilmor_gibtesnicht"), -1);
  EXPECT_EQ(OpenComm("COM0"), -1);
  EXPECT_FALSE(ClearCommError(12345, nullptr, nullptr));
  EXPECT_EQ(CommDescriptor(12345), -1);
}

}  // namespace
