// @SENDKEY and @SENDSTRING: keys typed into a window as the keyboard would,
// characters mapped to the keys of a German keyboard.
#include "controls/controls.h"
#include "dialogstate.h"
#include "fnargs.h"
#include "functions.h"
#include "mainwindow.h"

namespace tilmor {
namespace {

constexpr BYTE kAlt = 18, kCapsLock = 20;

// The Alt key marks its own press and release and the next key's with the
// scan byte 1.
bool g_altPending = false;

HWND Target(HWND h) {
  HWND focus = GetFocus();
  return h == 0 || h == focus ? focus : h;
}

void TypeKey(HWND target, BYTE vk) {
  SetActiveWindow(target);
  BYTE scan = 0;
  if (vk == kAlt) {
    scan = 1;
    g_altPending = true;
  } else if (g_altPending) {
    scan = 1;
    g_altPending = false;
  }
  keybd_event(vk, scan, 0, 0);
  keybd_event(vk, scan, KEYEVENTF_KEYUP, 0);
}

void TypeShifted(HWND target, BYTE vk) {
  TypeKey(target, kCapsLock);
  TypeKey(target, vk);
  TypeKey(target, kCapsLock);
}

// The keys of one character; false for a character without keys.
bool KeysOf(unsigned char c, BYTE& vk, bool& shifted) {
  shifted = false;
  auto in = [c](const char* set) {
    for (const char* p = set; *p; ++p)
      if (static_cast<unsigned char>(*p) == c) return static_cast<int>(p - set);
    return -1;
  };
  int i;
  if (c == 8 || c == 9 || c == 13 || c == 18 || c == ' ' || (c >= '0' && c <= '9')) {
    vk = c;
  } else if (c >= 'a' && c <= 'z') {
    vk = static_cast<BYTE>(c - 32);
  } else if (c >= 'A' && c <= 'Z') {
    vk = c, shifted = true;
  } else if ((i = in("!$%&()/=")) >= 0) {
    vk = static_cast<BYTE>("14568970"[i]), shifted = true;
  } else if ((i = in("#+,-.")) >= 0) {
    static const BYTE k[] = {191, 187, 188, 189, 190};
    vk = k[i];
  } else if ((i = in("'*:;_")) >= 0) {
    static const BYTE k[] = {191, 187, 190, 188, 189};
    vk = k[i], shifted = true;
  } else if (c == '<') {
    vk = 226;
  } else if (c == '>') {
    vk = 226, shifted = true;
  } else if (c == '?') {
    vk = 219, shifted = true;
  } else if (c == 0xA7) {  // §
    vk = '3', shifted = true;
  } else if ((i = in("\xE4\xF6\xFC\xDF")) >= 0) {  // ä ö ü ß
    static const BYTE k[] = {222, 192, 186, 219};
    vk = k[i];
  } else if ((i = in("\xC4\xD6\xDC")) >= 0) {  // Ä Ö Ü
    static const BYTE k[] = {222, 192, 186};
    vk = k[i], shifted = true;
  } else {
    return false;
  }
  return true;
}

void SendKey(Interp& in) {
  HWND h = static_cast<HWND>(ReadNum(in, ',').ival);
  int32_t vk = ReadNum(in, ')').ival;
  TypeKey(Target(h), static_cast<BYTE>(vk));
  SetResultLong(in, kInteger, 1);
}

void SendString(Interp& in) {
  HWND h = static_cast<HWND>(ReadNum(in, ',').ival);
  std::string s = ReadText(in, ')');
  HWND target = Target(h);
  for (unsigned char c : s) {
    BYTE vk;
    bool shifted;
    if (!KeysOf(c, vk, shifted)) continue;
    if (shifted)
      TypeShifted(target, vk);
    else
      TypeKey(target, vk);
    PumpMessages(in);
  }
  SetResultLong(in, kInteger, 1);
}

}  // namespace

void RegisterSendKeys() {
  RegisterFunction("SENDKEY", SendKey);
  RegisterFunction("SENDSTRING", SendString);
}

}  // namespace tilmor
