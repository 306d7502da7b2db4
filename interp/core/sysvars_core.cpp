#include "sysvars_core.h"

#include "interp.h"
#include "sysvars.h"

namespace tilmor {
namespace {

void TilmVer(Interp& in) { in.res.text = "5.0a-32"; }

// Reading the error state resets it; its value comes typed as a string.
void Error(Interp& in) {
  in.res.type = kString;
  in.res.ival = in.errorState;
  in.res.text = std::to_string(in.errorState);
  in.errorState = 0;
}

void ErrNumber(Interp& in) {
  in.res.ival = in.lastError;
  in.errorState = 0;
}

void PCount(Interp& in) { in.res.ival = in.pcount; }

void ParCount(Interp& in) { in.res.ival = static_cast<int32_t>(in.args.size()) - 1; }

}  // namespace

void RegisterCoreSystemVariables() {
  RegisterSystemVariable("$TILMVER", TilmVer);
  RegisterSystemVariable("%ERROR", Error);
  RegisterSystemVariable("%ERRNUMBER", ErrNumber);
  RegisterSystemVariable("%PARCOUNT", ParCount);
  RegisterSystemVariable("%PCOUNT", PCount);
}

}  // namespace tilmor
