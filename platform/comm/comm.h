// Serial ports the Win32 way over termios: CreateFileA on "COMn",
// SetupComm, BuildCommDCBAndTimeoutsA, Get/SetCommState, Get/SetCommTimeouts,
// ClearCommError, WriteFile, ReadFile and CloseHandle.
//
// "COM1" ... "COM255" (also "\\.\COMn" and with a trailing ":") are the
// device of key COMn in section [Serial] of WIN.INI, else /dev/ttyS<n-1>;
// any other name is a file name. A port is opened exclusively: TIOCEXCL
// keeps other openers out, and an flock() of the device keeps out other
// programs of ours (and this one) even where TIOCEXCL does not hold (root).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "../wintypes.h"

namespace win {

// DCB flag word bits.
constexpr DWORD kDcbBinary = 0x0001, kDcbParity = 0x0002, kDcbOutxCtsFlow = 0x0004,
                kDcbOutxDsrFlow = 0x0008, kDcbDtrMask = 0x0030, kDcbDsrSensitivity = 0x0040,
                kDcbTxContinueOnXoff = 0x0080, kDcbOutX = 0x0100, kDcbInX = 0x0200,
                kDcbErrorChar = 0x0400, kDcbNull = 0x0800, kDcbRtsMask = 0x3000,
                kDcbAbortOnError = 0x4000;
constexpr int kDcbDtrShift = 4, kDcbRtsShift = 12;
// DTR and RTS control values
constexpr DWORD kControlDisable = 0, kControlEnable = 1, kControlHandshake = 2, kControlToggle = 3;
// Parity and stop bits
constexpr BYTE NOPARITY = 0, ODDPARITY = 1, EVENPARITY = 2, MARKPARITY = 3, SPACEPARITY = 4;
constexpr BYTE ONESTOPBIT = 0, ONE5STOPBITS = 1, TWOSTOPBITS = 2;
// ClearCommError flags
constexpr DWORD CE_RXOVER = 0x01, CE_OVERRUN = 0x02, CE_RXPARITY = 0x04, CE_FRAME = 0x08,
                CE_BREAK = 0x10;

// Win32's DCB, field for field.
struct DCB {
  DWORD DCBlength = sizeof(DCB);
  DWORD BaudRate = 0;
  DWORD flags = 0;
  WORD wReserved = 0;
  WORD XonLim = 0;
  WORD XoffLim = 0;
  BYTE ByteSize = 0;
  BYTE Parity = 0;
  BYTE StopBits = 0;
  char XonChar = 0;
  char XoffChar = 0;
  char ErrorChar = 0;
  char EofChar = 0;
  char EvtChar = 0;
  WORD wReserved1 = 0;
};

struct COMMTIMEOUTS {
  DWORD ReadIntervalTimeout = 0;
  DWORD ReadTotalTimeoutMultiplier = 0;
  DWORD ReadTotalTimeoutConstant = 0;
  DWORD WriteTotalTimeoutMultiplier = 0;
  DWORD WriteTotalTimeoutConstant = 0;
};

struct COMSTAT {
  DWORD flags = 0;
  DWORD cbInQue = 0;
  DWORD cbOutQue = 0;
};

// The kernel's error counters of a line (TIOCGICOUNT).
struct LineCounters {
  int frame = 0, overrun = 0, parity = 0, brk = 0, bufOverrun = 0;
};
// The ClearCommError flags for what the counters grew by.
DWORD CommErrorFlags(const LineCounters& before, const LineCounters& now);

// The host device a port name means; "" for an empty name or a COM number
// outside 1..255.
std::string ComDevicePath(std::string_view name);

// CreateFileA(name, read and write, no sharing, open existing): the port's
// handle, -1 on failure.
HANDLE OpenComm(std::string_view name);
// The queue sizes are the kernel's; any request is accepted.
BOOL SetupComm(HANDLE h, DWORD inQueue, DWORD outQueue);
// Both forms of Windows: "96,n,8,1[,x|p]" (MODE's, with "COMn:" before it
// allowed) and "baud=9600 parity=N data=8 stop=1 xon=on to=on ..." (only
// the keys given change the DCB). FALSE for text neither form reads.
BOOL BuildCommDCBAndTimeoutsA(const char* text, DCB* dcb, COMMTIMEOUTS* timeouts);
BOOL GetCommState(HANDLE h, DCB* dcb);
BOOL SetCommState(HANDLE h, const DCB* dcb);
BOOL GetCommTimeouts(HANDLE h, COMMTIMEOUTS* t);
BOOL SetCommTimeouts(HANDLE h, const COMMTIMEOUTS* t);
// The errors since the last call (then cleared) and the queue sizes.
BOOL ClearCommError(HANDLE h, DWORD* errors, COMSTAT* stat);
// Within the port's timeouts; the count done in *done.
BOOL WriteComm(HANDLE h, const void* data, DWORD size, DWORD* done);
BOOL ReadComm(HANDLE h, void* data, DWORD size, DWORD* done);
BOOL CloseComm(HANDLE h);
// The descriptor behind a handle (tests), -1 for none.
int CommDescriptor(HANDLE h);
// Closes every port still open (at the end of a run).
void CloseAllComm();

}  // namespace win
