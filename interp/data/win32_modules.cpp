#include "win32_modules.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>

#include "areas.h"
#include "batch.h"
#include "codepage.h"
#include "controls/controls.h"
#include "dialogs.h"
#include "dialogstate.h"
#include "dll/sharedlib.h"
#include "file_slots.h"
#include "mmsystem.h"
#include "process.h"
#include "profile.h"
#include "screen.h"
#include "ticks.h"
#include "wingdi.h"
#include "winpath.h"
#include "winuser.h"

namespace tilmor {
namespace {

// Memory a program names by a number: from that byte to the end of the
// area variable's block that holds it; nothing outside an area is touched.
struct Bytes {
  uint8_t* p = nullptr;
  size_t room = 0;  // bytes from p to the block's end
};

Bytes At(Interp& in, int32_t value) {
  uint32_t address = static_cast<uint32_t>(value);
  if (address == 0) return {};
  Area* a = AreaContaining(in, address);
  if (!a) return {};
  size_t offset = address - a->address;
  return Bytes{a->block + offset, static_cast<size_t>(a->size) + 1 - offset};
}

// A string argument: false when the value is neither 0 (*isNull) nor the
// start of a zero-ended text inside an area.
bool Str(Interp& in, int32_t value, std::string* out, bool* isNull = nullptr) {
  if (isNull) *isNull = value == 0;
  out->clear();
  if (value == 0) return isNull != nullptr;
  Bytes b = At(in, value);
  if (!b.p) return false;
  const void* end = std::memchr(b.p, 0, b.room);
  if (!end) return false;
  out->assign(reinterpret_cast<const char*>(b.p), static_cast<size_t>(static_cast<const uint8_t*>(end) - b.p));
  return true;
}

// Copies text and its zero into a buffer of `size` bytes (as far as the area
// reaches); the number of characters copied.
int32_t Put(Interp& in, int32_t value, int32_t size, const std::string& text) {
  Bytes b = At(in, value);
  if (!b.p || size <= 0) return 0;
  size_t room = std::min(b.room, static_cast<size_t>(size));
  size_t n = std::min(text.size(), room - 1);
  std::memcpy(b.p, text.data(), n);
  b.p[n] = 0;
  return static_cast<int32_t>(n);
}

// GetWindowsDirectoryA and the like: the length without the zero, or the
// size needed with it when the buffer is too small.
int32_t PutPath(Interp& in, int32_t value, int32_t size, const std::string& text) {
  if (size < 0 || static_cast<size_t>(size) <= text.size()) return static_cast<int32_t>(text.size() + 1);
  Bytes b = At(in, value);
  if (!b.p || b.room <= text.size()) return 0;
  return Put(in, value, size, text);
}

// ---- USER32

int32_t FnMessageBeep(Interp&, const int32_t* a) { return MessageBeep(static_cast<UINT>(a[0])); }

int32_t FnMessageBoxA(Interp& in, const int32_t* a) {
  std::string text, caption;
  bool noCaption = false, noText = false;
  if (!Str(in, a[1], &text, &noText) || !Str(in, a[2], &caption, &noCaption)) return 0;
  if (noCaption) caption = "Fehler";
  int r = MessageBoxA(a[0] ? a[0] : DialogOwner(), text.c_str(), caption.c_str(), static_cast<UINT>(a[3]));
  AfterDialog();
  return r;
}

int32_t FnGetSystemMetrics(Interp&, const int32_t* a) { return GetSystemMetrics(a[0]); }

int32_t FnFindWindowA(Interp& in, const int32_t* a) {
  std::string cls, title;
  bool noClass = false, noTitle = false;
  if (!Str(in, a[0], &cls, &noClass) || !Str(in, a[1], &title, &noTitle)) return 0;
  return FindWindowA(noClass ? nullptr : cls.c_str(), noTitle ? nullptr : title.c_str());
}

bool TakesText(UINT m) {
  switch (m) {
    case WM_SETTEXT: case EM_REPLACESEL: case LB_ADDSTRING: case LB_INSERTSTRING:
    case LB_FINDSTRING: case LB_FINDSTRINGEXACT: case LB_SELECTSTRING: case CB_ADDSTRING:
    case CB_INSERTSTRING: case CB_FINDSTRING: case CB_FINDSTRINGEXACT: case CB_SELECTSTRING:
      return true;
    default:
      return false;
  }
}

bool CarriesAddress(UINT m) {
  switch (m) {
    case WM_GETTEXT: case LB_GETTEXT: case CB_GETLBTEXT: case EM_GETLINE: case EM_GETSEL:
    case LB_SETTABSTOPS: case WM_GETDLGCODE:
      return true;
    default:
      return TakesText(m);
  }
}

// Messages whose parameters are addresses reach the window layer only with
// memory of the program's areas behind them, large enough for what the
// message writes; the rest are numbers. False: refuse the message.
bool CheckMessage(Interp& in, HWND h, UINT m, WPARAM& w, LPARAM& l) {
  static char empty[1] = {0};
  auto room = [&](int32_t v) { return At(in, v).room; };
  int32_t lv = static_cast<int32_t>(l), wv = static_cast<int32_t>(w);
  if (TakesText(m)) {
    std::string s;
    bool null = false;
    if (!Str(in, lv, &s, &null)) return false;
    if (null) l = reinterpret_cast<LPARAM>(empty);
    return true;
  }
  switch (m) {
    case WM_GETTEXT: {
      size_t r = room(lv);
      if (r == 0) return false;
      if (static_cast<size_t>(static_cast<uint32_t>(wv)) > r) w = r;
      return true;
    }
    case LB_GETTEXT: case CB_GETLBTEXT: {
      LRESULT len = SendMessageA(h, m == LB_GETTEXT ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, w, 0);
      return len >= 0 && room(lv) > static_cast<size_t>(len);
    }
    case EM_GETLINE: {
      Bytes b = At(in, lv);
      if (b.room < 2) return false;
      size_t max = b.p[0] | (b.p[1] << 8);
      if (max > b.room) b.p[0] = static_cast<uint8_t>(b.room), b.p[1] = static_cast<uint8_t>(b.room >> 8);
      return true;
    }
    case EM_GETSEL:
      return (wv == 0 || room(wv) >= 4) && (lv == 0 || room(lv) >= 4);
    case LB_SETTABSTOPS:
      return wv >= 0 && (wv == 0 || room(lv) >= 4 * static_cast<size_t>(wv));
    case WM_GETDLGCODE:
      return lv == 0 || room(lv) >= sizeof(MSG);
    default:
      return true;
  }
}

int32_t FnSendMessageA(Interp& in, const int32_t* a) {
  HWND h = a[0];
  UINT m = static_cast<UINT>(a[1]);
  WPARAM w = static_cast<WPARAM>(static_cast<uint32_t>(a[2]));
  LPARAM l = static_cast<LPARAM>(a[3]);
  if (!CheckMessage(in, h, m, w, l)) return 0;
  return static_cast<int32_t>(SendMessageA(h, m, w, l));
}

// A posted address would be read later, when the area may be gone.
int32_t FnPostMessageA(Interp&, const int32_t* a) {
  UINT m = static_cast<UINT>(a[1]);
  if (CarriesAddress(m)) return FALSE;
  return PostMessageA(a[0], m, static_cast<WPARAM>(static_cast<uint32_t>(a[2])), static_cast<LPARAM>(a[3]));
}

int32_t FnSetWindowTextA(Interp& in, const int32_t* a) {
  std::string s;
  bool null = false;
  if (!Str(in, a[1], &s, &null)) return FALSE;
  return SetWindowTextA(a[0], s.c_str());
}

int32_t FnGetWindowTextA(Interp& in, const int32_t* a) {
  Bytes b = At(in, a[1]);
  if (!b.p || a[2] <= 0) return 0;
  int size = static_cast<int>(std::min(b.room, static_cast<size_t>(a[2])));
  return GetWindowTextA(a[0], reinterpret_cast<char*>(b.p), size);
}

int32_t FnShowWindow(Interp&, const int32_t* a) { return ShowWindow(a[0], a[1]); }

// ---- KERNEL32

int32_t FnGetTickCount(Interp&, const int32_t*) { return static_cast<int32_t>(GetTickCount()); }

int32_t FnSleep(Interp&, const int32_t* a) {
  if (a[0] > 0) std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<uint32_t>(a[0])));
  return 0;
}

int32_t FnGetPrivateProfileStringA(Interp& in, const int32_t* a) {
  std::string section, key, def, file;
  bool noSection = false, noKey = false, noDef = false, noFile = false;
  if (!Str(in, a[0], &section, &noSection) || !Str(in, a[1], &key, &noKey) ||
      !Str(in, a[2], &def, &noDef) || !Str(in, a[5], &file, &noFile))
    return 0;
  Bytes b = At(in, a[3]);
  if (!b.p || a[4] <= 0) return 0;
  uint32_t size = static_cast<uint32_t>(std::min(b.room, static_cast<size_t>(a[4])));
  if (noFile) file = "WIN.INI";
  return static_cast<int32_t>(GetPrivateProfileStringA(noSection ? nullptr : section.c_str(),
                                                       noKey ? nullptr : key.c_str(), def.c_str(),
                                                       reinterpret_cast<char*>(b.p), size, file.c_str()));
}

int32_t FnWritePrivateProfileStringA(Interp& in, const int32_t* a) {
  std::string section, key, value, file;
  bool noSection = false, noKey = false, noValue = false, noFile = false;
  if (!Str(in, a[0], &section, &noSection) || !Str(in, a[1], &key, &noKey) ||
      !Str(in, a[2], &value, &noValue) || !Str(in, a[3], &file, &noFile) || noSection)
    return FALSE;
  if (noFile) file = "WIN.INI";
  return WritePrivateProfileStringA(section.c_str(), noKey ? nullptr : key.c_str(),
                                    noValue ? nullptr : value.c_str(), file.c_str());
}

int32_t FnGetProfileStringA(Interp& in, const int32_t* a) {
  int32_t b[12] = {a[0], a[1], a[2], a[3], a[4], 0};
  return FnGetPrivateProfileStringA(in, b);
}

int32_t FnWriteProfileStringA(Interp& in, const int32_t* a) {
  int32_t b[12] = {a[0], a[1], a[2], 0};
  return FnWritePrivateProfileStringA(in, b);
}

int32_t FnGetWindowsDirectoryA(Interp& in, const int32_t* a) {
  return PutPath(in, a[0], a[1], win::Utf8ToCp1252(win::WindowsDirectory()));
}

int32_t FnGetCurrentDirectoryA(Interp& in, const int32_t* a) {
  return PutPath(in, a[1], a[0], win::CurrentDirectory());
}

int32_t FnGetModuleFileNameA(Interp& in, const int32_t* a) {
  std::string host = a[0] == 0 ? (in.args.empty() ? std::string() : in.args[0])
                               : win::SharedObjectPath(static_cast<uint32_t>(a[0]));
  if (host.empty()) return 0;
  std::string name = win::WindowsPathOf(host);
  if (name.empty()) name = win::Utf8ToCp1252(host);
  return Put(in, a[1], a[2], name);
}

// ---- GDI32

int32_t FnGetDeviceCaps(Interp&, const int32_t* a) { return GetDeviceCaps(a[0], a[1]); }
int32_t FnGetPixel(Interp&, const int32_t* a) { return static_cast<int32_t>(GetPixel(a[0], a[1], a[2])); }
int32_t FnSetPixel(Interp&, const int32_t* a) {
  return static_cast<int32_t>(SetPixel(a[0], a[1], a[2], static_cast<COLORREF>(a[3])));
}
int32_t FnTextOutA(Interp& in, const int32_t* a) {
  Bytes b = At(in, a[3]);
  if (a[4] < 0 || (a[4] > 0 && (!b.p || b.room < static_cast<size_t>(a[4])))) return FALSE;
  return TextOutA(a[0], a[1], a[2], b.p ? reinterpret_cast<const char*>(b.p) : "", a[4]);
}

// ---- WINMM: no sound device here yet; the calls fail as without one.

int32_t FnSndPlaySoundA(Interp& in, const int32_t* a) {
  std::string name;
  bool none = false;
  if (!Str(in, a[0], &name, &none)) return FALSE;
  return sndPlaySoundA(none ? nullptr : name.c_str(), static_cast<UINT>(a[1]));
}

// ---- SHELL32

int32_t FnShellExecuteA(Interp& in, const int32_t* a) {
  std::string verb, file, params, dir;
  bool noVerb = false, noParams = false, noDir = false;
  if (!Str(in, a[1], &verb, &noVerb) || !Str(in, a[2], &file) || !Str(in, a[3], &params, &noParams) ||
      !Str(in, a[4], &dir, &noDir))
    return 2;
  std::string v = verb;
  for (char& c : v) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (!noVerb && !v.empty() && v != "open") return 31;
  return ShellOpen(in, file, params, a[5]);
}

const Win32Function kUser32[] = {
    {"MessageBeep", 1, FnMessageBeep},       {"MessageBoxA", 4, FnMessageBoxA},
    {"GetSystemMetrics", 1, FnGetSystemMetrics}, {"FindWindowA", 2, FnFindWindowA},
    {"SendMessageA", 4, FnSendMessageA},     {"PostMessageA", 4, FnPostMessageA},
    {"SetWindowTextA", 2, FnSetWindowTextA}, {"GetWindowTextA", 3, FnGetWindowTextA},
    {"ShowWindow", 2, FnShowWindow},
};
const Win32Function kKernel32[] = {
    {"GetTickCount", 0, FnGetTickCount},
    {"Sleep", 1, FnSleep},
    {"GetPrivateProfileStringA", 6, FnGetPrivateProfileStringA},
    {"WritePrivateProfileStringA", 4, FnWritePrivateProfileStringA},
    {"GetProfileStringA", 5, FnGetProfileStringA},
    {"WriteProfileStringA", 3, FnWriteProfileStringA},
    {"GetWindowsDirectoryA", 2, FnGetWindowsDirectoryA},
    {"GetCurrentDirectoryA", 2, FnGetCurrentDirectoryA},
    {"GetModuleFileNameA", 3, FnGetModuleFileNameA},
};
const Win32Function kGdi32[] = {
    {"GetDeviceCaps", 2, FnGetDeviceCaps},
    {"GetPixel", 3, FnGetPixel},
    {"SetPixel", 4, FnSetPixel},
    {"TextOutA", 5, FnTextOutA},
};
const Win32Function kWinmm[] = {
    {"sndPlaySoundA", 2, FnSndPlaySoundA},
    {"timeGetTime", 0, FnGetTickCount},
};
const Win32Function kShell32[] = {
    {"ShellExecuteA", 6, FnShellExecuteA},
};

#define TILMOR_MODULE(n, h, t) {n, h, t, static_cast<int>(sizeof t / sizeof t[0])}
const Win32Module kModules[] = {
    TILMOR_MODULE("USER32", 0x7E410000u, kUser32),  TILMOR_MODULE("KERNEL32", 0x7C800000u, kKernel32),
    TILMOR_MODULE("GDI32", 0x77F10000u, kGdi32),    TILMOR_MODULE("WINMM", 0x76B40000u, kWinmm),
    TILMOR_MODULE("SHELL32", 0x7C9C0000u, kShell32),
};
#undef TILMOR_MODULE

}  // namespace

const Win32Module* FindWin32Module(std::string_view name) {
  size_t sep = name.find_last_of("\\/:");
  if (sep != std::string_view::npos) name = name.substr(sep + 1);
  std::string leaf;
  for (char c : name) leaf += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  while (!leaf.empty() && leaf.back() == ' ') leaf.pop_back();
  if (leaf.size() > 4 && leaf.compare(leaf.size() - 4, 4, ".DLL") == 0) leaf.resize(leaf.size() - 4);
  for (const Win32Module& m : kModules)
    if (leaf == m.name) return &m;
  return nullptr;
}

const Win32Function* FindWin32Function(const Win32Module& m, std::string_view name) {
  for (int i = 0; i < m.count; ++i)
    if (name == m.functions[i].name) return &m.functions[i];
  return nullptr;
}

int32_t ShellOpen(Interp& in, const std::string& file, const std::string& params, int show) {
  if (file.empty()) return 2;
  bool url = file.find("://") != std::string::npos || file.compare(0, 7, "mailto:") == 0;
  std::string host;
  if (!url) {
    win::ResolvedPath r = win::ResolvePath(file);
    if (r.error != win::PathError::None) return 3;
    host = r.host;
    struct stat st;
    if (stat(host.c_str(), &st) != 0) return 2;
    // A program (an executable file) is started, as WinExec would.
    if (S_ISREG(st.st_mode) && access(host.c_str(), X_OK) == 0) {
      std::string line = "\"" + file + "\"" + (params.empty() ? "" : " " + params);
      uint32_t r = win::WinExec(line, SelfDirectory(in), show == 0);
      return static_cast<int32_t>(r);
    }
  }
  std::string target = url ? win::Cp1252ToUtf8(file) : host;
  if (win::IsBatchMode()) {
    win::WriteBoxLine("ShellExecuteA", "open " + file);
    return 42;
  }
  return win::StartDetached({"xdg-open", target}) ? 42 : 31;
}

}  // namespace tilmor
