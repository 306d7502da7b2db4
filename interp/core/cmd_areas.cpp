// Area variables: DIM, DISPOSE and the writes BYTE, WORD, LONG, STRING,
// CHAR. A block of size+1 bytes is mapped where its address fits in 31 bits;
// no write ever leaves the block.
#include "areas.h"
#include "argreader.h"
#include "chars.h"
#include "commands.h"
#include "control.h"
#include "errors.h"
#include "functions.h"
#include "lowmem.h"

namespace tilmor {
namespace {

}  // namespace

std::string TakeAreaName(Interp& in) {
  size_t comma = in.param.find(',');
  std::string name = UpperCase(Trim(std::string_view(in.param).substr(0, comma)));
  in.param = comma == std::string::npos ? std::string() : Trim(std::string_view(in.param).substr(comma + 1));
  return name;
}

Area* FindArea(Interp& in, const std::string& name) {
  if (name.empty() || name.back() != '#') {
    RuntimeError(in, 121);
    return nullptr;
  }
  Area* a = in.vars.areas.Find(name);
  if (!a) RuntimeError(in, 215, name);
  return a;
}

Area* DimensionedArea(Interp& in, const std::string& name) {
  Area* a = FindArea(in, name);
  if (a && !a->block) {
    RuntimeError(in, 243);
    return nullptr;
  }
  return a;
}

Area* AreaContaining(Interp& in, uint32_t address) {
  auto& entries = in.vars.areas.mutable_entries();
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    Area& a = it->value;
    if (a.block && address >= a.address && address - a.address <= static_cast<uint32_t>(a.size)) return &a;
  }
  return nullptr;
}

void FreeArea(Area& a) {
  win::FreeLow(a.block, static_cast<size_t>(a.size) + 1);
  a = Area{};
}

void FreeAllAreas(Variables& v) {
  // Area entries are never cut back, so every block is reachable here.
  for (auto& e : v.areas.mutable_entries())
    if (e.value.block) FreeArea(e.value);
}

void CmdDim(Interp& in, int) {
  std::string name = TakeAreaName(in);
  ReadArg(in, ' ', kAny);
  int32_t size = in.res.lval;
  Area* a = FindArea(in, name);
  if (!a) return;
  if (a->block) {
    RuntimeError(in, 241);
    return;
  }
  uint8_t* block = size >= 0 ? win::AllocLow(static_cast<size_t>(size) + 1) : nullptr;
  if (!block) {
    *a = Area{};
    RuntimeError(in, 240);
    return;
  }
  a->block = block;
  a->size = size;
  a->address = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(block));
}

void CmdDispose(Interp& in, int) {
  std::string name = UpperCase(Trim(in.param));
  if (Area* a = FindArea(in, name))
    if (a->block) FreeArea(*a);
}

// sub: 1 BYTE, 2 WORD, 3 LONG, 4 STRING, 5 CHAR.
void CmdAreaWrite(Interp& in, int sub) {
  std::string name = TakeAreaName(in);
  ReadArg(in, '=', kAny);
  int32_t pos = in.res.lval;
  ReadArg(in, ' ', kAny);
  Area* a = FindArea(in, name);
  if (!a) return;
  if (!a->block) {
    RuntimeError(in, 243);
    return;
  }
  static const int kWidth[] = {0, 1, 2, 4, 1, 1};
  int64_t last = static_cast<int64_t>(pos) + kWidth[sub] - 1;
  if (pos < 0 || last > a->size) {
    RuntimeError(in, 207);
    return;
  }
  uint8_t* p = a->block + pos;
  uint32_t v = static_cast<uint32_t>(sub == 1 ? in.res.ival : in.res.lval);
  switch (sub) {
    case 1: p[0] = static_cast<uint8_t>(v); break;
    case 2: p[0] = static_cast<uint8_t>(v), p[1] = static_cast<uint8_t>(v >> 8); break;
    case 3:
      for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
      break;
    default: {
      std::string text = ResultText(in);
      int32_t at = pos;
      for (char c : text) {
        if (at >= a->size) break;  // the last byte is kept for the end mark
        a->block[at++] = static_cast<uint8_t>(c);
      }
      if (sub == 4) a->block[at] = 0;
    }
  }
}

}  // namespace tilmor

namespace tilmor {
namespace {

// The area argument of a read function, named up to the first ",".
const Area* AreaArgument(Interp& in) { return DimensionedArea(in, TakeAreaName(in)); }

// Reads `width` bytes at the position argument; false when outside the block.
bool ReadAt(Interp& in, int width, char sep, const Area*& a, int32_t& pos) {
  a = AreaArgument(in);
  ReadArg(in, sep, kNumber);
  pos = in.res.lval;
  in.res.type = kLong;
  in.res.lval = 0;
  if (!a) return false;
  if (pos < 0 || static_cast<int64_t>(pos) + width - 1 > a->size) {
    RuntimeError(in, 207);
    return false;
  }
  return true;
}

void ReadNumber(Interp& in, int width) {
  const Area* a;
  int32_t pos;
  if (!ReadAt(in, width, ')', a, pos)) return;
  const uint8_t* p = a->block + pos;
  uint32_t v = 0;
  for (int i = 0; i < width; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
  in.res.lval = static_cast<int32_t>(v);
}

void ReadText(Interp& in, bool withCount) {
  const Area* a;
  int32_t pos;
  bool ok = ReadAt(in, 1, withCount ? ',' : ')', a, pos);
  if (withCount) ReadArg(in, ')', kNumber);  // read, but it limits nothing
  in.res.type = kString;
  in.res.text.clear();
  if (!ok) return;
  std::string s;
  for (int32_t i = pos; i <= a->size && s.size() < kShortMax && a->block[i]; ++i)
    s += static_cast<char>(a->block[i]);
  in.res.text = std::move(s);
}

}  // namespace

void RegisterAreaFunctions() {
  RegisterFunction("BYTE", [](Interp& in) { ReadNumber(in, 1); });
  RegisterFunction("WORD", [](Interp& in) { ReadNumber(in, 2); });
  RegisterFunction("LONG", [](Interp& in) { ReadNumber(in, 4); });
  RegisterFunction("STRING$", [](Interp& in) { ReadText(in, false); });
  RegisterFunction("CHAR$", [](Interp& in) { ReadText(in, true); });
}

}  // namespace tilmor
