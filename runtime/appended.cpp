#include "appended.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace tilmor::rt {
namespace {

constexpr char kMagic[16] = {'T', 'I', 'L', 'M', 'O', 'R', '-', 'P', 'R', 'O', 'G', 'R', 'A', 'M', 'M', '\0'};

void Put(std::string& out, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

uint64_t Get(std::string_view s, size_t at, int bytes) {
  uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= static_cast<uint64_t>(static_cast<unsigned char>(s[at + i])) << (8 * i);
  return v;
}

struct Trailer {
  uint64_t offset;
  uint32_t size, flags, dirSize;
};

std::optional<Trailer> ParseTrailer(std::string_view t, uint64_t fileSize) {
  if (t.size() != kAppendedTrailerSize || std::memcmp(t.data(), kMagic, sizeof kMagic) != 0)
    return std::nullopt;
  Trailer tr{Get(t, 16, 8), static_cast<uint32_t>(Get(t, 24, 4)), static_cast<uint32_t>(Get(t, 28, 4)),
             static_cast<uint32_t>(Get(t, 32, 4))};
  // The parts must lie exactly between the runtime and the trailer.
  uint64_t end = tr.offset + tr.size + tr.dirSize + kAppendedTrailerSize;
  if (tr.offset > fileSize || end != fileSize) return std::nullopt;
  return tr;
}

}  // namespace

std::string AppendProgram(const std::string& runtime, const AppendedProgram& a) {
  std::string out(RuntimePart(runtime));
  uint64_t offset = out.size();
  out += a.program;
  out += a.moduleDir;
  out.append(kMagic, sizeof kMagic);
  Put(out, offset, 8);
  Put(out, a.program.size(), 4);
  Put(out, a.flags, 4);
  Put(out, a.moduleDir.size(), 4);
  Put(out, 0, 4);
  return out;
}

std::optional<AppendedProgram> ReadAppendedProgram(const std::string& path) {
  std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!f || std::fseek(f.get(), 0, SEEK_END) != 0) return std::nullopt;
  long size = std::ftell(f.get());
  if (size < static_cast<long>(kAppendedTrailerSize)) return std::nullopt;
  std::string trailer(kAppendedTrailerSize, '\0');
  if (std::fseek(f.get(), size - static_cast<long>(kAppendedTrailerSize), SEEK_SET) != 0 ||
      std::fread(trailer.data(), 1, trailer.size(), f.get()) != trailer.size())
    return std::nullopt;
  std::optional<Trailer> t = ParseTrailer(trailer, static_cast<uint64_t>(size));
  if (!t) return std::nullopt;
  std::string rest(t->size + t->dirSize, '\0');
  if (std::fseek(f.get(), static_cast<long>(t->offset), SEEK_SET) != 0 ||
      std::fread(rest.data(), 1, rest.size(), f.get()) != rest.size())
    return std::nullopt;
  AppendedProgram a;
  a.program = rest.substr(0, t->size);
  a.flags = t->flags;
  a.moduleDir = rest.substr(t->size);
  return a;
}

std::string_view RuntimePart(std::string_view exe) {
  if (exe.size() < kAppendedTrailerSize) return exe;
  std::optional<Trailer> t = ParseTrailer(exe.substr(exe.size() - kAppendedTrailerSize), exe.size());
  return t ? exe.substr(0, t->offset) : exe;
}

}  // namespace tilmor::rt
