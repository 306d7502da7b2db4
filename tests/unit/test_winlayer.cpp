// The Win32-shaped window layer: window order and destruction, focus
// messages, the queue's paint and timer messages, key translation, and the
// device contexts' drawing.
#include <gtest/gtest.h>

#include <QImage>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

#include <vector>

#include "app.h"
#include "qt_app.h"
#include "batch.h"
#include "wingdi.h"
#include "winuser.h"

namespace {

std::vector<std::pair<HWND, UINT>> g_log;

LRESULT Logging(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m != WM_PAINT) g_log.emplace_back(h, m);
  return DefWindowProcA(h, m, w, l);
}

class WinLayer : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureTestApplication(true);
    win::SetBatchMode(true);  // timers on the message clock
    WNDCLASSA wc;
    wc.lpfnWndProc = Logging;
    wc.hbrBackground = GetStockObject(WHITE_BRUSH);
    wc.lpszClassName = "TESTWND";
    RegisterClassA(&wc);
    g_log.clear();
  }
  void TearDown() override {
    win::ResetWindowSystem();
    win::SetBatchMode(false);
  }
  HWND Top() { return CreateWindowExA(0, "TESTWND", "t", WS_OVERLAPPED, 0, 0, 200, 100, 0, 0, 0, nullptr); }
  HWND Child(HWND parent, int id) {
    return CreateWindowExA(0, "TESTWND", "c", WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, parent, id, 0, nullptr);
  }
  void Drain() {
    MSG m;
    while (PeekMessageA(&m, 0, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
  }
};

TEST_F(WinLayer, ChildrenKeepTheirOrderAndDieWithTheirParent) {
  HWND top = Top();
  HWND a = Child(top, 1), b = Child(top, 2), c = Child(top, 3);
  EXPECT_EQ(GetWindow(top, GW_CHILD), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
  EXPECT_EQ(GetWindow(c, GW_HWNDPREV), b);
  EXPECT_EQ(GetWindow(c, GW_HWNDNEXT), 0);
  EXPECT_EQ(GetDlgItem(top, 2), b);
  EXPECT_EQ(GetParent(b), top);
  RECT r;
  ASSERT_TRUE(GetWindowRect(b, &r));
  EXPECT_EQ(r.left, 10);  // the parent sits at 0,0
  g_log.clear();
  EXPECT_TRUE(DestroyWindow(top));
  EXPECT_FALSE(IsWindow(a));
  EXPECT_FALSE(IsWindow(c));
  ASSERT_GE(g_log.size(), 4u);
  EXPECT_EQ(g_log.front(), std::make_pair(top, WM_DESTROY)) << "the parent is told first";
}

TEST_F(WinLayer, FocusMovesWithKillAndSetMessages) {
  HWND top = Top();
  HWND a = Child(top, 1), b = Child(top, 2);
  SetFocus(a);
  g_log.clear();
  EXPECT_EQ(SetFocus(b), a);
  ASSERT_EQ(g_log.size(), 2u);
  EXPECT_EQ(g_log[0], std::make_pair(a, WM_KILLFOCUS));
  EXPECT_EQ(g_log[1], std::make_pair(b, WM_SETFOCUS));
  EXPECT_EQ(GetFocus(), b);
  DestroyWindow(b);
  EXPECT_EQ(GetFocus(), 0) << "a destroyed window loses the focus";
}

TEST_F(WinLayer, PaintComesAfterPostedMessagesAndUntilValidated) {
  HWND top = Top();
  ShowWindow(top, SW_SHOW);
  Drain();
  InvalidateRect(top, nullptr, FALSE);
  PostMessageA(top, WM_USER + 1, 0, 0);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER + 1);
  ASSERT_TRUE(PeekMessageA(&m, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_PAINT);
  ASSERT_TRUE(PeekMessageA(&m, 0, 0, 0, PM_REMOVE)) << "still invalid: paint again";
  EXPECT_EQ(m.message, WM_PAINT);
  DispatchMessageA(&m);  // the default handling validates
  EXPECT_FALSE(PeekMessageA(&m, 0, 0, 0, PM_REMOVE));
}

TEST_F(WinLayer, TimersTickOnTheMessageClockOncePerDue) {
  HWND top = Top();
  Drain();
  SetTimer(top, 1, 100, nullptr);
  MSG m;
  EXPECT_FALSE(PeekMessageA(&m, 0, WM_TIMER, WM_TIMER, PM_REMOVE));
  ASSERT_TRUE(win::ParseBatchScript("wait 250\n", nullptr));
  ASSERT_TRUE(WaitMessage());  // delivers the wait: time moves on
  ASSERT_TRUE(PeekMessageA(&m, 0, WM_TIMER, WM_TIMER, PM_REMOVE));
  EXPECT_EQ(m.wParam, 1u);
  EXPECT_FALSE(PeekMessageA(&m, 0, WM_TIMER, WM_TIMER, PM_REMOVE)) << "one pending tick at a time";
  EXPECT_TRUE(KillTimer(top, 1));
  EXPECT_FALSE(KillTimer(top, 1));
}

TEST_F(WinLayer, KeysBecomeKeyDownThenCharacters) {
  HWND top = Top();
  ShowWindow(top, SW_SHOW);
  SetFocus(top);
  Drain();
  g_log.clear();
  QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
  QCoreApplication::sendEvent(win::QtWidgetOf(top), &press);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_KEYDOWN);
  EXPECT_EQ(m.wParam, static_cast<WPARAM>('A'));
  EXPECT_TRUE(TranslateMessage(&m));
  ASSERT_TRUE(PeekMessageA(&m, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_CHAR);
  EXPECT_EQ(m.wParam, static_cast<WPARAM>('a'));
  EXPECT_EQ(static_cast<unsigned short>(GetAsyncKeyState('A')), 0x8001u);
  EXPECT_EQ(static_cast<unsigned short>(GetAsyncKeyState('A')), 0x8000u) << "pressed-since is read once";
}

TEST_F(WinLayer, ClosingPostsCloseAndTheDefaultDestroys) {
  HWND top = Top();
  ShowWindow(top, SW_SHOW);
  Drain();
  g_log.clear();
  win::QtWidgetOf(top)->close();
  Drain();
  EXPECT_FALSE(IsWindow(top));
  ASSERT_GE(g_log.size(), 2u);
  EXPECT_EQ(g_log[0].second, WM_CLOSE);
  EXPECT_EQ(g_log[1].second, WM_DESTROY);
}

TEST_F(WinLayer, ContextsDrawCopyAndRefuseToFreeWhatIsSelected) {
  HDC mem = CreateCompatibleDC(0);
  HGDIOBJ bmp = CreateCompatibleBitmap(0, 20, 10);
  ASSERT_NE(bmp, 0);
  HGDIOBJ old = SelectObject(mem, bmp);
  HGDIOBJ red = CreateSolidBrush(RGB(255, 0, 0));
  SelectObject(mem, red);
  EXPECT_TRUE(PatBlt(mem, 0, 0, 10, 10, PATCOPY));
  EXPECT_EQ(GetPixel(mem, 9, 9), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(mem, 10, 0), RGB(0, 0, 0)) << "a new bitmap is black";
  EXPECT_EQ(GetPixel(mem, 20, 0), CLR_INVALID);
  EXPECT_FALSE(DeleteObject(red)) << "still selected";
  // Overlapping copy within one bitmap, as scrolling does.
  EXPECT_TRUE(BitBlt(mem, 5, 0, 10, 10, mem, 0, 0, SRCCOPY));
  EXPECT_EQ(GetPixel(mem, 14, 5), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(mem, 15, 5), RGB(0, 0, 0));
  EXPECT_TRUE(BitBlt(mem, 0, 0, 20, 10, mem, 0, 0, DSTINVERT));
  EXPECT_EQ(GetPixel(mem, 19, 0), RGB(255, 255, 255));
  // Opaque text paints its background cell by cell.
  SelectObject(mem, GetStockObject(SYSTEM_FIXED_FONT));
  SetBkColor(mem, RGB(0, 0, 255));
  SetTextColor(mem, RGB(255, 255, 0));
  SetBkMode(mem, OPAQUE);
  TEXTMETRICA tm;
  ASSERT_TRUE(GetTextMetricsA(mem, &tm));
  EXPECT_EQ(tm.tmAveCharWidth, 8);
  EXPECT_EQ(tm.tmHeight, 16);
  EXPECT_TRUE(TextOutA(mem, 0, 0, "  ", 2));
  EXPECT_EQ(GetPixel(mem, 15, 9), RGB(0, 0, 255));
  SelectObject(mem, GetStockObject(WHITE_BRUSH));
  EXPECT_TRUE(DeleteObject(red));
  SelectObject(mem, old);
  EXPECT_TRUE(DeleteObject(bmp));
  EXPECT_TRUE(DeleteDC(mem));
  EXPECT_FALSE(DeleteObject(GetStockObject(BLACK_BRUSH))) << "stock objects stay";
}

}  // namespace
