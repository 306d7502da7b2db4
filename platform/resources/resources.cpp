// Resources of PE modules and .res files, read straight from the file.
#include "resources.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>

#include "../codepage.h"

namespace win {
namespace {

// One resource: type and name each either a number or an upper-cased text.
struct Resource {
  int typeId = -1;
  std::string typeName;
  int nameId = -1;
  std::string name;
  std::vector<unsigned char> data;
};

struct Module {
  std::string key;
  int refs = 1;
  std::vector<Resource> resources;
};

std::map<HINSTANCE, Module>& Modules() {
  static std::map<HINSTANCE, Module> modules;
  return modules;
}

// Module handles look like the load addresses Windows gives DLLs, far from
// the interpreter's own 0x00400000.
constexpr HINSTANCE kFirstModule = 0x10000000;
constexpr HINSTANCE kModuleStep = 0x00010000;

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// Bounds-checked little-endian reads; every offset comes from the file.
class Bytes {
 public:
  explicit Bytes(const std::vector<unsigned char>& d) : d_(d) {}
  size_t size() const { return d_.size(); }
  bool Has(uint64_t at, uint64_t n) const { return at <= d_.size() && n <= d_.size() - at; }
  std::optional<uint16_t> U16(uint64_t at) const {
    if (!Has(at, 2)) return std::nullopt;
    return static_cast<uint16_t>(d_[at] | (d_[at + 1] << 8));
  }
  std::optional<uint32_t> U32(uint64_t at) const {
    if (!Has(at, 4)) return std::nullopt;
    return static_cast<uint32_t>(d_[at] | (d_[at + 1] << 8) | (d_[at + 2] << 16)) |
           (static_cast<uint32_t>(d_[at + 3]) << 24);
  }
  const unsigned char* At(uint64_t at) const { return d_.data() + at; }

 private:
  const std::vector<unsigned char>& d_;
};

// A .res name or type: 0xFFFF and a number, or a zero-ended UTF-16 text.
// Advances `at`; false when the file ends first.
bool ResId(const Bytes& b, uint64_t& at, uint64_t end, int* id, std::string* name) {
  auto first = b.U16(at);
  if (!first || at + 2 > end) return false;
  if (*first == 0xFFFF) {
    auto n = b.U16(at + 2);
    if (!n || at + 4 > end) return false;
    *id = *n;
    at += 4;
    return true;
  }
  uint64_t start = at;
  while (true) {
    auto c = b.U16(at);
    if (!c || at + 2 > end) return false;
    at += 2;
    if (*c == 0) break;
  }
  *id = -1;
  *name = Upper(Utf16LeToCp1252(b.At(start), static_cast<size_t>((at - start) / 2 - 1)));
  return true;
}

// A 32-bit resource file: RESOURCEHEADER records, each followed by its
// data, both aligned to four bytes. It opens with an empty record.
std::optional<std::vector<Resource>> ReadResFile(const std::vector<unsigned char>& data) {
  Bytes b(data);
  auto size0 = b.U32(0), header0 = b.U32(4);
  if (!size0 || !header0 || *size0 != 0 || *header0 != 32) return std::nullopt;
  std::vector<Resource> out;
  uint64_t at = 0;
  while (at + 8 <= b.size()) {
    uint32_t dataSize = *b.U32(at), headerSize = *b.U32(at + 4);
    uint64_t headerEnd = at + headerSize;
    if (headerSize < 16 || !b.Has(at, headerSize) || !b.Has(headerEnd, dataSize)) return std::nullopt;
    Resource r;
    uint64_t p = at + 8;
    if (!ResId(b, p, headerEnd, &r.typeId, &r.typeName) || !ResId(b, p, headerEnd, &r.nameId, &r.name))
      return std::nullopt;
    if (r.typeId != 0) {  // type 0 is the file's opening record
      r.data.assign(b.At(headerEnd), b.At(headerEnd) + dataSize);
      out.push_back(std::move(r));
    }
    at = (headerEnd + dataSize + 3) & ~uint64_t{3};
  }
  return out;
}

struct Section {
  uint32_t rva, size, fileOffset, fileSize;
};

// The file offset of a relative virtual address, through the section that holds it.
std::optional<uint64_t> FileOffset(const std::vector<Section>& sections, uint64_t rva, uint64_t n) {
  for (const Section& s : sections) {
    uint64_t extent = std::max(s.size, s.fileSize);
    if (rva >= s.rva && rva + n <= s.rva + extent) {
      uint64_t within = rva - s.rva;
      if (within + n > s.fileSize) return std::nullopt;  // not in the file
      return s.fileOffset + within;
    }
  }
  return std::nullopt;
}

// A name of the resource directory: a counted UTF-16 text.
std::optional<std::string> DirString(const Bytes& b, uint64_t at) {
  auto len = b.U16(at);
  if (!len || !b.Has(at + 2, uint64_t{*len} * 2)) return std::nullopt;
  return Upper(Utf16LeToCp1252(b.At(at + 2), *len));
}

// The entries of one directory level: name or id, and the offset (within
// the resource section) of the next level or the data entry.
struct DirEntry {
  int id = -1;
  std::string name;
  uint32_t target = 0;
  bool subdir = false;
};

std::optional<std::vector<DirEntry>> DirEntries(const Bytes& b, uint64_t base, uint64_t rsrcSize, uint32_t dir) {
  if (dir + uint64_t{16} > rsrcSize) return std::nullopt;
  auto named = b.U16(base + dir + 12), ids = b.U16(base + dir + 14);
  if (!named || !ids) return std::nullopt;
  size_t count = size_t{*named} + *ids;
  if (dir + 16 + count * 8 > rsrcSize) return std::nullopt;
  std::vector<DirEntry> out;
  for (size_t i = 0; i < count; ++i) {
    uint64_t e = base + dir + 16 + i * 8;
    uint32_t name = *b.U32(e), target = *b.U32(e + 4);
    DirEntry d;
    if (name & 0x80000000u) {
      uint32_t off = name & 0x7FFFFFFFu;
      if (off >= rsrcSize) return std::nullopt;
      auto s = DirString(b, base + off);
      if (!s) return std::nullopt;
      d.name = *s;
    } else {
      d.id = static_cast<int>(name & 0xFFFF);
    }
    d.subdir = (target & 0x80000000u) != 0;
    d.target = target & 0x7FFFFFFFu;
    if (d.target >= rsrcSize) return std::nullopt;
    out.push_back(std::move(d));
  }
  return out;
}

// A PE module (32- or 64-bit): the resource directory of its data
// directory entry 2, three levels (type, name, language; the first
// language is taken).
std::optional<std::vector<Resource>> ReadPeFile(const std::vector<unsigned char>& data) {
  Bytes b(data);
  if (data.size() < 0x40 || data[0] != 'M' || data[1] != 'Z') return std::nullopt;
  uint64_t pe = *b.U32(0x3C);
  if (!b.Has(pe, 24) || std::string(reinterpret_cast<const char*>(b.At(pe)), 4) != std::string("PE\0\0", 4))
    return std::nullopt;
  uint16_t sectionCount = *b.U16(pe + 6), optSize = *b.U16(pe + 20);
  uint64_t opt = pe + 24;
  auto magic = b.U16(opt);
  if (!magic) return std::nullopt;
  uint64_t dirs, countAt;
  if (*magic == 0x10B) {
    countAt = opt + 92, dirs = opt + 96;
  } else if (*magic == 0x20B) {
    countAt = opt + 108, dirs = opt + 112;
  } else {
    return std::nullopt;
  }
  auto dirCount = b.U32(countAt);
  std::vector<Section> sections;
  uint64_t table = opt + optSize;
  for (uint16_t i = 0; i < sectionCount; ++i) {
    uint64_t s = table + uint64_t{i} * 40;
    if (!b.Has(s, 40)) return std::nullopt;
    sections.push_back(Section{*b.U32(s + 12), *b.U32(s + 8), *b.U32(s + 20), *b.U32(s + 16)});
  }
  std::vector<Resource> out;
  if (!dirCount || *dirCount < 3 || dirs + 24 > opt + optSize) return out;  // no resources
  auto rsrcRva = b.U32(dirs + 16), rsrcSize = b.U32(dirs + 20);
  if (!rsrcRva || !rsrcSize || *rsrcRva == 0 || *rsrcSize == 0) return out;
  auto base = FileOffset(sections, *rsrcRva, *rsrcSize);
  if (!base || !b.Has(*base, *rsrcSize)) return std::nullopt;
  auto types = DirEntries(b, *base, *rsrcSize, 0);
  if (!types) return std::nullopt;
  for (const DirEntry& type : *types) {
    if (!type.subdir) continue;
    auto names = DirEntries(b, *base, *rsrcSize, type.target);
    if (!names) return std::nullopt;
    for (const DirEntry& name : *names) {
      uint32_t leaf = name.target;
      if (name.subdir) {
        auto langs = DirEntries(b, *base, *rsrcSize, name.target);
        if (!langs) return std::nullopt;
        if (langs->empty() || langs->front().subdir) continue;
        leaf = langs->front().target;
      }
      if (leaf + uint64_t{16} > *rsrcSize) return std::nullopt;
      uint32_t dataRva = *b.U32(*base + leaf), dataSize = *b.U32(*base + leaf + 4);
      auto at = FileOffset(sections, dataRva, dataSize);
      if (!at || !b.Has(*at, dataSize)) return std::nullopt;
      Resource r;
      r.typeId = type.id;
      r.typeName = type.name;
      r.nameId = name.id;
      r.name = name.name;
      r.data.assign(b.At(*at), b.At(*at) + dataSize);
      out.push_back(std::move(r));
    }
  }
  return out;
}

const Resource* Find(HINSTANCE instance, int type, const std::string& name) {
  auto it = Modules().find(instance);
  if (it == Modules().end()) return nullptr;
  int id = -1;
  std::string upper = Upper(name);
  if (upper.size() > 1 && upper[0] == '#' &&
      std::all_of(upper.begin() + 1, upper.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }) &&
      upper.size() <= 6)
    id = std::stoi(upper.substr(1));
  for (const Resource& r : it->second.resources) {
    if (r.typeId != type) continue;
    if (id >= 0 ? r.nameId == id : (r.nameId < 0 && r.name == upper)) return &r;
  }
  return nullptr;
}

}  // namespace

std::string Utf16LeToCp1252(const unsigned char* data, size_t count) {
  std::string out;
  out.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    char32_t u = data[2 * i] | (data[2 * i + 1] << 8);
    if (u >= 0xD800 && u <= 0xDFFF) {
      // A pair stands for one character outside the code page.
      if (u < 0xDC00 && i + 1 < count) ++i;
      out += '?';
      continue;
    }
    int c = UnicodeToCp1252(u);
    out += c < 0 ? '?' : static_cast<char>(c);
  }
  return out;
}

HINSTANCE LoadModuleResources(const std::string& path) {
  std::error_code ec;
  std::filesystem::path canonical = std::filesystem::canonical(path, ec);
  if (ec || !std::filesystem::is_regular_file(canonical, ec)) return 0;
  std::string key = canonical.string();
  auto& modules = Modules();
  for (auto& [handle, m] : modules) {
    if (m.key == key) {
      ++m.refs;
      return handle;
    }
  }
  std::ifstream f(canonical, std::ios::binary);
  if (!f) return 0;
  std::vector<unsigned char> data((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  std::optional<std::vector<Resource>> resources = ReadPeFile(data);
  if (!resources) resources = ReadResFile(data);
  if (!resources) return 0;
  HINSTANCE handle = kFirstModule;
  while (modules.count(handle)) handle += kModuleStep;
  Module m;
  m.key = key;
  m.resources = std::move(*resources);
  modules.emplace(handle, std::move(m));
  return handle;
}

void FreeModuleResources(HINSTANCE instance) {
  auto it = Modules().find(instance);
  if (it != Modules().end() && --it->second.refs <= 0) Modules().erase(it);
}

bool FindModuleResource(HINSTANCE instance, int type, const std::string& name, std::vector<unsigned char>* data) {
  const Resource* r = Find(instance, type, name);
  if (!r) return false;
  if (data) *data = r->data;
  return true;
}

std::vector<std::string> ModuleResourceNames(HINSTANCE instance, int type) {
  std::vector<std::string> out;
  auto it = Modules().find(instance);
  if (it == Modules().end()) return out;
  for (const Resource& r : it->second.resources)
    if (r.typeId == type) out.push_back(r.nameId >= 0 ? "#" + std::to_string(r.nameId) : r.name);
  return out;
}

}  // namespace win
