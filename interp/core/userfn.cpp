#include "userfn.h"

#include "argreader.h"
#include "chars.h"
#include "control.h"
#include "errors.h"
#include "functions.h"

namespace tilmor {
namespace {

DllBodyHandler g_dll = nullptr;

// Until DLL calls are built, such a body names the library it cannot load.
void NoDll(Interp& in, const std::string& body, int) {
  in.param = body.substr(1);
  ReadArg(in, ',', kAny);
  std::string dll = in.res.text;
  in.res.type = kLong;
  in.res.text.clear();
  in.res.ival = in.res.lval = 0;
  in.res.fval = 0;
  RuntimeError(in, 247, dll);
}

}  // namespace

void SetDllBodyHandler(DllBodyHandler handler) { g_dll = handler; }

bool CallUserFunction(Interp& in, const std::string& name) {
  int line = in.scan.DefLine(name);
  if (line < 0 || line > in.cur) return false;

  ParamText caller = std::move(in.param);
  // The definition text after its name's "(": the count, ")", the body.
  Interp::DefCode& def = in.Def(line);
  in.param.SetStable(def.text, &def.dec);
  ReadArg(in, ')', kAny);
  int32_t n = in.res.ival;
  in.param.Trim();
  ParamText body = std::move(in.param);
  in.param = std::move(caller);
  int32_t declared = n;
  if (n < 0 || n > 12) {
    RuntimeError(in, 211);
    // Going on at error level -1: the call's arguments are passed over.
    SkipCallArguments(in);
    n = 0;
  }

  for (int i = 1; i <= n; ++i) {
    in.GuardSlots([&] { ReadArg(in, i < n ? ',' : ')', kAny); });
    ParamSlot& s = in.WriteSlot(i);
    SetResultText(in, s.text);
    s.ival = in.res.ival;
    s.lval = in.res.lval;
    s.fval = in.res.fval;
  }

  caller = std::move(in.param);
  if (!body.empty() && (body[0] == '!' || body[0] == '*')) {
    (g_dll ? g_dll : NoDll)(in, body.str(), declared < 0 ? 0 : declared);
  } else {
    in.param = std::move(body);
    ReadArg(in, ' ', kAny);
  }
  in.param = std::move(caller);
  return true;
}

}  // namespace tilmor
