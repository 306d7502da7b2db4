// The message pump, the waits, the timer and the input functions and
// system variables that read the event record.
#include <chrono>

#include "app.h"
#include "argreader.h"
#include "batchinput.h"
#include "commands.h"
#include "dialogs/dialogbox.h"
#include "errors.h"
#include "fnargs.h"
#include "functions.h"
#include "mainloop.h"
#include "mainwindow.h"
#include "sysvars.h"

namespace tilmor {
namespace {

bool IsInputMessage(UINT m) { return (m >= 0x100 && m <= 0x108) || (m >= 0x200 && m <= 0x209); }

// Pumps and sleeps until `done` says the awaited event has come.
// Input goes to the main window, so a wait makes sure there is one.
template <typename Done>
void WaitFor(Interp& in, Done done) {
  EnsureMainWindow(in);
  for (;;) {
    PumpMessages(in);
    if (done()) return;
    WaitMessage();
  }
}

void CmdWaitScan(Interp& in, int) {
  in.events.lastKeyDown = 0;
  WaitFor(in, [&] { return in.events.lastKeyDown != 0; });
  in.events.key = in.events.lastChar;
}

void CmdWaitKey(Interp& in, int) {
  in.events.lastChar = 0;
  in.events.lastKeyDown = 0;
  WaitFor(in, [&] { return in.events.lastChar != 0 || in.events.lastKeyDown != 0; });
  in.events.key = in.events.lastChar;
}

void CmdWaitMouse(Interp& in, int) {
  EventRecord& e = in.events;
  e.leftDown = e.rightDown = false;
  e.menuItem = 0;
  WaitFor(in, [&] { return e.leftDown || e.rightDown || e.menuItem != 0; });
}

void CmdWaitInput(Interp& in, int) {
  EventRecord& e = in.events;
  e.leftDown = e.rightDown = false;
  e.menuItem = 0;
  e.timer = false;
  e.help = false;
  e.childLeft = e.childRight = false;
  e.lastChar = 0;
  e.lastKeyDown = 0;
  e.waitInput = true;
  WaitFor(in, [&] {
    return e.lastKeyDown != 0 || e.leftDown || e.rightDown || e.lastChar != 0 || e.childLeft ||
           e.childRight || e.paint || e.timer || e.menuItem != 0;
  });
  e.waitInput = false;
  e.key = e.lastChar;
}

void CmdSetTimer(Interp& in, int) {
  ReadArg(in, ' ', kNumber);
  int32_t ms = in.res.ival;
  EnsureMainWindow(in);
  EventRecord& e = in.events;
  if (e.timerId) KillTimer(e.timerOwner, e.timerId);
  e.timerOwner = MW().hwnd;
  e.timerId = SetTimer(e.timerOwner, 1, static_cast<UINT>(std::max(ms, 1)), nullptr);
}

void CmdKillTimer(Interp& in, int) {
  EventRecord& e = in.events;
  if (!e.timerId) {
    Warning(in, 250, "KILLTIMER");
    return;
  }
  KillTimer(e.timerOwner, e.timerId);
  e.timerId = 0;
  e.timerOwner = 0;
}

// A poll takes the script's next input (when the previous one has been
// taken) and looks at what has arrived. Input is delivered only here and in
// the waits, so a run with the same script behaves the same every time.
struct Poll {
  explicit Poll(Interp& in) {
    EnsureMainWindow(in);  // input reaches the main window only
    win::PollInput();
    PumpMessages(in);
  }
};

void InKey(Interp& in) {
  Poll poll(in);
  uint8_t c = in.events.lastChar;
  in.events.lastChar = 0;
  SetResultText(in, c ? std::string(1, static_cast<char>(c)) : std::string());
}

void GetKey(Interp& in) {
  in.events.lastChar = 0;
  in.events.lastKeyDown = 0;
  WaitFor(in, [&] { return in.events.lastChar != 0 || in.events.lastKeyDown != 0; });
  in.events.key = in.events.lastChar;
  SetResultText(in, in.events.key ? std::string(1, static_cast<char>(in.events.key)) : std::string());
}

void KeyIn(Interp& in) {
  std::string s = ReadText(in, ')');
  char k = static_cast<char>(in.events.key);
  SetResultLong(in, kInteger, in.events.key != 0 && s.find(k) != std::string::npos ? 1 : 0);
}

// x1,y1 - x2,y2 up to the closing parenthesis.
void ReadBox(Interp& in, int32_t v[4]) {
  v[0] = ReadNum(in, ',').ival;
  v[1] = ReadNum(in, '-').ival;
  v[2] = ReadNum(in, ',').ival;
  v[3] = ReadNum(in, ')').ival;
}

void Mouse(Interp& in) {
  int32_t v[4];
  ReadBox(in, v);
  int32_t x = in.events.mouseX, y = in.events.mouseY;
  SetResultLong(in, kInteger, v[0] <= x && x <= v[2] && v[1] <= y && y <= v[3] ? 1 : 0);
}

void TMouse(Interp& in) {
  int32_t v[4];
  ReadBox(in, v);
  int32_t row = in.events.mouseY / 13 + 1, col = in.events.mouseX / 8 + 1;
  SetResultLong(in, kInteger, v[0] <= row && row <= v[2] && v[1] <= col && col <= v[3] ? 1 : 0);
}

void MenuItemFn(Interp& in) {
  NumArg n = ReadNum(in, ')');
  SetResultLong(in, kInteger, in.events.menuItem == n.ival ? 1 : 0);
}

void ScanKeyFn(Interp& in) {
  NumArg n = ReadNum(in, ')');
  SetResultLong(in, kInteger, in.events.lastKeyDown == n.ival ? 1 : 0);
}

int MouseButtons(Interp& in) {
  Poll poll(in);
  return in.events.leftDown ? 1 : in.events.rightDown ? 2 : 0;
}

// A one-shot flag: 1 once after it was set.
int32_t Take(bool& flag) {
  bool v = flag;
  flag = false;
  return v ? 1 : 0;
}

int32_t WindowEdge(int which) {
  RECT r;
  if (!MW().exists || !GetWindowRect(MW().hwnd, &r)) return 0;
  return which == 0 ? r.left : which == 1 ? r.top : which == 2 ? r.right : r.bottom;
}

}  // namespace

void PumpMessages(Interp& in) {
  if (static_cast<unsigned short>(GetAsyncKeyState(VK_F1)) == 0x8001) RecordChar(in, 5);
  MSG msg;
  while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) {
    if (IsInputMessage(msg.message)) in.events.input = true;
    if (msg.message == WM_QUIT) {
      if (MW().caretCreated) {
        DestroyCaret();
        MW().caretCreated = false;
      }
      throw ProgramEnd{kExitAborted};
    }
    // The current modeless dialog's keyboard interface: Tab, Enter, Escape.
    if (in.events.modeless && IsDialogMessageA(in.events.modeless, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void PumpBetweenLines(Interp& in) {
  if (win::InterruptRequested()) throw ProgramEnd{kExitAborted};
  // A tight program loop must not spend its time in the window system:
  // without messages of our own it is looked at every 3 ms at most.
  using Clock = std::chrono::steady_clock;
  static Clock::time_point last{};
  g_loopAttention = 0;
  Clock::time_point now = Clock::now();
  if (!win::MessagesWaiting() && last != Clock::time_point{} && now - last < std::chrono::milliseconds(3))
    return;
  last = now;
  PumpMessages(in);
  if (win::MessagesWaiting()) g_loopAttention = 1;
}

void RegisterEventFunctions() {
  RegisterCommand("WAITSCAN", CmdWaitScan);
  RegisterCommand("WAITKEY", CmdWaitKey);
  RegisterCommand("WAITMOUSE", CmdWaitMouse);
  RegisterCommand("WAITINPUT", CmdWaitInput);
  RegisterCommand("SETTIMER", CmdSetTimer);
  RegisterCommand("KILLTIMER", CmdKillTimer);
  RegisterFunction("INKEY$", InKey);
  RegisterFunction("GETKEY$", GetKey);
  RegisterFunction("KEYIN", KeyIn);
  RegisterFunction("MOUSE", Mouse);
  RegisterFunction("TMOUSE", TMouse);
  RegisterFunction("MENUITEM", MenuItemFn);
  RegisterFunction("SCANKEY", ScanKeyFn);

  RegisterSystemVariable("%MOUSEX", [](Interp& in) { in.res.ival = in.events.mouseX; });
  RegisterSystemVariable("%MOUSEY", [](Interp& in) { in.res.ival = in.events.mouseY; });
  RegisterSystemVariable("%MOUSEKEY", [](Interp& in) {
    in.res.ival = MouseButtons(in);
    in.events.leftDown = in.events.rightDown = false;
  });
  RegisterSystemVariable("%MOUSEPRESSED", [](Interp& in) { in.res.ival = MouseButtons(in); });
  RegisterSystemVariable("%MENUITEM", [](Interp& in) { in.res.ival = in.events.menuItem; });
  RegisterSystemVariable("%SCANKEY", [](Interp& in) { in.res.ival = in.events.lastKeyDown; });
  RegisterSystemVariable("%KEY", [](Interp& in) { in.res.ival = in.events.key; });
  RegisterSystemVariable("%WMPAINT", [](Interp& in) { Poll poll(in); in.res.ival = Take(in.events.paint); });
  RegisterSystemVariable("%WMTIMER", [](Interp& in) { Poll poll(in); in.res.ival = Take(in.events.timer); });
  RegisterSystemVariable("%GETINPUTSTATE", [](Interp& in) { Poll poll(in); in.res.ival = Take(in.events.input); });
  RegisterSystemVariable("%MESSAGE", [](Interp& in) { in.res.ival = in.events.lastMessage; });
  RegisterSystemVariable("%GETFOCUS", [](Interp& in) {
    HWND f = GetFocus();
    in.res.ival = in.events.help ? -f : f;
  });
  RegisterSystemVariable("%DDEWIN", [](Interp& in) { in.res.lval = in.events.ddeWin; });
  // In batch mode text may have gone to standard output in the window's
  // place; a program asking for the window gets the one a desktop run has.
  RegisterSystemVariable("%HWND", [](Interp& in) { HaveMainWindow(in); in.res.ival = MW().hwnd; });
  RegisterSystemVariable("%HDC", [](Interp& in) { HaveMainWindow(in); in.res.ival = MW().dc; });
  RegisterSystemVariable("%FONT", [](Interp& in) { in.res.ival = MW().currentFont; });
  RegisterSystemVariable("%HDC2", [](Interp& in) { HaveMainWindow(in); in.res.ival = MW().memDc; });
  RegisterSystemVariable("%WINLEFT", [](Interp& in) { HaveMainWindow(in); in.res.ival = WindowEdge(0); });
  RegisterSystemVariable("%WINTOP", [](Interp& in) { HaveMainWindow(in); in.res.ival = WindowEdge(1); });
  RegisterSystemVariable("%WINRIGHT", [](Interp& in) { HaveMainWindow(in); in.res.ival = WindowEdge(2); });
  RegisterSystemVariable("%WINBOTTOM", [](Interp& in) { HaveMainWindow(in); in.res.ival = WindowEdge(3); });
  RegisterSystemVariable("%DESKTOP", [](Interp& in) { in.res.ival = GetDesktopWindow(); });
  // Our own instance handle, as a module of 32-bit Windows would have it.
  RegisterSystemVariable("%HINSTANCE", [](Interp& in) { in.res.ival = 0x00400000; });
}

}  // namespace tilmor
