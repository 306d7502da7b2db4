// libFuzzer target: arbitrary bytes as a BMP file, an .ico file and one
// icon image, each decoded to pixels when the reader takes it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "resources/imagefiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  win::BmpImage bmp;
  if (win::ParseBmp(data, size, &bmp)) {
    win::DibPixels p;
    if (!win::DecodeDib(bmp.header, bmp.colors.data(), bmp.colors.size(), bmp.bits.data(), bmp.bits.size(), &p))
      __builtin_trap();  // the reader took rows the decoder refuses
  }
  std::vector<win::IconImage> icons;
  win::ParseIcoFile(data, size, &icons);
  win::IconImage one;
  win::ParseIconImage(data, size, &one);
  return 0;
}
