#include "comm/comm.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <vector>

#include "ascii.h"
#include "profile.h"
#include "ticks.h"
#include "winpath.h"

namespace win {
namespace {

struct Port {
  int fd = -1;
  DCB dcb;
  COMMTIMEOUTS timeouts;
  LineCounters counters;
};

std::map<HANDLE, Port>& Ports() {
  static std::map<HANDLE, Port> ports;
  return ports;
}

Port* Find(HANDLE h) {
  auto it = Ports().find(h);
  return it == Ports().end() ? nullptr : &it->second;
}

std::string TrimBlanks(std::string_view s) {
  size_t a = s.find_first_not_of(" \t");
  if (a == std::string_view::npos) return {};
  size_t b = s.find_last_not_of(" \t");
  return std::string(s.substr(a, b - a + 1));
}

// The port number of "COMn", "\\.\COMn" or "COMn:", 0 for other names.
int ComNumber(std::string_view name) {
  std::string n = AsciiUpper(TrimBlanks(name));
  if (n.compare(0, 4, "\\\\.\\") == 0) n = n.substr(4);
  if (!n.empty() && n.back() == ':') n.pop_back();
  if (n.size() < 4 || n.size() > 6 || n.compare(0, 3, "COM") != 0) return -1;
  int v = 0;
  for (size_t i = 3; i < n.size(); ++i) {
    if (n[i] < '0' || n[i] > '9') return -1;
    v = v * 10 + (n[i] - '0');
  }
  return v;
}

const struct {
  DWORD rate;
  speed_t speed;
} kSpeeds[] = {{50, B50},         {75, B75},         {110, B110},       {134, B134},
               {150, B150},       {200, B200},       {300, B300},       {600, B600},
               {1200, B1200},     {1800, B1800},     {2400, B2400},     {4800, B4800},
               {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},
               {115200, B115200}, {230400, B230400}, {460800, B460800}, {500000, B500000},
               {576000, B576000}, {921600, B921600}, {1000000, B1000000}};

bool SpeedOf(DWORD rate, speed_t* speed) {
  for (const auto& s : kSpeeds)
    if (s.rate == rate) return *speed = s.speed, true;
  return false;
}

DWORD RateOf(speed_t speed) {
  for (const auto& s : kSpeeds)
    if (s.speed == speed) return s.rate;
  return 0;
}

bool ReadCounters(int fd, LineCounters* c) {
  serial_icounter_struct ic{};
  if (ioctl(fd, TIOCGICOUNT, &ic) != 0) return false;
  c->frame = ic.frame;
  c->overrun = ic.overrun;
  c->parity = ic.parity;
  c->brk = ic.brk;
  c->bufOverrun = ic.buf_overrun;
  return true;
}

// The DCB with the fields termios carries taken from the line.
void FromTermios(const termios& t, DCB* d) {
  d->DCBlength = sizeof(DCB);
  if (DWORD rate = RateOf(cfgetospeed(&t))) d->BaudRate = rate;
  switch (t.c_cflag & CSIZE) {
    case CS5: d->ByteSize = 5; break;
    case CS6: d->ByteSize = 6; break;
    case CS7: d->ByteSize = 7; break;
    default: d->ByteSize = 8;
  }
  if (!(t.c_cflag & PARENB))
    d->Parity = NOPARITY;
  else if (t.c_cflag & CMSPAR)
    d->Parity = (t.c_cflag & PARODD) ? MARKPARITY : SPACEPARITY;
  else
    d->Parity = (t.c_cflag & PARODD) ? ODDPARITY : EVENPARITY;
  if (!(t.c_cflag & CSTOPB))
    d->StopBits = ONESTOPBIT;
  else if (d->StopBits == ONESTOPBIT)
    d->StopBits = TWOSTOPBITS;
  DWORD f = d->flags | kDcbBinary;
  f = (t.c_iflag & INPCK) ? f | kDcbParity : f & ~kDcbParity;
  f = (t.c_iflag & IXON) ? f | kDcbOutX : f & ~kDcbOutX;
  f = (t.c_iflag & IXOFF) ? f | kDcbInX : f & ~kDcbInX;
  DWORD rts = (f & kDcbRtsMask) >> kDcbRtsShift;
  if (t.c_cflag & CRTSCTS) {
    if (!(f & kDcbOutxCtsFlow) && rts != kControlHandshake) f |= kDcbOutxCtsFlow;
  } else {
    f &= ~kDcbOutxCtsFlow;
    if (rts == kControlHandshake) f = (f & ~kDcbRtsMask) | (kControlEnable << kDcbRtsShift);
  }
  d->flags = f;
  d->XonChar = static_cast<char>(t.c_cc[VSTART]);
  d->XoffChar = static_cast<char>(t.c_cc[VSTOP]);
}

int64_t Now() { return static_cast<int64_t>(GetTickCount64()); }

// Waits for `events` until the deadline (-1: none).
bool WaitFor(int fd, short events, int64_t deadline) {
  for (;;) {
    int ms = -1;
    if (deadline >= 0) {
      int64_t left = deadline - Now();
      if (left <= 0) return false;
      ms = static_cast<int>(left > 0x7FFFFFFF ? 0x7FFFFFFF : left);
    }
    pollfd p{fd, events, 0};
    int r = poll(&p, 1, ms);
    if (r > 0) return true;
    if (r == 0) return false;
    if (errno != EINTR) return false;
  }
}

HANDLE g_next = 0x100;

bool OnOff(const std::string& v, bool* on) {
  if (v == "on") return *on = true, true;
  if (v == "off") return *on = false, true;
  return false;
}

// MODE's two-digit rates.
DWORD Baud(DWORD v) {
  switch (v) {
    case 11: return 110;
    case 15: return 150;
    case 30: return 300;
    case 60: return 600;
    case 12: return 1200;
    case 24: return 2400;
    case 48: return 4800;
    case 96: return 9600;
    case 19: return 19200;
    default: return v;
  }
}

bool Number(const std::string& s, DWORD* v) {
  if (s.empty() || s.size() > 9 || s.find_first_not_of("0123456789") != std::string::npos) return false;
  *v = static_cast<DWORD>(std::stoul(s));
  return true;
}

bool ParityLetter(const std::string& s, BYTE* p) {
  static const char kLetters[] = "noems";
  static const BYTE kValues[] = {NOPARITY, ODDPARITY, EVENPARITY, MARKPARITY, SPACEPARITY};
  if (s.size() != 1) return false;
  const char* at = std::strchr(kLetters, s[0]);
  if (!at || !*at) return false;
  *p = kValues[at - kLetters];
  return true;
}

bool StopValue(const std::string& s, BYTE* b) {
  if (s == "1") return *b = ONESTOPBIT, true;
  if (s == "1.5") return *b = ONE5STOPBITS, true;
  if (s == "2") return *b = TWOSTOPBITS, true;
  return false;
}

void SetControl(DWORD* flags, DWORD mask, int shift, DWORD value) { *flags = (*flags & ~mask) | (value << shift); }

}  // namespace

DWORD CommErrorFlags(const LineCounters& b, const LineCounters& n) {
  DWORD f = 0;
  if (n.bufOverrun != b.bufOverrun) f |= CE_RXOVER;
  if (n.overrun != b.overrun) f |= CE_OVERRUN;
  if (n.parity != b.parity) f |= CE_RXPARITY;
  if (n.frame != b.frame) f |= CE_FRAME;
  if (n.brk != b.brk) f |= CE_BREAK;
  return f;
}

std::string ComDevicePath(std::string_view name) {
  std::string n = TrimBlanks(name);
  if (n.empty()) return {};
  int com = ComNumber(n);
  if (com == 0 || com > 255) return {};
  if (com > 0) {
    std::string mapped = TrimBlanks(WinIniString("Serial", "COM" + std::to_string(com), ""));
    if (!mapped.empty()) return mapped[0] == '/' ? mapped : HostPath(mapped);
    return "/dev/ttyS" + std::to_string(com - 1);
  }
  return HostPath(n);
}

HANDLE OpenComm(std::string_view name) {
  std::string path = ComDevicePath(name);
  if (path.empty()) return -1;
  int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return -1;
  }
  Port p;
  p.fd = fd;
  termios t;
  if (tcgetattr(fd, &t) == 0) {
    ioctl(fd, TIOCEXCL);
    // Bytes as they are: no line editing, echo or translation.
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    tcsetattr(fd, TCSANOW, &t);
    p.dcb.StopBits = ONESTOPBIT;
    p.dcb.flags = kDcbBinary | (kControlEnable << kDcbDtrShift) | (kControlEnable << kDcbRtsShift);
    FromTermios(t, &p.dcb);
    ReadCounters(fd, &p.counters);
  }
  p.timeouts = COMMTIMEOUTS{50, 50, 50, 50, 50};
  HANDLE h = g_next;
  g_next += 4;
  Ports()[h] = p;
  return h;
}

BOOL SetupComm(HANDLE h, DWORD, DWORD) { return Find(h) ? TRUE : FALSE; }

BOOL BuildCommDCBAndTimeoutsA(const char* text, DCB* dcb, COMMTIMEOUTS* timeouts) {
  if (!text || !dcb) return FALSE;
  std::string s = AsciiLower(TrimBlanks(text));
  // "COMn:" before the settings.
  if (s.compare(0, 3, "com") == 0) {
    size_t colon = s.find(':');
    if (colon == std::string::npos || ComNumber(s.substr(0, colon)) < 1) return FALSE;
    s = TrimBlanks(s.substr(colon + 1));
  }
  if (s.empty()) return FALSE;
  DCB d = *dcb;
  d.DCBlength = sizeof(DCB);
  d.flags |= kDcbBinary;
  COMMTIMEOUTS t = timeouts ? *timeouts : COMMTIMEOUTS{};
  if (s.find('=') == std::string::npos) {
    std::vector<std::string> f;
    for (size_t start = 0;;) {
      size_t comma = s.find(',', start);
      f.push_back(TrimBlanks(s.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
    DWORD v;
    if (f.size() > 5 || !Number(f[0], &v)) return FALSE;
    d.BaudRate = Baud(v);
    if (f.size() > 1 && !f[1].empty()) {
      if (!ParityLetter(f[1], &d.Parity)) return FALSE;
      d.flags = d.Parity == NOPARITY ? d.flags & ~kDcbParity : d.flags | kDcbParity;
    }
    if (f.size() > 2 && !f[2].empty()) {
      if (!Number(f[2], &v) || v < 5 || v > 8) return FALSE;
      d.ByteSize = static_cast<BYTE>(v);
    }
    if (f.size() > 3 && !f[3].empty() && !StopValue(f[3], &d.StopBits)) return FALSE;
    std::string flow = f.size() > 4 ? f[4] : std::string();
    DWORD fl = d.flags & ~(kDcbOutX | kDcbInX | kDcbOutxCtsFlow | kDcbOutxDsrFlow);
    if (flow == "x") {
      fl |= kDcbOutX | kDcbInX;
      SetControl(&fl, kDcbDtrMask, kDcbDtrShift, kControlEnable);
      SetControl(&fl, kDcbRtsMask, kDcbRtsShift, kControlEnable);
    } else if (flow == "p") {
      fl |= kDcbOutxCtsFlow | kDcbOutxDsrFlow;
      SetControl(&fl, kDcbDtrMask, kDcbDtrShift, kControlHandshake);
      SetControl(&fl, kDcbRtsMask, kDcbRtsShift, kControlHandshake);
    } else if (flow.empty()) {
      SetControl(&fl, kDcbDtrMask, kDcbDtrShift, kControlEnable);
      SetControl(&fl, kDcbRtsMask, kDcbRtsShift, kControlEnable);
    } else {
      return FALSE;
    }
    d.flags = fl;
  } else {
    size_t at = 0;
    while (at < s.size()) {
      size_t end = s.find_first_of(" \t", at);
      std::string item = s.substr(at, end == std::string::npos ? std::string::npos : end - at);
      at = end == std::string::npos ? s.size() : s.find_first_not_of(" \t", end);
      if (at == std::string::npos) at = s.size();
      size_t eq = item.find('=');
      if (eq == std::string::npos) return FALSE;
      std::string key = item.substr(0, eq), value = item.substr(eq + 1);
      DWORD v;
      bool on;
      if (key == "baud") {
        if (!Number(value, &v)) return FALSE;
        d.BaudRate = Baud(v);
      } else if (key == "parity") {
        if (!ParityLetter(value, &d.Parity)) return FALSE;
        d.flags = d.Parity == NOPARITY ? d.flags & ~kDcbParity : d.flags | kDcbParity;
      } else if (key == "data") {
        if (!Number(value, &v) || v < 5 || v > 8) return FALSE;
        d.ByteSize = static_cast<BYTE>(v);
      } else if (key == "stop") {
        if (!StopValue(value, &d.StopBits)) return FALSE;
      } else if (key == "to") {
        if (!OnOff(value, &on)) return FALSE;
        t.WriteTotalTimeoutConstant = on ? 60000 : 0;
      } else if (key == "xon") {
        if (!OnOff(value, &on)) return FALSE;
        d.flags = on ? d.flags | kDcbOutX | kDcbInX : d.flags & ~(kDcbOutX | kDcbInX);
      } else if (key == "odsr") {
        if (!OnOff(value, &on)) return FALSE;
        d.flags = on ? d.flags | kDcbOutxDsrFlow : d.flags & ~kDcbOutxDsrFlow;
      } else if (key == "octs") {
        if (!OnOff(value, &on)) return FALSE;
        d.flags = on ? d.flags | kDcbOutxCtsFlow : d.flags & ~kDcbOutxCtsFlow;
      } else if (key == "idsr") {
        if (!OnOff(value, &on)) return FALSE;
        d.flags = on ? d.flags | kDcbDsrSensitivity : d.flags & ~kDcbDsrSensitivity;
      } else if (key == "dtr") {
        DWORD c = value == "on" ? kControlEnable : value == "off" ? kControlDisable : value == "hs" ? kControlHandshake : 9;
        if (c == 9) return FALSE;
        SetControl(&d.flags, kDcbDtrMask, kDcbDtrShift, c);
      } else if (key == "rts") {
        DWORD c = value == "on"    ? kControlEnable
                  : value == "off" ? kControlDisable
                  : value == "hs"  ? kControlHandshake
                  : value == "tg"  ? kControlToggle
                                   : 9;
        if (c == 9) return FALSE;
        SetControl(&d.flags, kDcbRtsMask, kDcbRtsShift, c);
      } else {
        return FALSE;
      }
    }
  }
  *dcb = d;
  if (timeouts) *timeouts = t;
  return TRUE;
}

BOOL GetCommState(HANDLE h, DCB* dcb) {
  Port* p = Find(h);
  termios t;
  if (!p || !dcb || tcgetattr(p->fd, &t) != 0) return FALSE;
  FromTermios(t, &p->dcb);
  *dcb = p->dcb;
  return TRUE;
}

BOOL SetCommState(HANDLE h, const DCB* dcb) {
  Port* p = Find(h);
  termios t;
  if (!p || !dcb || tcgetattr(p->fd, &t) != 0) return FALSE;
  speed_t speed;
  if (!SpeedOf(dcb->BaudRate, &speed) || dcb->ByteSize < 5 || dcb->ByteSize > 8 ||
      dcb->Parity > SPACEPARITY || dcb->StopBits > TWOSTOPBITS)
    return FALSE;
  if ((dcb->flags & (kDcbOutX | kDcbInX)) && dcb->XonChar != 0 && dcb->XonChar == dcb->XoffChar) return FALSE;
  cfmakeraw(&t);
  t.c_cflag |= CLOCAL | CREAD;
  cfsetispeed(&t, speed);
  cfsetospeed(&t, speed);
  static const tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
  t.c_cflag = (t.c_cflag & ~CSIZE) | kSizes[dcb->ByteSize - 5];
  t.c_cflag &= ~(PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  switch (dcb->Parity) {
    case ODDPARITY: t.c_cflag |= PARENB | PARODD; break;
    case EVENPARITY: t.c_cflag |= PARENB; break;
    case MARKPARITY: t.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case SPACEPARITY: t.c_cflag |= PARENB | CMSPAR; break;
    default: break;
  }
  if (dcb->StopBits != ONESTOPBIT) t.c_cflag |= CSTOPB;
  DWORD f = dcb->flags;
  DWORD rts = (f & kDcbRtsMask) >> kDcbRtsShift;
  DWORD dtr = (f & kDcbDtrMask) >> kDcbDtrShift;
  if ((f & kDcbOutxCtsFlow) || rts == kControlHandshake) t.c_cflag |= CRTSCTS;
  t.c_iflag &= ~(INPCK | IXON | IXOFF | IGNPAR | PARMRK);
  if (f & kDcbParity) t.c_iflag |= INPCK;
  if (f & kDcbOutX) t.c_iflag |= IXON;
  if (f & kDcbInX) t.c_iflag |= IXOFF;
  if (dcb->XonChar || dcb->XoffChar) {
    t.c_cc[VSTART] = static_cast<cc_t>(dcb->XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(dcb->XoffChar);
  }
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  if (tcsetattr(p->fd, TCSANOW, &t) != 0) return FALSE;
  // The modem lines, where the device has them.
  int dtrBit = TIOCM_DTR, rtsBit = TIOCM_RTS;
  ioctl(p->fd, dtr == kControlDisable ? TIOCMBIC : TIOCMBIS, &dtrBit);
  if (rts != kControlHandshake) ioctl(p->fd, rts == kControlDisable ? TIOCMBIC : TIOCMBIS, &rtsBit);
  p->dcb = *dcb;
  p->dcb.DCBlength = sizeof(DCB);
  return TRUE;
}

BOOL GetCommTimeouts(HANDLE h, COMMTIMEOUTS* t) {
  Port* p = Find(h);
  if (!p || !t) return FALSE;
  *t = p->timeouts;
  return TRUE;
}

BOOL SetCommTimeouts(HANDLE h, const COMMTIMEOUTS* t) {
  Port* p = Find(h);
  if (!p || !t) return FALSE;
  p->timeouts = *t;
  return TRUE;
}

BOOL ClearCommError(HANDLE h, DWORD* errors, COMSTAT* stat) {
  Port* p = Find(h);
  if (!p) return FALSE;
  LineCounters now = p->counters;
  ReadCounters(p->fd, &now);
  if (errors) *errors = CommErrorFlags(p->counters, now);
  p->counters = now;
  if (stat) {
    int in = 0, out = 0;
    if (ioctl(p->fd, FIONREAD, &in) != 0) in = 0;
    if (ioctl(p->fd, TIOCOUTQ, &out) != 0) out = 0;
    *stat = COMSTAT{0, static_cast<DWORD>(in), static_cast<DWORD>(out)};
  }
  return TRUE;
}

BOOL WriteComm(HANDLE h, const void* data, DWORD size, DWORD* done) {
  if (done) *done = 0;
  Port* p = Find(h);
  if (!p) return FALSE;
  const COMMTIMEOUTS& t = p->timeouts;
  uint64_t total = static_cast<uint64_t>(t.WriteTotalTimeoutMultiplier) * size + t.WriteTotalTimeoutConstant;
  int64_t deadline = total ? Now() + static_cast<int64_t>(total) : -1;
  const char* at = static_cast<const char*>(data);
  DWORD written = 0;
  while (written < size) {
    ssize_t n = write(p->fd, at + written, size - written);
    if (n > 0) {
      written += static_cast<DWORD>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) {
      if (done) *done = written;
      return FALSE;
    }
    if (!WaitFor(p->fd, POLLOUT, deadline)) break;
  }
  if (done) *done = written;
  return TRUE;
}

BOOL ReadComm(HANDLE h, void* data, DWORD size, DWORD* done) {
  if (done) *done = 0;
  Port* p = Find(h);
  if (!p) return FALSE;
  const COMMTIMEOUTS& t = p->timeouts;
  bool immediate = t.ReadIntervalTimeout == 0xFFFFFFFFu && t.ReadTotalTimeoutMultiplier == 0 &&
                   t.ReadTotalTimeoutConstant == 0;
  uint64_t total = static_cast<uint64_t>(t.ReadTotalTimeoutMultiplier) * size + t.ReadTotalTimeoutConstant;
  int64_t deadline = immediate ? 0 : total ? Now() + static_cast<int64_t>(total) : -1;
  char* at = static_cast<char*>(data);
  DWORD got = 0;
  while (got < size) {
    ssize_t n = read(p->fd, at + got, size - got);
    if (n > 0) {
      got += static_cast<DWORD>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) {
      if (done) *done = got;
      return FALSE;
    }
    if (immediate) break;
    int64_t until = deadline;
    if (got > 0 && t.ReadIntervalTimeout && t.ReadIntervalTimeout != 0xFFFFFFFFu) {
      int64_t gap = Now() + t.ReadIntervalTimeout;
      if (until < 0 || gap < until) until = gap;
    }
    if (!WaitFor(p->fd, POLLIN, until)) break;
  }
  if (done) *done = got;
  return TRUE;
}

BOOL CloseComm(HANDLE h) {
  Port* p = Find(h);
  if (!p) return FALSE;
  // The exclusive mark outlives the descriptor on a line whose other side
  // stays open (a pseudo-terminal).
  ioctl(p->fd, TIOCNXCL);
  close(p->fd);
  Ports().erase(h);
  return TRUE;
}

void CloseAllComm() {
  while (!Ports().empty()) CloseComm(Ports().begin()->first);
}

int CommDescriptor(HANDLE h) {
  Port* p = Find(h);
  return p ? p->fd : -1;
}

}  // namespace win
