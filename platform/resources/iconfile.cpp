// Icon and cursor images: .ico and .cur files and the icon and cursor groups
// of module resources.
#include <cstdlib>
#include <cstring>

#include "imagefiles.h"
#include "le_bytes.h"
#include "resources.h"

namespace win {
namespace {

constexpr unsigned char kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr size_t kMaxIcoFile = 16 * 1024 * 1024;
// Icons are small; anything larger is a damaged entry.
constexpr int kMaxIconSide = 1024;

uint32_t Be32(const unsigned char* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

// The group entry nearest 32 x 32, then the one with most colours.
struct GroupEntry {
  int side = 0, bits = 0, id = 0;
};
int PickEntry(const std::vector<GroupEntry>& list) {
  int best = -1;
  for (size_t i = 0; i < list.size(); ++i) {
    if (best < 0) {
      best = static_cast<int>(i);
      continue;
    }
    const GroupEntry& a = list[i];
    const GroupEntry& b = list[static_cast<size_t>(best)];
    const int da = std::abs(a.side - 32), db = std::abs(b.side - 32);
    if (da < db || (da == db && a.bits > b.bits)) best = static_cast<int>(i);
  }
  return best;
}

std::vector<GroupEntry> GroupEntries(const std::vector<unsigned char>& g, bool cursor) {
  std::vector<GroupEntry> list;
  if (g.size() < 6 || Le16(g.data()) != 0) return list;
  const size_t count = Le16(g.data() + 4);
  for (size_t i = 0; i < count && 6 + 14 * (i + 1) <= g.size(); ++i) {
    const unsigned char* e = g.data() + 6 + 14 * i;
    GroupEntry entry;
    // Cursor groups give width and height as words (the height doubled).
    entry.side = cursor ? Le16(e) : (e[0] ? e[0] : 256);
    entry.bits = Le16(e + 6);
    entry.id = Le16(e + 12);
    list.push_back(entry);
  }
  return list;
}

bool FromGroup(HINSTANCE instance, int groupType, int imageType, const std::string& name, IconImage* out) {
  std::vector<unsigned char> group;
  if (!FindModuleResource(instance, groupType, name, &group)) return false;
  const bool cursor = groupType == RT_GROUP_CURSOR;
  std::vector<GroupEntry> list = GroupEntries(group, cursor);
  const int pick = PickEntry(list);
  if (pick < 0) return false;
  std::vector<unsigned char> data;
  if (!FindModuleResource(instance, imageType, "#" + std::to_string(list[static_cast<size_t>(pick)].id), &data))
    return false;
  if (!cursor) return ParseIconImage(data.data(), data.size(), out);
  // A cursor image starts with its hot spot.
  if (data.size() < 4 || !ParseIconImage(data.data() + 4, data.size() - 4, out)) return false;
  out->hotX = Le16(data.data());
  out->hotY = Le16(data.data() + 2);
  return true;
}

}  // namespace

bool ParseIconImage(const unsigned char* data, size_t size, IconImage* out) {
  if (!data) return false;
  if (size >= 24 && std::memcmp(data, kPng, 8) == 0) {
    const uint32_t w = Be32(data + 16), h = Be32(data + 20);
    if (w == 0 || h == 0 || w > kMaxIconSide || h > kMaxIconSide) return false;
    *out = IconImage{};
    out->width = static_cast<int>(w);
    out->height = static_cast<int>(h);
    out->bitCount = 32;
    out->png.assign(data, data + size);
    return true;
  }
  if (size < 40 || Le32(data) != 40) return false;
  BITMAPINFOHEADER h = InfoHeaderAt(data);
  // The height counts the colour rows and the mask rows.
  if (h.biHeight <= 0 || h.biHeight % 2 || h.biWidth > kMaxIconSide || h.biHeight / 2 > kMaxIconSide) return false;
  const int height = h.biHeight / 2;
  h.biHeight = height;
  if (!DibHeaderUsable(h)) return false;
  const size_t colors = static_cast<size_t>(DibColorCount(h));
  if (colors * 4 > size - 40) return false;
  std::vector<RGBQUAD> table(colors);
  for (size_t i = 0; i < colors; ++i) {
    const unsigned char* q = data + 40 + 4 * i;
    table[i] = RGBQUAD{q[0], q[1], q[2], q[3]};
  }
  const size_t xorAt = 40 + colors * 4;
  const size_t xorSize = static_cast<size_t>(DibRowBytes(h.biWidth, h.biBitCount)) * static_cast<size_t>(height);
  IconImage img;
  if (!DecodeDib(h, table.data(), colors, data + xorAt, size - xorAt, &img.pixels)) return false;
  const size_t maskRow = static_cast<size_t>(DibRowBytes(h.biWidth, 1));
  const size_t maskAt = xorAt + xorSize;
  const bool hasMask = maskAt <= size && maskRow * static_cast<size_t>(height) <= size - maskAt;
  bool alpha = false;
  if (h.biBitCount == 32)
    for (uint32_t p : img.pixels.argb) alpha |= (p >> 24) != 0;
  // Only 32-bit icons with alpha may go without their mask.
  if (!hasMask && !alpha) return false;
  for (int y = 0; y < height; ++y) {
    uint32_t* row = img.pixels.argb.data() + static_cast<size_t>(y) * static_cast<size_t>(h.biWidth);
    const unsigned char* mask = hasMask ? data + maskAt + maskRow * static_cast<size_t>(height - 1 - y) : nullptr;
    for (int x = 0; x < h.biWidth; ++x) {
      if (alpha) continue;
      const bool clear = (mask[x >> 3] >> (7 - (x & 7))) & 1;
      row[x] = clear ? 0u : (row[x] | 0xFF000000u);
    }
  }
  img.width = h.biWidth;
  img.height = height;
  img.bitCount = h.biBitCount;
  *out = std::move(img);
  return true;
}

bool ParseIcoFile(const unsigned char* data, size_t size, std::vector<IconImage>* out) {
  if (!data || size < 6 || Le16(data) != 0) return false;
  const int type = Le16(data + 2);
  const size_t count = Le16(data + 4);
  if ((type != 1 && type != 2) || count == 0 || 6 + 16 * count > size) return false;
  std::vector<IconImage> list;
  for (size_t i = 0; i < count; ++i) {
    const unsigned char* e = data + 6 + 16 * i;
    const uint32_t bytes = Le32(e + 8), at = Le32(e + 12);
    if (at > size || bytes > size - at) return false;
    IconImage img;
    if (!ParseIconImage(data + at, bytes, &img)) return false;
    if (type == 2) img.hotX = Le16(e + 4), img.hotY = Le16(e + 6);
    list.push_back(std::move(img));
  }
  *out = std::move(list);
  return true;
}

bool ReadIcoFile(const std::string& path, std::vector<IconImage>* out) {
  std::vector<unsigned char> data;
  return ReadWholeFile(path, kMaxIcoFile, &data) && ParseIcoFile(data.data(), data.size(), out);
}

int ModuleIconCount(HINSTANCE instance) {
  return static_cast<int>(ModuleResourceNames(instance, RT_GROUP_ICON).size());
}

bool ModuleIconAt(HINSTANCE instance, int index, IconImage* out) {
  std::vector<std::string> names = ModuleResourceNames(instance, RT_GROUP_ICON);
  if (index < 0 || static_cast<size_t>(index) >= names.size()) return false;
  return ModuleIcon(instance, names[static_cast<size_t>(index)], out);
}

bool ModuleIcon(HINSTANCE instance, const std::string& name, IconImage* out) {
  return FromGroup(instance, RT_GROUP_ICON, RT_ICON, name, out);
}

bool ModuleCursor(HINSTANCE instance, const std::string& name, IconImage* out) {
  return FromGroup(instance, RT_GROUP_CURSOR, RT_CURSOR, name, out);
}

}  // namespace win
