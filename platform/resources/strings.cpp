// LoadStringA: string tables of loaded modules. Strings are kept in blocks
// of sixteen (RT_STRING resource number id / 16 + 1), each a UTF-16 length
// followed by that many characters.
#include <algorithm>
#include <cstring>

#include "resources.h"

namespace win {

int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int bufferMax) {
  if (!buffer || bufferMax <= 0) return 0;
  buffer[0] = '\0';
  std::vector<unsigned char> block;
  if (!FindModuleResource(instance, RT_STRING, "#" + std::to_string((id >> 4) + 1), &block)) return 0;
  size_t at = 0;
  for (UINT skip = id & 15; skip > 0; --skip) {
    if (at + 2 > block.size()) return 0;
    at += 2 + 2 * static_cast<size_t>(block[at] | block[at + 1] << 8);
  }
  if (at + 2 > block.size()) return 0;
  size_t length = block[at] | block[at + 1] << 8;
  at += 2;
  // A damaged table may claim more than the block holds.
  length = std::min(length, (block.size() - at) / 2);
  std::string text = Utf16LeToCp1252(block.data() + at, length);
  size_t n = std::min(text.size(), static_cast<size_t>(bufferMax - 1));
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

}  // namespace win
