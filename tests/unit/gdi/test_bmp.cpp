// The BMP file reader and DIB decoding: every bit count, both row orders,
// and files that are damaged, truncated, huge or of another header kind.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "dib_builder.h"
#include "resources/imagefiles.h"

namespace {

using dibbuild::Bytes;
using dibbuild::Dib;

// A 5 x 3 picture (odd width: rows need padding) in the given depth, and
// the colours it must decode to.
Dib Sample(int bits, bool topDown, std::vector<uint32_t>* expect) {
  Dib d;
  d.width = 5, d.height = 3, d.bits = bits, d.topDown = topDown;
  expect->clear();
  if (bits <= 8) {
    const std::vector<uint32_t> colours = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456};
    const size_t n = std::min<size_t>(colours.size(), size_t{1} << bits);
    d.table.assign(colours.begin(), colours.begin() + static_cast<long>(n));
    for (int i = 0; i < 15; ++i) {
      const uint32_t index = static_cast<uint32_t>((i * 7 + i / 5) % n);
      d.pixels.push_back(index);
      expect->push_back(0xFF000000u | d.table[index]);
    }
    return d;
  }
  for (int i = 0; i < 15; ++i) {
    // Values 16 bits keep exactly: multiples of 8 in the 5-bit scale.
    uint32_t c = (static_cast<uint32_t>(i * 17 % 32) << 19) | (static_cast<uint32_t>(i * 5 % 32) << 11) |
                 (static_cast<uint32_t>(31 - i) << 3);
    if (bits == 16) {
      auto five = [](uint32_t v) { return (v << 3) | (v >> 2); };
      c = (five((c >> 19) & 31) << 16) | (five((c >> 11) & 31) << 8) | five((c >> 3) & 31);
    }
    d.pixels.push_back(bits == 32 ? (c | 0x80000000u) : c);
    expect->push_back(bits == 32 ? (c | 0x80000000u) : (c | 0xFF000000u));
  }
  return d;
}

bool Parse(const Bytes& f, win::BmpImage* out) { return win::ParseBmp(f.data(), f.size(), out); }

std::vector<uint32_t> Decoded(const win::BmpImage& b) {
  win::DibPixels p;
  EXPECT_TRUE(win::DecodeDib(b.header, b.colors.data(), b.colors.size(), b.bits.data(), b.bits.size(), &p));
  EXPECT_EQ(p.width, 5);
  EXPECT_EQ(p.height, 3);
  return p.argb;
}

class BmpDepth : public ::testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(BmpDepth, ReadsEveryPixelInItsPlace) {
  const auto [bits, topDown] = GetParam();
  std::vector<uint32_t> expect;
  Dib d = Sample(bits, topDown, &expect);
  win::BmpImage b;
  ASSERT_TRUE(Parse(dibbuild::BmpFile(d), &b));
  EXPECT_EQ(b.header.biBitCount, bits);
  EXPECT_EQ(b.header.biHeight, topDown ? -3 : 3);
  EXPECT_EQ(b.colors.size(), d.table.size());
  EXPECT_EQ(Decoded(b), expect);
}

INSTANTIATE_TEST_SUITE_P(AllDepths, BmpDepth,
                         ::testing::Combine(::testing::Values(1, 4, 8, 16, 24, 32), ::testing::Bool()));

TEST(BmpFile, AFullColourTableIsAssumedWhenTheHeaderGivesNoCount) {
  std::vector<uint32_t> expect;
  Dib d = Sample(4, false, &expect);
  d.table.resize(16, 0x777777);
  Bytes f = dibbuild::BmpFile(d);
  f[14 + 32] = 0;  // biClrUsed 0: all 16 entries
  win::BmpImage b;
  ASSERT_TRUE(Parse(f, &b));
  EXPECT_EQ(b.colors.size(), 16u);
  EXPECT_EQ(Decoded(b), expect);
}

TEST(BmpFile, IndicesBeyondTheTableAreBlack) {
  Dib d{2, 1, 8, false, {0xFF0000}, {0, 9}};
  win::BmpImage b;
  ASSERT_TRUE(Parse(dibbuild::BmpFile(d), &b));
  win::DibPixels p;
  ASSERT_TRUE(win::DecodeDib(b.header, b.colors.data(), b.colors.size(), b.bits.data(), b.bits.size(), &p));
  EXPECT_EQ(p.argb, (std::vector<uint32_t>{0xFFFF0000u, 0xFF000000u}));
}

TEST(BmpFile, EveryTruncationFails) {
  std::vector<uint32_t> expect;
  Bytes f = dibbuild::BmpFile(Sample(8, false, &expect));
  win::BmpImage b;
  ASSERT_TRUE(Parse(f, &b));
  for (size_t n = 0; n < f.size(); ++n) EXPECT_FALSE(win::ParseBmp(f.data(), n, &b)) << n << " bytes";
}

TEST(BmpFile, OtherHeaderKindsAreRefused) {
  std::vector<uint32_t> expect;
  Dib d = Sample(24, false, &expect);
  win::BmpImage b;
  // OS/2: a 12-byte header of 16-bit sizes.
  Bytes os2 = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 26, 0, 0, 0};
  dibbuild::U32(os2, 12), dibbuild::U16(os2, 5), dibbuild::U16(os2, 3), dibbuild::U16(os2, 1), dibbuild::U16(os2, 24);
  Bytes rows = dibbuild::Rows(d);
  os2.insert(os2.end(), rows.begin(), rows.end());
  EXPECT_FALSE(Parse(os2, &b));
  // V4 and V5: the same fields and more behind them.
  for (uint32_t size : {108u, 124u}) {
    Bytes f = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0};
    dibbuild::U32(f, 14 + size);
    Bytes h = dibbuild::Header(5, 3, 24, 0, 0, size);
    f.insert(f.end(), h.begin(), h.end());
    f.insert(f.end(), rows.begin(), rows.end());
    EXPECT_FALSE(Parse(f, &b)) << size;
  }
}

TEST(BmpFile, DamagedFieldsAreRefused) {
  std::vector<uint32_t> expect;
  const Bytes good = dibbuild::BmpFile(Sample(8, false, &expect));
  win::BmpImage b;
  auto with = [&](size_t at, std::vector<uint8_t> bytes) {
    Bytes f = good;
    for (size_t i = 0; i < bytes.size(); ++i) f[at + i] = bytes[i];
    return f;
  };
  EXPECT_FALSE(Parse(with(0, {'M', 'B'}), &b)) << "signature";
  EXPECT_FALSE(Parse(with(10, {0xFF, 0xFF, 0, 0}), &b)) << "bits beyond the end";
  EXPECT_FALSE(Parse(with(10, {20, 0, 0, 0}), &b)) << "bits inside the header";
  EXPECT_FALSE(Parse(with(14 + 14, {2, 0}), &b)) << "2 bits per pixel";
  EXPECT_FALSE(Parse(with(14 + 16, {1, 0, 0, 0}), &b)) << "run-length compressed";
  EXPECT_FALSE(Parse(with(14 + 32, {0, 2, 0, 0}), &b)) << "512 colours for 8 bits";
  EXPECT_FALSE(Parse(with(14 + 4, {0, 0, 0, 0}), &b)) << "no width";
  EXPECT_FALSE(Parse(with(14 + 4, {0xFB, 0xFF, 0xFF, 0xFF}), &b)) << "negative width";
  EXPECT_FALSE(Parse(with(14 + 8, {0, 0, 0, 0}), &b)) << "no height";
  EXPECT_FALSE(Parse(with(14 + 8, {0, 0, 0, 0x80}), &b)) << "the most negative height";
  EXPECT_FALSE(Parse(with(14 + 12, {0, 0}), &b)) << "no planes";
}

TEST(BmpFile, HugeSizesAreRefusedWithoutAllocating) {
  std::vector<uint32_t> expect;
  const Bytes good = dibbuild::BmpFile(Sample(24, false, &expect));
  win::BmpImage b;
  for (auto [w, h] : {std::pair<uint32_t, uint32_t>{0x7FFFFFFF, 0x7FFFFFFF}, {100000, 100000}, {1, 0x7FFFFFFF},
                      {65536, 0x80000001}}) {
    Bytes f = good;
    for (int i = 0; i < 4; ++i) f[18 + i] = static_cast<uint8_t>(w >> (8 * i)), f[22 + i] = static_cast<uint8_t>(h >> (8 * i));
    EXPECT_FALSE(Parse(f, &b)) << w << " x " << h;
  }
}

TEST(BmpFile, ReadsAFileAndFailsOnAMissingOne) {
  std::vector<uint32_t> expect;
  const Bytes f = dibbuild::BmpFile(Sample(4, true, &expect));
  const std::string path = ::testing::TempDir() + "/bmp_reader_test.bmp";
  FILE* out = std::fopen(path.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fwrite(f.data(), 1, f.size(), out);
  std::fclose(out);
  win::BmpImage b;
  ASSERT_TRUE(win::ReadBmpFile(path, &b));
  EXPECT_EQ(Decoded(b), expect);
  std::remove(path.c_str());
  EXPECT_FALSE(win::ReadBmpFile(path, &b));
  EXPECT_FALSE(win::ReadBmpFile(::testing::TempDir(), &b)) << "a directory";
}

TEST(Dib, DecodingNeedsAllRows) {
  std::vector<uint32_t> expect;
  Dib d = Sample(24, false, &expect);
  Bytes rows = dibbuild::Rows(d);
  BITMAPINFOHEADER h;
  h.biWidth = 5, h.biHeight = 3, h.biBitCount = 24;
  win::DibPixels p;
  EXPECT_TRUE(win::DecodeDib(h, nullptr, 0, rows.data(), rows.size(), &p));
  EXPECT_EQ(p.argb, expect);
  EXPECT_FALSE(win::DecodeDib(h, nullptr, 0, rows.data(), rows.size() - 1, &p));
}

}  // namespace
