// PRINT to the window's text and the three formatting values.
#include "argreader.h"
#include "chars.h"
#include "commands.h"
#include "errors.h"
#include "numbers.h"

namespace tilmor {
namespace {

std::string ItemText(const Interp& in) {
  const ArgResult& r = in.res;
  switch (r.type) {
    case kString: return PadLeft(r.text, in.strWidth);
    case kInteger: return FormatInteger(r.ival, in.numWidth);
    case kLong: return FormatInteger(r.lval, in.numWidth);
    case kFloat: return FormatFloat(r.fval, in.numWidth, in.decimals);
    default: return r.text;
  }
}

void SetFormatValue(Interp& in, int32_t& target) {
  ReadArg(in, ' ', kNumber);
  target = in.res.ival;
}

}  // namespace

void CmdPrint(Interp& in, int) {
  if (!in.param.empty() && in.param[0] == '#') {
    RuntimeError(in, 102, "PRINT #");  // file output is not built yet
    return;
  }
  std::string out;
  char lastSep = ' ';
  while (!in.param.empty()) {
    ReadArg(in, 'p', kAny);
    out += ItemText(in);
    lastSep = in.res.sep;
    if (lastSep == ',') out += ' ';
    if (in.res.eoa) break;
  }
  if (lastSep != ',' && lastSep != ';') out += '\n';
  in.text->Write(out);
}

void CmdDecimals(Interp& in, int) { SetFormatValue(in, in.decimals); }
void CmdStrWidth(Interp& in, int) { SetFormatValue(in, in.strWidth); }
void CmdNumWidth(Interp& in, int) { SetFormatValue(in, in.numWidth); }

}  // namespace tilmor
