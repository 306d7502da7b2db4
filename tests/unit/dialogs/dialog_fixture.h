// What the dialog tests share: an application in batch mode, stand-in
// control classes where the real ones are missing, a logging control class
// and a dialog procedure that records what it is sent.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "batch.h"
#include "controls/controls.h"
#include "dialogs/dialog_impl.h"
#include "dialogs/dialogbox.h"
#include "../qt_app.h"
#include "winuser.h"

namespace dialog_test {

struct Sent {
  HWND hwnd;
  UINT msg;
  WPARAM w;
  LPARAM l;
};

// Messages the test controls were sent, and what they answer WM_GETDLGCODE.
inline std::vector<Sent> g_controlLog;
inline std::map<HWND, LRESULT> g_dlgCodes;

inline LRESULT LoggingControl(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m != WM_PAINT && m != WM_ERASEBKGND) g_controlLog.push_back({h, m, w, l});
  if (m == WM_GETDLGCODE) {
    auto it = g_dlgCodes.find(h);
    return it == g_dlgCodes.end() ? 0 : it->second;
  }
  return DefWindowProcA(h, m, w, l);
}

inline void RegisterControlClass(const char* name, bool onlyWhenMissing) {
  WNDCLASSA probe;
  if (onlyWhenMissing && GetClassInfoA(0, name, &probe)) return;
  WNDCLASSA wc;
  wc.lpfnWndProc = LoggingControl;
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

// The dialog procedure of the tests: every message is recorded, and a test
// may answer one itself.
inline std::vector<Sent> g_dialogLog;
inline std::function<BOOL(HWND, UINT, WPARAM, LPARAM)> g_onMessage;

inline BOOL RecordingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m != WM_PAINT && m != WM_ERASEBKGND) g_dialogLog.push_back({h, m, w, l});
  return g_onMessage ? g_onMessage(h, m, w, l) : FALSE;
}

inline std::vector<Sent> Commands() {
  std::vector<Sent> out;
  for (const Sent& s : g_dialogLog)
    if (s.msg == WM_COMMAND) out.push_back(s);
  return out;
}

inline win::DialogItem Control(const char* cls, const char* text, DWORD style, int x, int y, int cx, int cy,
                               int id) {
  win::DialogItem i;
  i.className = cls;
  i.text = text;
  i.style = style;
  i.x = x, i.y = y, i.cx = cx, i.cy = cy;
  i.id = id;
  return i;
}

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureTestApplication(true);
    win::SetBatchMode(true);
    win::ClearBatchScript();
    // The dialogs' own classes: the real controls where they are built in.
    for (const char* cls : {"BUTTON", "EDIT", "STATIC", "LISTBOX", "COMBOBOX", "SCROLLBAR"})
      RegisterControlClass(cls, true);
    RegisterControlClass("TESTCTL", false);
    WNDCLASSA wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "TESTOWNER";
    RegisterClassA(&wc);
    g_controlLog.clear();
    g_dlgCodes.clear();
    g_dialogLog.clear();
    g_onMessage = nullptr;
  }
  void TearDown() override {
    win::detail::OverrideDialogBaseUnits(0, 0);
    g_onMessage = nullptr;
    win::ClearBatchScript();
    win::ResetWindowSystem();
    win::SetBatchMode(false);
  }
  HWND Owner() {
    HWND h = CreateWindowExA(0, "TESTOWNER", "owner", WS_OVERLAPPEDWINDOW, 100, 100, 400, 300, 0, 0, 0, nullptr);
    ShowWindow(h, SW_SHOWNORMAL);
    return h;
  }
  static win::DialogTemplate Template(std::vector<win::DialogItem> items, const char* caption = "Test") {
    win::DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    t.caption = caption;
    t.cx = 200, t.cy = 100;
    t.items = std::move(items);
    return t;
  }
  static void Drain() {
    MSG m;
    while (PeekMessageA(&m, 0, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
  }
};

}  // namespace dialog_test
