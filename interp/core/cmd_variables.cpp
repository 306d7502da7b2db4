// DECLARE, PARAMETERS, LET, INC, DEC, ADD, SUB.
#include "argreader.h"
#include "chars.h"
#include "commands.h"
#include "decode.h"
#include "control.h"
#include "errors.h"

namespace tilmor {
namespace {

// Appends `name` to the table of its kind; false for a name of no kind.
// Returns the kind character through `kind`.
bool Declare(Interp& in, const NameDecode& name, char& kind) {
  kind = name.name.empty() ? '\0' : name.name.back();
  Variables& v = in.vars;
  bool ok;
  int full;
  switch (kind) {
    case '%': ok = v.ints.Append(name.id), full = 217; break;
    case '&': ok = v.longs.Append(name.id), full = 218; break;
    case '$': ok = v.strings.Append(name.id), full = 219; break;
    case '!': ok = v.floats.Append(name.id), full = 220; break;
    case '#': ok = v.areas.Append(name.id), full = 239; break;
    default: return false;
  }
  if (!ok) RuntimeError(in, full);
  return ok;
}

// The names of a DECLARE or PARAMETERS list, upper-cased, with their ids;
// split once for a text kept for the run.
const std::vector<NameDecode>& NameList(Interp& in) {
  DecodedText* cache = FastPathsOn() ? in.param.decoded() : nullptr;
  uint32_t at = cache ? in.param.offset() : 0;
  if (cache && cache->list && cache->listAt == at) return *cache->list;
  auto list = std::make_unique<std::vector<NameDecode>>();
  std::string_view text = in.param.view();
  size_t start = 0;
  for (;;) {
    size_t e = text.find(',', start);
    NameDecode n;
    n.name = UpperCase(TrimView(text.substr(start, e == std::string_view::npos ? e : e - start)));
    n.id = NameIds::Id(n.name);
    list->push_back(std::move(n));
    if (e == std::string_view::npos) break;
    start = e + 1;
  }
  if (cache) {
    cache->list = std::move(list);
    cache->listAt = at;
    return *cache->list;
  }
  static std::vector<NameDecode> scratch;
  scratch = std::move(*list);
  return scratch;
}

int32_t* IntegerTarget(Interp& in, const std::string& name, int id) {
  if (name.empty() || name.back() != '%') {
    RuntimeError(in, 103);
    return nullptr;
  }
  int32_t* v = in.vars.ints.Find(id);
  if (!v) RuntimeError(in, 215, name);
  return v;
}

void Step(Interp& in, int32_t delta) {
  int id;
  const std::string& name = ReadName(in, in.param.size(), id);
  if (int32_t* v = IntegerTarget(in, name, id))
    *v = static_cast<int32_t>(static_cast<uint32_t>(*v) + static_cast<uint32_t>(delta));
}

void AddOrSub(Interp& in, bool subtract) {
  size_t comma = in.param.find(',');
  int id;
  std::string name = ReadName(in, comma, id);
  if (comma == std::string::npos)
    in.param.clear();
  else
    in.param.erase(0, comma + 1);
  if (!IntegerTarget(in, name, id)) return;
  ReadArg(in, ' ', kAny);
  uint32_t by = static_cast<uint32_t>(in.res.ival);
  if (int32_t* v = in.vars.ints.Find(id))
    *v = static_cast<int32_t>(subtract ? static_cast<uint32_t>(*v) - by : static_cast<uint32_t>(*v) + by);
}

}  // namespace

void CmdDeclare(Interp& in, int) {
  for (const NameDecode& name : NameList(in)) {
    char kind;
    Declare(in, name, kind);
  }
}

void CmdParameters(Interp& in, int) {
  int k = 0;
  for (const NameDecode& name : NameList(in)) {
    ++k;
    char kind;
    if (!Declare(in, name, kind)) continue;
    if (k > 12 || kind == '#') continue;  // no slot beyond 12: the initial value
    const ParamSlot& s = in.slots[static_cast<size_t>(k)];
    Variables& v = in.vars;
    switch (kind) {
      case '%': *v.ints.Find(name.id) = s.ival; break;
      case '&': *v.longs.Find(name.id) = s.lval; break;
      case '$': *v.strings.Find(name.id) = s.text; break;
      case '!': *v.floats.Find(name.id) = s.fval; break;
    }
  }
}

void CmdLet(Interp& in, int) {
  size_t eq = in.param.find('=');
  static const std::string kNone;
  const std::string* targetName = &kNone;
  int id = -1;
  if (eq != std::string::npos) {
    targetName = &ReadName(in, eq, id);
    in.param.erase(0, eq + 1);
    in.param.Trim();
  }
  const std::string& target = *targetName;
  char kind = target.empty() ? '\0' : target.back();
  Variables& v = in.vars;
  if (kind == '$') {
    // Built in a buffer of its own and copied into the variable's, so a
    // string assignment allocates nothing once the buffers have grown.
    static std::string value;
    value.clear();
    do {
      ReadArg(in, 'p', kAny);
      AppendResultText(in, value);
      if (in.res.sep == ',') value += ' ';
    } while (!in.res.eoa && !in.param.empty());
    Cut255(value);
    if (std::string* s = v.strings.Find(id))
      s->assign(value);
    else
      RuntimeError(in, 215, target);
    return;
  }
  ReadArg(in, ' ', kAny);
  if (kind == '!') {
    if (double* f = v.floats.Find(id)) return void(*f = in.res.fval);
  } else if (kind == '&') {
    if (int32_t* l = v.longs.Find(id)) return void(*l = in.res.lval);
  } else if (kind == '%') {
    if (int32_t* i = v.ints.Find(id)) return void(*i = in.res.ival);
  }
  RuntimeError(in, 215, target);
}

void CmdInc(Interp& in, int) { Step(in, 1); }
void CmdDec(Interp& in, int) { Step(in, -1); }
void CmdAdd(Interp& in, int) { AddOrSub(in, false); }
void CmdSub(Interp& in, int) { AddOrSub(in, true); }

}  // namespace tilmor
