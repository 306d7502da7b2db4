// Memory blocks whose addresses fit in 31 bits: programs see an area
// variable's address as a 32-bit number and pass it to C functions.
#pragma once

#include <cstddef>
#include <cstdint>

namespace win {

// nullptr when no such block can be had.
uint8_t* AllocLow(size_t size);
void FreeLow(uint8_t* block, size_t size);

}  // namespace win
