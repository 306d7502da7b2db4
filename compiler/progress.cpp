// The progress window over the window layer: a grey window whose rows are
// drawn in the fixed ANSI font as they change.
#include "progress.h"

#include <algorithm>

#include "compiler.h"
#include "wingdi.h"

namespace tilmor::comp {
namespace {

constexpr const char* kClass = "TMCOMPFORTSCHRITT";
constexpr COLORREF kFace = RGB(192, 192, 192);

void RegisterOnce() {
  static bool done = false;
  if (done) return;
  WNDCLASSA wc;
  wc.lpfnWndProc = DefWindowProcA;
  wc.hbrBackground = CreateSolidBrush(kFace);  // lives as long as the class
  wc.lpszClassName = kClass;
  done = RegisterClassA(&wc) != 0;
}

}  // namespace

ProgressWindow::ProgressWindow() : rows_(kRows, std::string(kColumns, ' ')) {
  RegisterOnce();
  hwnd_ = CreateWindowExA(0, kClass, kWindowTitle, WS_CAPTION | WS_SYSMENU, 184, 128, 272, 164, 0, 0, 0, nullptr);
  HDC dc = hwnd_ ? GetDC(hwnd_) : 0;
  if (!dc) return;
  RECT r;
  GetClientRect(hwnd_, &r);
  HGDIOBJ face = CreateSolidBrush(kFace);
  FillRect(dc, &r, face);
  DeleteObject(face);
  ReleaseDC(hwnd_, dc);
}

ProgressWindow::~ProgressWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void ProgressWindow::Show() {
  if (hwnd_) ShowWindow(hwnd_, SW_SHOWNORMAL);
}

void ProgressWindow::TextAt(int column, int row, const std::string& text) {
  if (row < 1 || row > kRows || column < 1 || column > kColumns) return;
  std::string& r = rows_[static_cast<size_t>(row - 1)];
  size_t at = static_cast<size_t>(column - 1);
  r.replace(at, std::min(text.size(), r.size() - at), text.substr(0, r.size() - at));
  DrawRow(row);
}

std::string ProgressWindow::Row(int row) const {
  if (row < 1 || row > kRows) return {};
  return rows_[static_cast<size_t>(row - 1)];
}

// The window keeps what is drawn into it, so a row is drawn when it changes.
void ProgressWindow::DrawRow(int row) {
  HDC dc = hwnd_ ? GetDC(hwnd_) : 0;
  if (!dc) return;
  HGDIOBJ old = SelectObject(dc, GetStockObject(ANSI_FIXED_FONT));
  TEXTMETRICA tm;
  GetTextMetricsA(dc, &tm);
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, kFace);
  SetBkMode(dc, OPAQUE);
  const std::string& r = rows_[static_cast<size_t>(row - 1)];
  TextOutA(dc, 0, (row - 1) * tm.tmHeight, r.data(), static_cast<int>(r.size()));
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
}

}  // namespace tilmor::comp
