#include "sysvars_core.h"

#include <sys/utsname.h>

#include <cstdio>

#include "codepage.h"
#include "interp.h"
#include "screen.h"
#include "sysvars.h"
#include "ticks.h"
#include "version.h"
#include "winpath.h"

namespace tilmor {
namespace {

void Zero(Interp&) {}

void TilmVer(Interp& in) { in.res.text = TILMOR_SYSTEM_VERSION; }

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

void ParCount(Interp& in) { in.res.ival = static_cast<int32_t>(in.args.size()) - 1; }
void PCount(Interp& in) { in.res.ival = in.pcount; }
void Lfn(Interp& in) { in.res.ival = 1; }

void TickCount(Interp& in) { in.res.lval = static_cast<int32_t>(GetTickCount()); }

void MaxX(Interp& in) { in.res.ival = GetSystemMetrics(SM_CXSCREEN); }
void MaxY(Interp& in) { in.res.ival = GetSystemMetrics(SM_CYSCREEN); }
void BitsPixel(Interp& in) { in.res.ival = win::DisplayBitsPerPixel(); }

// The kernel's version stands for both the DOS and the Windows version.
void KernelVersion(int& major, int& minor) {
  utsname u;
  major = minor = 0;
  if (uname(&u) == 0) std::sscanf(u.release, "%d.%d", &major, &minor);
}
void DosVer(Interp& in) {
  int major, minor;
  KernelVersion(major, minor);
  in.res.text = std::to_string(major) + "." + std::to_string(minor);
}
void WinVer(Interp& in) {
  int major, minor;
  KernelVersion(major, minor);
  in.res.text = std::to_string(major) + "." + std::to_string(minor);
  in.res.lval = (major & 0xFF) | ((minor & 0xFF) << 8);
}

std::string Path150(const std::string& hostPath) {
  std::string s = win::Utf8ToCp1252(hostPath);
  if (s.size() > 150) s.resize(150);
  return s;
}
void WinPath(Interp& in) { in.res.text = Path150(win::WindowsDirectory()); }
void SysPath(Interp& in) { in.res.text = Path150(win::SystemDirectory()); }

void Drive(Interp& in) { in.res.text = "C:"; }

// %IORESULT is typed as a string; the file layer sets its real value.
void IoResult(Interp& in) {
  in.res.type = kString;
  in.res.text = "0";
}

}  // namespace

void RegisterCoreSystemVariables() {
  static const struct {
    const char* name;
    SysVarHandler handler;
  } kTable[] = {
      {"$TILMVER", TilmVer},   {"%WMPAINT", Zero},     {"%WMTIMER", Zero},       {"%PCOUNT", PCount},
      {"%MESSAGE", Zero},      {"%HINSTANCE", Zero},   {"%DBMEMO", Zero},        {"%DBVERSION", Zero},
      {"%DDEWIN", Zero},       {"&GETTICKCOUNT", TickCount}, {"%LFN", Lfn},      {"%FONT", Zero},
      {"%BMPX", Zero},         {"%BMPY", Zero},        {"&BMPCOL", Zero},        {"%ERRNUMBER", ErrNumber},
      {"&SQLCOUNT", Zero},     {"%GETINPUTSTATE", Zero}, {"%DESKTOP", Zero},     {"%BITSPIXEL", BitsPixel},
      {"%MAXX", MaxX},         {"%MAXY", MaxY},        {"%GETFOCUS", Zero},      {"&DBRECCOUNT", Zero},
      {"%DBHEADER", Zero},     {"%DBRECSIZE", Zero},   {"&DBRECNO", Zero},       {"%DBFCOUNT", Zero},
      {"$DBLUPDATE", Zero},    {"$DBFTYPE", Zero},     {"%DBFDECS", Zero},       {"%DBFLEN", Zero},
      {"%DBFNUMBER", Zero},    {"$DBFNAME", Zero},     {"%DBDELETED", Zero},     {"%DBEOF", Zero},
      {"%BUTTON", Zero},       {"%INPUT", Zero},       {"$INPUT", Zero},         {"!INPUT", Zero},
      {"&INPUT", Zero},        {"%GETCOUNT", [](Interp& in) { in.res.ival = in.items.LastIndex(); }},
      {"$GETINPUT", Zero},     {"$GETTEXT", Zero},     {"%GETCURSEL", Zero},     {"%MOUSEX", Zero},
      {"%MOUSEY", Zero},       {"%MOUSEKEY", Zero},    {"%MOUSEPRESSED", Zero},  {"%MENUITEM", Zero},
      {"%MCIERROR", Zero},     {"%KEY", Zero},         {"%SCANKEY", Zero},       {"%PARCOUNT", ParCount},
      {"%HDC", Zero},          {"%HDC2", Zero},        {"%HWND", Zero},          {"%IORESULT", IoResult},
      {"%ERROR", Error},       {"$DRIVE", Drive},      {"$DOSVER", DosVer},      {"$WINVER", WinVer},
      {"$WINPATH", WinPath},   {"$SYSPATH", SysPath},  {"%WINTOP", Zero},        {"%WINBOTTOM", Zero},
      {"%WINRIGHT", Zero},     {"%WINLEFT", Zero},
  };
  for (const auto& e : kTable) RegisterSystemVariable(e.name, e.handler);
}

}  // namespace tilmor
