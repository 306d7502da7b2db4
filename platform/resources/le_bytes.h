// Little-endian numbers in the bytes of the file formats read here.
#pragma once

#include <cstdint>

namespace win {

inline uint16_t Le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t Le32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16)) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace win
