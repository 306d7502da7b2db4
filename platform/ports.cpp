#include "ports.h"

#include <fcntl.h>
#include <unistd.h>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define TILMOR_HAVE_PORT_INSTRUCTIONS 1
#endif

namespace win {
namespace {

enum class Grant { Unknown, Yes, No };

Grant g_low = Grant::Unknown;   // ports below 0x400 through ioperm
Grant g_high = Grant::Unknown;  // all ports through iopl
int g_device = -2;              // -2 not yet opened, -1 unavailable
std::string g_devicePath = "/dev/port";
bool g_deviceOnly = false;

bool Instructions(uint16_t port, int width) {
#ifdef TILMOR_HAVE_PORT_INSTRUCTIONS
  if (g_deviceOnly) return false;
  if (port + width <= 0x400) {
    if (g_low == Grant::Unknown) g_low = ioperm(0, 0x400, 1) == 0 ? Grant::Yes : Grant::No;
    if (g_low == Grant::Yes) return true;
  }
  if (g_high == Grant::Unknown) g_high = iopl(3) == 0 ? Grant::Yes : Grant::No;
  return g_high == Grant::Yes;
#else
  (void)port;
  (void)width;
  return false;
#endif
}

int Device() {
  if (g_device == -2) g_device = ::open(g_devicePath.c_str(), O_RDWR | O_CLOEXEC);
  return g_device;
}

}  // namespace

PortMethod PortAccess(uint16_t port, int width) {
  if (Instructions(port, width)) return PortMethod::Instructions;
  if (Device() >= 0) return PortMethod::Device;
  return PortMethod::None;
}

uint32_t PortIn(uint16_t port, int width) {
  switch (PortAccess(port, width)) {
    case PortMethod::Instructions:
#ifdef TILMOR_HAVE_PORT_INSTRUCTIONS
      return width == 1 ? inb(port) : inw(port);
#else
      return 0;
#endif
    case PortMethod::Device: {
      unsigned char b[2] = {0, 0};
      if (pread(g_device, b, static_cast<size_t>(width), port) != width) return 0;
      return width == 1 ? b[0] : static_cast<uint32_t>(b[0] | (b[1] << 8));
    }
    case PortMethod::None: break;
  }
  return 0;
}

void PortOut(uint16_t port, int width, uint32_t value) {
  switch (PortAccess(port, width)) {
    case PortMethod::Instructions:
#ifdef TILMOR_HAVE_PORT_INSTRUCTIONS
      if (width == 1)
        outb(static_cast<unsigned char>(value), port);
      else
        outw(static_cast<unsigned short>(value), port);
#endif
      return;
    case PortMethod::Device: {
      unsigned char b[2] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8)};
      ssize_t ignored = pwrite(g_device, b, static_cast<size_t>(width), port);
      (void)ignored;
      return;
    }
    case PortMethod::None: return;
  }
}

void UsePortDevice(const std::string& path) {
  if (g_device >= 0) ::close(g_device);
  g_device = -2;
  g_deviceOnly = !path.empty();
  g_devicePath = path.empty() ? "/dev/port" : path;
}

}  // namespace win
