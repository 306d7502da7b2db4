// Builds small .res files and PE modules with resources for the tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace resbuild {

using Bytes = std::vector<uint8_t>;

inline void U16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void U32(Bytes& b, uint32_t v) {
  U16(b, v & 0xFFFF);
  U16(b, v >> 16);
}
inline void Put32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void Pad4(Bytes& b) {
  while (b.size() % 4) b.push_back(0);
}
// ASCII or Latin-1 text as zero-ended UTF-16LE.
inline void WText(Bytes& b, const std::u16string& s) {
  for (char16_t c : s) U16(b, c);
  U16(b, 0);
}

// A string table block: up to sixteen strings, each its UTF-16 length and
// characters (no terminator); missing ones are empty.
inline Bytes StringBlock(const std::vector<std::u16string>& strings) {
  Bytes b;
  for (size_t i = 0; i < 16; ++i) {
    const std::u16string s = i < strings.size() ? strings[i] : std::u16string();
    U16(b, static_cast<uint32_t>(s.size()));
    for (char16_t c : s) U16(b, c);
  }
  return b;
}

// A resource: numbered when name is empty.
struct Res {
  int type;
  std::u16string name;
  int id;
  Bytes data;
};

inline Bytes ResFile(const std::vector<Res>& list) {
  Bytes f;
  // The opening empty record of a 32-bit resource file.
  U32(f, 0), U32(f, 32), U16(f, 0xFFFF), U16(f, 0), U16(f, 0xFFFF), U16(f, 0);
  for (int i = 0; i < 4; ++i) U32(f, 0);
  for (const Res& r : list) {
    size_t start = f.size();
    U32(f, static_cast<uint32_t>(r.data.size()));
    U32(f, 0);  // header size, below
    U16(f, 0xFFFF), U16(f, static_cast<uint32_t>(r.type));
    if (r.name.empty())
      U16(f, 0xFFFF), U16(f, static_cast<uint32_t>(r.id));
    else
      WText(f, r.name);
    Pad4(f);
    U32(f, 0), U16(f, 0x1030), U16(f, 0x0407), U32(f, 0), U32(f, 0);
    Put32(f, start + 4, static_cast<uint32_t>(f.size() - start));
    f.insert(f.end(), r.data.begin(), r.data.end());
    Pad4(f);
  }
  return f;
}

// The .rsrc section of a PE module: type, name and language directories,
// data entries, the names, then the data, whose addresses are RVAs.
inline Bytes ResourceSection(const std::vector<Res>& list, uint32_t rva) {
  std::vector<int> types;
  for (const Res& r : list)
    if (std::find(types.begin(), types.end(), r.type) == types.end()) types.push_back(r.type);
  auto dirSize = [](size_t n) { return 16 + 8 * n; };
  size_t at = dirSize(types.size());
  std::vector<size_t> typeDir, nameDir(list.size()), dataEntry(list.size()), nameStr(list.size()),
      data(list.size());
  for (int t : types) {
    typeDir.push_back(at);
    size_t n = 0;
    for (const Res& r : list) n += r.type == t;
    at += dirSize(n);
  }
  for (size_t i = 0; i < list.size(); ++i) nameDir[i] = at, at += dirSize(1);
  for (size_t i = 0; i < list.size(); ++i) dataEntry[i] = at, at += 16;
  for (size_t i = 0; i < list.size(); ++i)
    if (!list[i].name.empty()) nameStr[i] = at, at += 2 + 2 * list[i].name.size();
  at = (at + 3) & ~size_t{3};
  for (size_t i = 0; i < list.size(); ++i) data[i] = at, at = (at + list[i].data.size() + 3) & ~size_t{3};
  Bytes s(at, 0);
  auto dir = [&](size_t off, size_t named, size_t ids) {
    s[off + 12] = static_cast<uint8_t>(named);
    s[off + 14] = static_cast<uint8_t>(ids);
  };
  dir(0, 0, types.size());
  for (size_t t = 0; t < types.size(); ++t) {
    Put32(s, 16 + 8 * t, static_cast<uint32_t>(types[t]));
    Put32(s, 16 + 8 * t + 4, 0x80000000u | static_cast<uint32_t>(typeDir[t]));
    size_t named = 0, ids = 0, k = 0;
    for (size_t i = 0; i < list.size(); ++i) {
      if (list[i].type != types[t]) continue;
      (list[i].name.empty() ? ids : named)++;
      size_t e = typeDir[t] + 16 + 8 * k++;
      Put32(s, e, list[i].name.empty() ? static_cast<uint32_t>(list[i].id)
                                       : 0x80000000u | static_cast<uint32_t>(nameStr[i]));
      Put32(s, e + 4, 0x80000000u | static_cast<uint32_t>(nameDir[i]));
    }
    dir(typeDir[t], named, ids);
  }
  for (size_t i = 0; i < list.size(); ++i) {
    dir(nameDir[i], 0, 1);
    Put32(s, nameDir[i] + 16, 0x0407);
    Put32(s, nameDir[i] + 20, static_cast<uint32_t>(dataEntry[i]));
    Put32(s, dataEntry[i], rva + static_cast<uint32_t>(data[i]));
    Put32(s, dataEntry[i] + 4, static_cast<uint32_t>(list[i].data.size()));
    if (!list[i].name.empty()) {
      s[nameStr[i]] = static_cast<uint8_t>(list[i].name.size());
      for (size_t c = 0; c < list[i].name.size(); ++c) {
        s[nameStr[i] + 2 + 2 * c] = static_cast<uint8_t>(list[i].name[c]);
        s[nameStr[i] + 3 + 2 * c] = static_cast<uint8_t>(list[i].name[c] >> 8);
      }
    }
    std::copy(list[i].data.begin(), list[i].data.end(), s.begin() + static_cast<std::ptrdiff_t>(data[i]));
  }
  return s;
}

// A PE module with a code section and the resource section behind it.
inline Bytes PeFile(const std::vector<Res>& list, bool pe64) {
  constexpr uint32_t kRsrcRva = 0x2000, kRsrcRaw = 0x400;
  Bytes rsrc = ResourceSection(list, kRsrcRva);
  Bytes f(0x40, 0);
  f[0] = 'M', f[1] = 'Z';
  Put32(f, 0x3C, 0x40);
  f.push_back('P'), f.push_back('E'), f.push_back(0), f.push_back(0);
  uint32_t optSize = pe64 ? 240 : 224;
  U16(f, pe64 ? 0x8664 : 0x14C), U16(f, 2), U32(f, 0), U32(f, 0), U32(f, 0), U16(f, optSize), U16(f, 0x2102);
  size_t opt = f.size();
  f.resize(opt + optSize, 0);
  f[opt] = 0x0B, f[opt + 1] = pe64 ? 0x02 : 0x01;  // 0x10B or 0x20B
  size_t count = opt + (pe64 ? 108 : 92);
  Put32(f, count, 16);
  size_t dirs = count + 4;
  Put32(f, dirs + 16, kRsrcRva);
  Put32(f, dirs + 20, static_cast<uint32_t>(rsrc.size()));
  auto section = [&](const char* name, uint32_t rva, uint32_t size, uint32_t raw) {
    size_t s = f.size();
    f.resize(s + 40, 0);
    for (int i = 0; name[i]; ++i) f[s + i] = static_cast<uint8_t>(name[i]);
    Put32(f, s + 8, size), Put32(f, s + 12, rva), Put32(f, s + 16, size), Put32(f, s + 20, raw);
  };
  section(".text", 0x1000, 0x200, 0x200);
  section(".rsrc", kRsrcRva, static_cast<uint32_t>(rsrc.size()), kRsrcRaw);
  f.resize(kRsrcRaw, 0xCC);
  f.insert(f.end(), rsrc.begin(), rsrc.end());
  return f;
}

inline void Write(const std::string& path, const Bytes& b) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

}  // namespace resbuild
