// PRINT to the window's text and the three formatting values.
#include "print.h"

#include "argreader.h"
#include "chars.h"
#include "commands.h"
#include "errors.h"
#include "mainwindow.h"
#include "numbers.h"

namespace tilmor {
namespace {

FileCommandHandler g_filePrint = nullptr;
FileCommandHandler g_fileInput = nullptr;

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

void SetFileTextCommands(FileCommandHandler print, FileCommandHandler input) {
  g_filePrint = print;
  g_fileInput = input;
}

FileCommandHandler FileInputHandler() { return g_fileInput; }

std::string FormatPrintItems(Interp& in) {
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
  return out;
}

void CmdPrint(Interp& in, int) {
  if (!in.param.empty() && in.param[0] == '#') {
    if (g_filePrint)
      g_filePrint(in);
    else
      RuntimeError(in, 102, "PRINT #");
    return;
  }
  if (MW().printing) {
    RuntimeError(in, 221, "PRINT");
    return;
  }
  in.text->Write(FormatPrintItems(in));
}

void CmdDecimals(Interp& in, int) { SetFormatValue(in, in.decimals); }
void CmdStrWidth(Interp& in, int) { SetFormatValue(in, in.strWidth); }
void CmdNumWidth(Interp& in, int) { SetFormatValue(in, in.numWidth); }

}  // namespace tilmor
