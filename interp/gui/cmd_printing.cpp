// Printing: STARTPRINT, NEXTPAGE, ENDPRINT and the hard copies SCREENCOPY
// and WINCOPY, on the system's default printer.
#include <algorithm>
#include <cmath>

#include "argreader.h"
#include "chars.h"
#include "commands.h"
#include "dialogs/dialogbox.h"
#include "drawing.h"
#include "errors.h"
#include "fnargs.h"
#include "gdi/bitmaps.h"
#include "gdi/printing.h"
#include "mainwindow.h"
#include "printjob.h"
#include "profile.h"

namespace tilmor {
namespace {

constexpr int kNoJob = 120, kWhilePrinting = 221, kCannotPrint = 235, kCopyFailed = 236, kBadHandle = 242;

struct PrintJob {
  HDC dc = 0;
  HDC savedDc = 0, savedMemDc = 0;
  double dpiX = 0, dpiY = 0;  // LOGPIXELSX / 3, LOGPIXELSY / 3
};

PrintJob& Job() {
  static PrintJob job;
  return job;
}

// The default printer's context: the "device" entry of [windows] in the
// system profile ("printer,driver,port"), or without one the printing
// service's default printer. 0 (error 235 raised) when there is none.
HDC PrinterContext(Interp& in) {
  char value[129] = "";
  constexpr const char* kMissing = "\x7f";
  GetProfileStringA("windows", "device", kMissing, value, sizeof value);
  HDC dc = 0;
  if (std::string(value) == kMissing) {
    char name[256];
    DWORD size = sizeof name;
    if (GetDefaultPrinterA(name, &size)) dc = CreateDCA("WINSPOOL", name, nullptr, nullptr);
  } else {
    const std::string entry = value;
    const size_t c1 = entry.find(','), c2 = c1 == std::string::npos ? c1 : entry.find(',', c1 + 1);
    if (c2 != std::string::npos) {
      const std::string printer = Trim(entry.substr(0, c1)), driver = Trim(entry.substr(c1 + 1, c2 - c1 - 1));
      const std::string port = Trim(entry.substr(c2 + 1));
      dc = CreateDCA(driver.c_str(), printer.c_str(), port.c_str(), nullptr);
    }
  }
  if (!dc) {
    RuntimeError(in, kCannotPrint);
    return 0;
  }
  Job().dpiX = GetDeviceCaps(dc, LOGPIXELSX) / 3.0;
  Job().dpiY = GetDeviceCaps(dc, LOGPIXELSY) / 3.0;
  return dc;
}

// A page 7 1/3 inches wide and 11 high of the given logical size.
void MapPage(HDC dc, int width, int height) {
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, width, height, nullptr);
  SetViewportExtEx(dc, static_cast<int>(std::lround(Job().dpiX * 22)), static_cast<int>(std::lround(Job().dpiY * 33)),
                   nullptr);
}

bool StartDocument(HDC dc, const char* name) {
  DOCINFOA info;
  info.cbSize = 20;
  info.lpszDocName = name;
  return StartDocA(dc, &info) > 0 && StartPage(dc) > 0;
}

void CmdStartPrint(Interp& in, int) {
  MainWindowState& m = MW();
  // A second job would lose the window contexts saved by the first.
  if (m.printing) return RuntimeError(in, kWhilePrinting, "STARTPRINT");
  EnsureMainWindow(in);
  HDC dc = PrinterContext(in);
  if (!dc) return;
  if (!StartDocument(dc, "DruckSeite")) {
    DeleteDC(dc);
    return RuntimeError(in, kCannotPrint);
  }
  MapPage(dc, 6400, 9600);
  PrintJob& job = Job();
  job.dc = dc;
  job.savedDc = m.dc;
  job.savedMemDc = m.memDc;
  m.dc = m.memDc = dc;
  m.printing = true;
}

void CmdNextPage(Interp& in, int) {
  MainWindowState& m = MW();
  if (!m.printing) return RuntimeError(in, kNoJob);
  HDC dc = Job().dc;
  EndPage(dc);
  MapPage(dc, 6400, 9600);
  StartPage(dc);
  if (m.currentFont) {
    HGDIOBJ old = SelectObject(dc, m.currentFont);
    if (old && old != m.currentFont) DeleteObject(old);
  }
}

// Ends the job; false when the printer did not take it.
bool FinishJob() {
  MainWindowState& m = MW();
  PrintJob& job = Job();
  EndPage(job.dc);
  const bool done = EndDoc(job.dc) > 0;
  DeleteDC(job.dc);
  m.dc = job.savedDc;
  m.memDc = job.savedMemDc;
  m.printing = false;
  job = PrintJob{};
  return done;
}

void CmdEndPrint(Interp& in, int) {
  if (!MW().printing) return RuntimeError(in, kNoJob);
  if (!FinishJob()) RuntimeError(in, kCannotPrint);
}

// Shows the cursor "DRUCKER" while a hard copy is made.
class PrinterCursor {
 public:
  PrinterCursor() : old_(SetCursor(LoadCursorA(kSelfInstance, "DRUCKER"))) {}
  ~PrinterCursor() { SetCursor(old_); }
  PrinterCursor(const PrinterCursor&) = delete;
  PrinterCursor& operator=(const PrinterCursor&) = delete;

 private:
  HCURSOR old_;
};

// Prints a picture as a one-page job of its own: the bitmap's block at
// the same place on a page of the given logical size.
void PrintPicture(Interp& in, HDC printer, HGDIOBJ bitmap, const char* document, SIZE page, RECT block) {
  HDC mem = CreateCompatibleDC(printer);
  HGDIOBJ old = SelectObject(mem, bitmap);
  bool copied = false;
  if (StartDocument(printer, document)) {
    MapPage(printer, page.cx, page.cy);
    copied = BitBlt(printer, block.left, block.top, block.right - block.left, block.bottom - block.top, mem,
                    block.left, block.top, SRCCOPY) != 0;
    EndPage(printer);
    if (EndDoc(printer) <= 0) copied = false;
  }
  DeleteDC(printer);
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(bitmap);
  if (!copied) RuntimeError(in, kCopyFailed);
}

// [x1,y1 - x2,y2]: the corners of the block, both inside it.
void CmdScreenCopy(Interp& in, int) {
  MainWindowState& m = MW();
  RECT block{0, 0, 0, 0};
  bool given = !Trim(in.param).empty();
  if (given) {
    Quad q = ReadQuad(in, ' ');
    block = RECT{q.a, q.b, q.c, q.d};
  }
  if (m.printing) return RuntimeError(in, kWhilePrinting, "SCREENCOPY");
  if (!RequireWindow(in)) return;
  PrinterCursor cursor;
  if (!given) {
    RECT client;
    GetClientRect(m.hwnd, &client);
    block = client;
  }
  HDC printer = PrinterContext(in);
  if (!printer) return;
  block.bottom = std::min<LONG>(block.bottom, block.top + m.gh - 1);
  block.right = std::min<LONG>(block.right, block.left + m.gw - 1);
  HGDIOBJ bitmap = CreateCompatibleBitmap(m.dc, m.gw, m.gh);
  HDC mem = CreateCompatibleDC(m.dc);
  HGDIOBJ old = SelectObject(mem, bitmap);
  BitBlt(mem, 0, 0, m.gw, m.gh, m.dc, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
  ++block.right, ++block.bottom;
  PrintPicture(in, printer, bitmap, "ScreenCopy", SIZE{m.gw, m.gw * 3 / 2}, block);
}

void CmdWinCopy(Interp& in, int) {
  HWND hwnd = ReadLong(in, ' ');
  if (MW().printing) return RuntimeError(in, kWhilePrinting, "WINCOPY");
  PrinterCursor cursor;
  HDC window = hwnd ? GetWindowDC(hwnd) : 0;
  if (!window) return RuntimeError(in, kBadHandle);
  HDC printer = PrinterContext(in);
  if (!printer) {
    ReleaseDC(hwnd, window);
    return;
  }
  RECT r;
  GetWindowRect(hwnd, &r);
  const LONG w = std::max<LONG>(1, r.right - r.left), h = std::max<LONG>(1, r.bottom - r.top);
  SIZE page{w, w * 3 / 2};
  if (w * 3 / 2 < h) page = SIZE{h * 2 / 3, h};
  HGDIOBJ bitmap = CreateCompatibleBitmap(window, w, h);
  HDC mem = CreateCompatibleDC(window);
  HGDIOBJ old = SelectObject(mem, bitmap);
  BitBlt(mem, 0, 0, w, h, window, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
  ReleaseDC(hwnd, window);
  PrintPicture(in, printer, bitmap, "WindowCopy", page, RECT{0, 0, w, h});
}

}  // namespace

void EndPrintJob(Interp&) {
  if (MW().printing) FinishJob();
}

void RegisterPrintCommands() {
  RegisterCommand("STARTPRINT", CmdStartPrint);
  RegisterCommand("NEXTPAGE", CmdNextPage);
  RegisterCommand("ENDPRINT", CmdEndPrint);
  RegisterCommand("SCREENCOPY", CmdScreenCopy);
  RegisterCommand("WINCOPY", CmdWinCopy);
}

}  // namespace tilmor
