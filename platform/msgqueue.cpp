// The message queue: posted and input messages, paint and timer messages
// made when nothing else waits, the modal-free pump functions.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

#include "app.h"
#include "batch.h"
#include "batchinput.h"
#include "codepage.h"
#include "interrupt.h"
#include "window_impl.h"

namespace win::detail {
namespace {
// Where posting a message is noted; nowhere until the interpreter says.
volatile int g_noAttention = 0;
volatile int* g_attention = &g_noAttention;
}  // namespace

namespace {

QString g_lastKeyText;
MSG g_lastKeyMsg;

unsigned long long RealNow() {
  static QElapsedTimer clock;
  if (!clock.isValid()) clock.start();
  return static_cast<unsigned long long>(clock.elapsed());
}

bool Matches(const MSG& m, HWND filter, UINT lo, UINT hi) {
  if (filter && m.hwnd != filter) {
    // a filter window also takes its children's messages
    Wnd* w = Find(m.hwnd);
    bool child = false;
    for (; w; w = Find(w->parent))
      if (w->parent == filter) child = true;
    if (!child) return false;
  }
  if (lo == 0 && hi == 0) return true;
  return m.message >= lo && m.message <= hi;
}

}  // namespace

bool VirtualTime() { return win::IsBatchMode(); }

unsigned long long Now() { return VirtualTime() ? win::BatchClock() : RealNow(); }

void AdvanceVirtualTime(unsigned long long ms) { win::AdvanceBatchClock(ms); }

void Post(HWND hwnd, UINT msg, WPARAM w, LPARAM l, const QString& text) {
  QueuedMsg q;
  q.msg.hwnd = hwnd;
  q.msg.message = msg;
  q.msg.wParam = w;
  q.msg.lParam = l;
  q.msg.time = static_cast<DWORD>(Now());
  q.text = text;
  S().queue.push_back(std::move(q));
  *g_attention = 1;
}

}  // namespace win::detail

using namespace win::detail;

BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT lo, UINT hi, UINT remove) {
  if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
  State& s = S();
  for (auto it = s.queue.begin(); it != s.queue.end(); ++it) {
    if (!Matches(it->msg, hwnd, lo, hi)) continue;
    if (msg) *msg = it->msg;
    if (remove & PM_REMOVE) {
      if (it->msg.message == WM_KEYDOWN) {
        g_lastKeyText = it->text;
        g_lastKeyMsg = it->msg;
      }
      s.queue.erase(it);
    }
    return TRUE;
  }
  if (s.quit && (lo == 0 || (WM_QUIT >= lo && WM_QUIT <= hi))) {
    if (msg) *msg = MSG{0, WM_QUIT, static_cast<WPARAM>(s.quitCode), 0, static_cast<DWORD>(Now()), {}};
    if (remove & PM_REMOVE) s.quit = false;
    return TRUE;
  }
  if (lo == 0 || (WM_PAINT >= lo && WM_PAINT <= hi)) {
    for (HWND h : s.order) {
      Wnd* w = Find(h);
      if (!w || w->update.isEmpty() || !w->visible) continue;
      MSG m{h, WM_PAINT, 0, 0, static_cast<DWORD>(Now()), {}};
      if (!Matches(m, hwnd, lo, hi)) continue;
      if (msg) *msg = m;
      return TRUE;
    }
  }
  if (lo == 0 || (WM_TIMER >= lo && WM_TIMER <= hi)) {
    unsigned long long now = Now();
    for (Timer& t : s.timers) {
      if (t.due > now) continue;
      MSG m{t.hwnd, WM_TIMER, t.id, 0, static_cast<DWORD>(now), {}};
      if (!Matches(m, hwnd, lo, hi)) continue;
      if (msg) *msg = m;
      // One tick is pending at a time, however long nobody looked.
      if (remove & PM_REMOVE) t.due = now + t.interval;
      return TRUE;
    }
  }
  return FALSE;
}

BOOL WaitMessage() {
  State& s = S();
  for (;;) {
    if (PeekMessageA(nullptr, 0, 0, 0, PM_NOREMOVE)) return TRUE;
    if (win::IsBatchMode()) {
      // Nothing happens by itself without a window system: the script (or
      // standard input) is the user. When both are used up, the program
      // waits for ever: it is ended as if its window were closed.
      if (win::DeliverBatchInput(true)) continue;
      s.quit = true;
      s.quitCode = 255;
      *g_attention = 1;
      return TRUE;
    }
    if (win::InterruptRequested()) {
      // A request to end (a signal): the program's wait ends as if its
      // window were closed.
      s.quit = true;
      s.quitCode = 255;
      return TRUE;
    }
    if (!QCoreApplication::instance()) return FALSE;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
}

BOOL GetMessageA(MSG* msg, HWND hwnd, UINT lo, UINT hi) {
  for (;;) {
    if (PeekMessageA(msg, hwnd, lo, hi, PM_REMOVE)) return msg->message == WM_QUIT ? FALSE : TRUE;
    WaitMessage();
  }
}

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (hwnd && !Find(hwnd)) return FALSE;
  Post(hwnd, msg, w, l);
  return TRUE;
}

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  Wnd* wnd = Find(hwnd);
  if (!wnd) return 0;
  return wnd->proc ? wnd->proc(hwnd, msg, w, l) : DefWindowProcA(hwnd, msg, w, l);
}

BOOL TranslateMessage(const MSG* msg) {
  if (!msg || msg->message != WM_KEYDOWN) return FALSE;
  if (msg->hwnd != g_lastKeyMsg.hwnd || msg->wParam != g_lastKeyMsg.wParam) return FALSE;
  std::string bytes = win::Utf8ToCp1252(g_lastKeyText.toStdString());
  g_lastKeyText.clear();
  State& s = S();
  // The characters come right after their key, before anything queued later.
  auto at = s.queue.begin();
  for (unsigned char c : bytes) {
    QueuedMsg q;
    q.msg = MSG{msg->hwnd, WM_CHAR, c, msg->lParam, msg->time, {}};
    at = s.queue.insert(at, std::move(q)) + 1;
  }
  return bytes.empty() ? FALSE : TRUE;
}

LRESULT DispatchMessageA(const MSG* msg) {
  if (!msg || !msg->hwnd) return 0;
  return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void PostQuitMessage(int code) {
  S().quit = true;
  S().quitCode = code;
  *g_attention = 1;
}

UINT SetTimer(HWND hwnd, UINT id, UINT elapse, void*) {
  State& s = S();
  KillTimer(hwnd, id);
  Timer t;
  t.hwnd = hwnd;
  t.id = id;
  t.interval = std::max<UINT>(elapse, 1);
  t.due = Now() + t.interval;
  if (!VirtualTime() && QCoreApplication::instance()) {
    // A real timer only wakes the waiting pump; the message is made there.
    t.qt = new QTimer;
    t.qt->setInterval(static_cast<int>(t.interval));
    t.qt->start();
  }
  s.timers.push_back(t);
  return id;
}

BOOL KillTimer(HWND hwnd, UINT id) {
  State& s = S();
  auto it = std::find_if(s.timers.begin(), s.timers.end(),
                         [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
  if (it == s.timers.end()) return FALSE;
  delete it->qt;
  s.timers.erase(it);
  return TRUE;
}

short GetAsyncKeyState(int vk) {
  if (vk < 0 || vk > 255) return 0;
  State& s = S();
  int r = (s.keyDown[vk] ? 0x8000 : 0) | (s.keyPressed[vk] ? 1 : 0);
  s.keyPressed[vk] = false;
  return static_cast<short>(r);
}

short GetKeyState(int vk) {
  if (vk < 0 || vk > 255) return 0;
  return static_cast<short>(S().keyDown[vk] ? 0x8000 : 0);
}

void win::SetAttentionFlag(volatile int* flag) { g_attention = flag ? flag : &g_noAttention; }

bool win::MessagesWaiting() {
  State& s = S();
  return !s.queue.empty() || s.quit;
}

void win::WindowBell() {
  if (!win::IsBatchMode()) QApplication::beep();
}
