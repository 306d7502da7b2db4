// Direct x86 port input and output. The first access chooses the method:
// the in/out instructions where the process may use them (ioperm for ports
// below 0x400, iopl above), else reads and writes of /dev/port, else none:
// output is dropped and input reads 0.
#pragma once

#include <cstdint>
#include <string>

namespace win {

enum class PortMethod { Instructions, Device, None };

// The method for a port access of `width` bytes (1 or 2).
PortMethod PortAccess(uint16_t port, int width);

uint32_t PortIn(uint16_t port, int width);
void PortOut(uint16_t port, int width, uint32_t value);

// Uses the file at `path` in place of /dev/port and never the instructions
// (tests); "" returns to the normal choice.
void UsePortDevice(const std::string& path);

}  // namespace win
