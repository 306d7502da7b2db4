#include "lowmem.h"

#include <sys/mman.h>

namespace win {

uint8_t* AllocLow(size_t size) {
  if (size == 0) return nullptr;
  int flags = MAP_PRIVATE | MAP_ANONYMOUS;
#ifdef MAP_32BIT
  flags |= MAP_32BIT;  // the first 2 GiB on x86-64
#endif
  void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, flags, -1, 0);
  if (p == MAP_FAILED) return nullptr;
  if (reinterpret_cast<uintptr_t>(p) + size > 0x80000000u) {
    munmap(p, size);
    return nullptr;
  }
  return static_cast<uint8_t*>(p);
}

void FreeLow(uint8_t* block, size_t size) {
  if (block && size) munmap(block, size);
}

}  // namespace win
