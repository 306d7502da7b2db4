// Serial ports: @OPENCOM, @SETCOM, @SETCOMEXT, @WRITECOM, @READCOM$,
// @CLOSECOM and @COMERROR. Failures show only in the results.
#include <algorithm>
#include <string>

#include "comm/comm.h"
#include "data_registry.h"
#include "fnargs.h"
#include "functions.h"
#include "startup.h"

namespace tilmor {
namespace {

// The port opened last; @SETCOM works on it and @READCOM$ asks it how many
// bytes are waiting.
HANDLE g_current = 0;

void FnOpenCom(Interp& in) {
  std::string name = ReadText(in, ',');
  int32_t inQueue = ReadNum(in, ',').lval;
  int32_t outQueue = ReadNum(in, ')').lval;
  HANDLE h = win::OpenComm(name);
  if (h > 0) win::SetupComm(h, static_cast<DWORD>(inQueue), static_cast<DWORD>(outQueue));
  g_current = h;
  SetResultLong(in, kLong, h);
}

void FnSetCom(Interp& in) {
  std::string text = ReadText(in, ')');
  win::DCB dcb;
  win::GetCommState(g_current, &dcb);
  win::COMMTIMEOUTS t{50, 50, 50, 50, 50};
  bool ok = win::BuildCommDCBAndTimeoutsA(text.c_str(), &dcb, &t) && win::SetCommState(g_current, &dcb);
  if (ok) win::SetCommTimeouts(g_current, &t);
  SetResultLong(in, kInteger, ok ? 0 : -1);
}

// (handle, four values not used, flags or -1, XON limit, XOFF limit)
void FnSetComExt(Interp& in) {
  HANDLE h = ReadNum(in, ',').lval;
  for (int i = 0; i < 4; ++i) ReadNum(in, ',');
  int32_t flags = ReadNum(in, ',').lval;
  int32_t xon = ReadNum(in, ',').lval;
  int32_t xoff = ReadNum(in, ')').lval;
  win::DCB dcb;
  if (!win::GetCommState(h, &dcb)) return SetResultLong(in, kInteger, -1);
  if (flags != -1) dcb.flags = static_cast<DWORD>(flags);
  dcb.XonLim = static_cast<WORD>(xon);
  dcb.XoffLim = static_cast<WORD>(xoff);
  SetResultLong(in, kInteger, win::SetCommState(h, &dcb) ? 0 : -1);
}

void FnWriteCom(Interp& in) {
  HANDLE h = ReadNum(in, ',').lval;
  std::string text = ReadText(in, ')');
  DWORD done = 0;
  win::WriteComm(h, text.data(), static_cast<DWORD>(text.size()), &done);
  SetResultLong(in, kInteger, static_cast<int32_t>(done));
}

void FnReadCom(Interp& in) {
  HANDLE h = ReadNum(in, ',').lval;
  int32_t max = ReadNum(in, ')').lval;
  win::COMSTAT stat;
  DWORD errors = 0;
  DWORD waiting = g_current && win::ClearCommError(g_current, &errors, &stat) ? stat.cbInQue : 0;
  int32_t n = std::min<int64_t>({max, static_cast<int64_t>(waiting), 255});
  std::string text;
  if (n > 0) {
    text.resize(static_cast<size_t>(n));
    DWORD done = 0;
    win::ReadComm(h, text.data(), static_cast<DWORD>(n), &done);
    text.resize(done);
  }
  SetResultText(in, text);
}

void FnCloseCom(Interp& in) {
  HANDLE h = ReadNum(in, ')').lval;
  SetResultLong(in, kInteger, win::CloseComm(h) ? 0 : -1);
}

void FnComError(Interp& in) {
  HANDLE h = ReadNum(in, ')').lval;
  DWORD errors = 0;
  SetResultLong(in, kInteger, win::ClearCommError(h, &errors, nullptr) ? static_cast<int32_t>(errors) : -1);
}

void CloseAll() {
  win::CloseAllComm();
  g_current = 0;
}

}  // namespace

void RegisterSerialPorts() {
  RegisterFunction("OPENCOM", FnOpenCom);
  RegisterFunction("SETCOM", FnSetCom);
  RegisterFunction("SETCOMEXT", FnSetComExt);
  RegisterFunction("WRITECOM", FnWriteCom);
  RegisterFunction("READCOM$", FnReadCom);
  RegisterFunction("CLOSECOM", FnCloseCom);
  RegisterFunction("COMERROR", FnComError);
  AtProgramEnd(CloseAll);
}

}  // namespace tilmor
