// The window-system layer as a table of functions, for the programs that
// load it on first use (gui_module.h). One list names every function of the
// layer's headers a program may call; the loadable module fills the table
// from it and the program's stand-ins forward through it.
//
// A function added to winuser.h, wingdi.h, dialogs.h, screen.h, app.h,
// clipboard.h or batchinput.h is added here too, one of controls/, dialogs/
// or menus/ to that folder's table header; a program that calls one missing
// there does not link.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app.h"
#include "batchinput.h"
#include "controls/controls_table.h"
#include "dialogs/dialogs_table.h"
#include "gdi/gdi_table.h"
#include "gdi/bitmaps_table.h"
#include "gdi/printing_table.h"
#include "menus/menus_table.h"
#include "clipboard.h"
#include "dde/dde.h"
#include "dialogs.h"
#include "screen.h"
#include "wingdi.h"
#include "winuser.h"

// X(return type, name, (parameters), (arguments)): functions that need the
// window system, which is loaded for them.
#define TILMOR_GUI_FUNCTIONS(X)                                                                  \
  X(BOOL, SetScrollRange, (HWND a, int b, int c, int d, BOOL e), (a, b, c, d, e))               \
  X(BOOL, GetScrollRange, (HWND a, int b, int* c, int* d), (a, b, c, d))                       \
  X(int, SetScrollPos, (HWND a, int b, int c, BOOL d), (a, b, c, d))                           \
  X(int, GetScrollPos, (HWND a, int b), (a, b))                                                \
  X(HWND, CreateWindowExA,                                                                     \
    (DWORD a, LPCSTR b, LPCSTR c, DWORD d, int e, int f, int g, int h, HWND i, HMENU j,         \
     HINSTANCE k, void* l),                                                                    \
    (a, b, c, d, e, f, g, h, i, j, k, l))                                                      \
  X(BOOL, DestroyWindow, (HWND a), (a))                                                        \
  X(BOOL, IsWindow, (HWND a), (a))                                                             \
  X(BOOL, RegisterClassA, (const WNDCLASSA* a), (a))                                           \
  X(BOOL, GetClassInfoA, (HINSTANCE a, LPCSTR b, WNDCLASSA* c), (a, b, c))                     \
  X(int, GetClassNameA, (HWND a, LPSTR b, int c), (a, b, c))                                   \
  X(LRESULT, DefWindowProcA, (HWND a, UINT b, WPARAM c, LPARAM d), (a, b, c, d))               \
  X(LRESULT, CallWindowProcA, (WNDPROC a, HWND b, UINT c, WPARAM d, LPARAM e), (a, b, c, d, e)) \
  X(BOOL, ShowWindow, (HWND a, int b), (a, b))                                                 \
  X(BOOL, IsWindowVisible, (HWND a), (a))                                                      \
  X(BOOL, IsIconic, (HWND a), (a))                                                             \
  X(BOOL, IsZoomed, (HWND a), (a))                                                             \
  X(BOOL, EnableWindow, (HWND a, BOOL b), (a, b))                                              \
  X(BOOL, IsWindowEnabled, (HWND a), (a))                                                      \
  X(BOOL, SetWindowPos, (HWND a, HWND b, int c, int d, int e, int f, UINT g),                  \
    (a, b, c, d, e, f, g))                                                                     \
  X(BOOL, MoveWindow, (HWND a, int b, int c, int d, int e, BOOL f), (a, b, c, d, e, f))         \
  X(BOOL, GetWindowRect, (HWND a, RECT* b), (a, b))                                            \
  X(BOOL, GetClientRect, (HWND a, RECT* b), (a, b))                                            \
  X(BOOL, ClientToScreen, (HWND a, POINT* b), (a, b))                                          \
  X(BOOL, ScreenToClient, (HWND a, POINT* b), (a, b))                                          \
  X(BOOL, SetWindowTextA, (HWND a, LPCSTR b), (a, b))                                          \
  X(int, GetWindowTextA, (HWND a, LPSTR b, int c), (a, b, c))                                  \
  X(int, GetWindowTextLengthA, (HWND a), (a))                                                  \
  X(LONG, GetWindowLongA, (HWND a, int b), (a, b))                                             \
  X(LONG, SetWindowLongA, (HWND a, int b, LONG c), (a, b, c))                                  \
  X(HWND, GetParent, (HWND a), (a))                                                            \
  X(HWND, GetWindow, (HWND a, UINT b), (a, b))                                                 \
  X(HWND, GetDesktopWindow, (), ())                                                            \
  X(HWND, FindWindowA, (LPCSTR a, LPCSTR b), (a, b))                                           \
  X(int, GetDlgCtrlID, (HWND a), (a))                                                          \
  X(HWND, GetDlgItem, (HWND a, int b), (a, b))                                                 \
  X(HWND, SetFocus, (HWND a), (a))                                                             \
  X(HWND, SetActiveWindow, (HWND a), (a))                                                      \
  X(HWND, SetCapture, (HWND a), (a))                                                           \
  X(BOOL, ReleaseCapture, (), ())                                                              \
  X(BOOL, InvalidateRect, (HWND a, const RECT* b, BOOL c), (a, b, c))                          \
  X(BOOL, ValidateRect, (HWND a, const RECT* b), (a, b))                                       \
  X(BOOL, UpdateWindow, (HWND a), (a))                                                         \
  X(BOOL, GetUpdateRect, (HWND a, RECT* b, BOOL c), (a, b, c))                                 \
  X(BOOL, ScrollWindow, (HWND a, int b, int c, const RECT* d, const RECT* e), (a, b, c, d, e)) \
  X(BOOL, CreateCaret, (HWND a, HGDIOBJ b, int c, int d), (a, b, c, d))                        \
  X(BOOL, DestroyCaret, (), ())                                                                \
  X(BOOL, ShowCaret, (HWND a), (a))                                                            \
  X(BOOL, HideCaret, (HWND a), (a))                                                            \
  X(BOOL, SetCaretPos, (int a, int b), (a, b))                                                 \
  X(int, ShowCursor, (BOOL a), (a))                                                            \
  X(BOOL, GetMessageA, (MSG* a, HWND b, UINT c, UINT d), (a, b, c, d))                         \
  X(BOOL, WaitMessage, (), ())                                                                 \
  X(BOOL, PostMessageA, (HWND a, UINT b, WPARAM c, LPARAM d), (a, b, c, d))                    \
  X(LRESULT, SendMessageA, (HWND a, UINT b, WPARAM c, LPARAM d), (a, b, c, d))                 \
  X(BOOL, TranslateMessage, (const MSG* a), (a))                                               \
  X(LRESULT, DispatchMessageA, (const MSG* a), (a))                                            \
  X(void, PostQuitMessage, (int a), (a))                                                       \
  X(UINT, SetTimer, (HWND a, UINT b, UINT c, void* d), (a, b, c, d))                           \
  X(BOOL, KillTimer, (HWND a, UINT b), (a, b))                                                 \
  X(HDC, GetDC, (HWND a), (a))                                                                 \
  X(int, ReleaseDC, (HWND a, HDC b), (a, b))                                                   \
  X(HDC, BeginPaint, (HWND a, PAINTSTRUCT* b), (a, b))                                         \
  X(BOOL, EndPaint, (HWND a, const PAINTSTRUCT* b), (a, b))                                    \
  X(HDC, CreateCompatibleDC, (HDC a), (a))                                                     \
  X(HDC, CreateDCA, (LPCSTR a, LPCSTR b, LPCSTR c, const void* d), (a, b, c, d))               \
  X(HDC, CreateICA, (LPCSTR a, LPCSTR b, LPCSTR c, const void* d), (a, b, c, d))               \
  X(BOOL, DeleteDC, (HDC a), (a))                                                              \
  X(HGDIOBJ, CreateCompatibleBitmap, (HDC a, int b, int c), (a, b, c))                         \
  X(HGDIOBJ, GetStockObject, (int a), (a))                                                     \
  X(HGDIOBJ, CreateSolidBrush, (COLORREF a), (a))                                              \
  X(HGDIOBJ, CreatePen, (int a, int b, COLORREF c), (a, b, c))                                 \
  X(HGDIOBJ, SelectObject, (HDC a, HGDIOBJ b), (a, b))                                         \
  X(BOOL, DeleteObject, (HGDIOBJ a), (a))                                                      \
  X(HGDIOBJ, GetCurrentObject, (HDC a, UINT b), (a, b))                                        \
  X(COLORREF, SetTextColor, (HDC a, COLORREF b), (a, b))                                       \
  X(COLORREF, GetTextColor, (HDC a), (a))                                                      \
  X(COLORREF, SetBkColor, (HDC a, COLORREF b), (a, b))                                         \
  X(COLORREF, GetBkColor, (HDC a), (a))                                                        \
  X(int, SetBkMode, (HDC a, int b), (a, b))                                                    \
  X(int, SetStretchBltMode, (HDC a, int b), (a, b))                                            \
  X(BOOL, GetTextMetricsA, (HDC a, TEXTMETRICA* b), (a, b))                                    \
  X(BOOL, GetTextExtentPoint32A, (HDC a, LPCSTR b, int c, SIZE* d), (a, b, c, d))              \
  X(BOOL, TextOutA, (HDC a, int b, int c, LPCSTR d, int e), (a, b, c, d, e))                   \
  X(BOOL, PatBlt, (HDC a, int b, int c, int d, int e, DWORD f), (a, b, c, d, e, f))            \
  X(BOOL, BitBlt, (HDC a, int b, int c, int d, int e, HDC f, int g, int h, DWORD i),           \
    (a, b, c, d, e, f, g, h, i))                                                               \
  X(COLORREF, GetPixel, (HDC a, int b, int c), (a, b, c))                                      \
  X(COLORREF, SetPixel, (HDC a, int b, int c, COLORREF d), (a, b, c, d))                       \
  X(int, GetDeviceCaps, (HDC a, int b), (a, b))                                                \
  X(BOOL, FillRect, (HDC a, const RECT* b, HGDIOBJ c), (a, b, c))                              \
  X(int, GetSystemMetrics, (int a), (a))                                                       \
  TILMOR_GUI_CONTROL_FUNCTIONS(X)                                                              \
  TILMOR_GUI_DIALOG_FUNCTIONS(X)                                                               \
  TILMOR_GUI_MENU_FUNCTIONS(X)                                                                 \
  TILMOR_GUI_GDI_FUNCTIONS(X)                                                                  \
  TILMOR_GUI_BITMAP_FUNCTIONS(X)                                                               \
  TILMOR_GUI_PRINTING_FUNCTIONS(X)

// Functions that batch mode answers without a window system; their
// stand-ins are written by hand.
#define TILMOR_GUI_BATCH_FUNCTIONS(X)                                      \
  X(int, MessageBoxA, (HWND a, LPCSTR b, LPCSTR c, UINT d), (a, b, c, d))  \
  X(BOOL, GetOpenFileNameA, (OPENFILENAMEA* a), (a))                       \
  X(BOOL, GetSaveFileNameA, (OPENFILENAMEA* a), (a))

// The same for the layer's functions in namespace win.
#define TILMOR_GUI_WIN_FUNCTIONS(X)                                            \
  X(void, ResetWindowSystem, (), ())                                           \
  X(void, CreateApplication, (int a, char** b, bool c), (a, b, c))             \
  X(int, DisplayBitsPerPixel, (), ())                                          \
  X(void, WindowBell, (), ())                                                  \
  X(bool, ClipboardAvailable, (), ())                                          \
  X(void, ClearClipboard, (), ())                                              \
  X(bool, PutClipboardText, (std::string_view a), (a))                         \
  X(std::string, ClipboardText, (), ())                                        \
  X(void, SetInputTarget, (HWND a), (a))                                       \
  X(bool, DeliverBatchInput, (bool a), (a))                                    \
  X(void, PollInput, (), ())                                                   \
  X(bool, SaveWindowPng, (HWND a, const std::string& b), (a, b))              \
  X(uint32_t, DdeConnect, (const std::string& a, const std::string& b, int c), (a, b, c)) \
  X(int, DdeExecute, (uint32_t a, const std::string& b, int c, void (*d)(void*), void* e), \
    (a, b, c, d, e))                                                           \
  X(void, DdeTerminate, (uint32_t a), (a))                                     \
  TILMOR_GUI_CONTROL_WIN_FUNCTIONS(X)                                          \
  TILMOR_GUI_DIALOG_WIN_FUNCTIONS(X)                                           \
  TILMOR_GUI_MENU_WIN_FUNCTIONS(X)                                             \
  TILMOR_GUI_GDI_WIN_FUNCTIONS(X)                                              \
  TILMOR_GUI_BITMAP_WIN_FUNCTIONS(X)

// X(return type, name, (parameters), (arguments), value): questions whose
// answer is known while nothing of the window system exists (no window,
// message, timer, key or focus can be there yet), so they do not load it.
#define TILMOR_GUI_QUERIES(X)                                                           \
  X(BOOL, PeekMessageA, (MSG * a, HWND b, UINT c, UINT d, UINT e), (a, b, c, d, e), FALSE) \
  X(short, GetAsyncKeyState, (int a), (a), 0)                                           \
  X(short, GetKeyState, (int a), (a), 0)                                                \
  X(HWND, GetFocus, (), (), 0)                                                          \
  X(HWND, GetActiveWindow, (), (), 0)

#define TILMOR_GUI_WIN_QUERIES(X)                              \
  X(bool, MessagesWaiting, (), (), false)                      \
  X(bool, ApplicationExists, (), (), false)                    \
  X(void, DestroyApplication, (), (), )                        \
  X(void, PumpPendingEvents, (), (), )                         \
  X(void, ProcessEvents, (), (), )                             \
  X(void, SetAttentionFlag, (volatile int* a), (a), )          \
  X(std::vector<HWND>, AllWindows, (), (), {})                 \
  X(HWND, InputTarget, (), (), 0)                              \
  X(int, LiveGdiObjects, (), (), 0)

namespace win {

// Changed whenever the table changes, so a program never uses a module
// built from other sources.
constexpr int kGuiTableVersion = 9;

struct GuiTable {
#define TILMOR_GUI_MEMBER(r, n, p, a, ...) r(*n) p;
  TILMOR_GUI_FUNCTIONS(TILMOR_GUI_MEMBER)
  TILMOR_GUI_BATCH_FUNCTIONS(TILMOR_GUI_MEMBER)
  TILMOR_GUI_WIN_FUNCTIONS(TILMOR_GUI_MEMBER)
  TILMOR_GUI_QUERIES(TILMOR_GUI_MEMBER)
  TILMOR_GUI_WIN_QUERIES(TILMOR_GUI_MEMBER)
#undef TILMOR_GUI_MEMBER
};

}  // namespace win

// The module's one entry point: the table, or nullptr when `version` is not
// the one it was built with.
extern "C" const win::GuiTable* tilmor_gui_table(int version);
