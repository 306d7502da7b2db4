// Printers behind printer contexts: each page is drawn as an image at 300
// dots per inch and handed to Qt Print Support when it ends, which writes
// it into a PDF file or sends the job to CUPS.
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <cstdio>
#include <cstring>
#include <strings.h>
#include <map>
#include <memory>
#include <string>

#include "../codepage.h"
#include "../winpath.h"
#include "gdi_internal.h"
#include "printing.h"

namespace win::detail {

class Printer {
 public:
  static constexpr int kDpi = 300;
  std::string file;  // the Windows name after "FILE:", or "" for a CUPS queue
  QPrinter device{QPrinter::HighResolution};
  QPainter painter;
  QImage page;
  std::string output;  // host path of the job's file
  bool inDoc = false, inPage = false;
  int pages = 0;

  QSize PageSize() const {
    const QPageLayout layout = device.pageLayout();
    return (device.fullPage() ? layout.fullRectPixels(kDpi) : layout.paintRectPixels(kDpi)).size();
  }
  void Abort() {
    if (!inDoc) return;
    if (device.outputFormat() == QPrinter::NativeFormat) device.abort();
    painter.end();
    if (!output.empty()) std::remove(output.c_str());
    inDoc = inPage = false;
    page = QImage();
  }
  ~Printer() { Abort(); }
};

namespace {

std::string Trim(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
  size_t i = s.find_first_not_of(" \t");
  return i == std::string::npos ? "" : s.substr(i);
}

bool StartsWithFile(const std::string& port) {
  return port.size() >= 5 && strncasecmp(port.c_str(), "FILE:", 5) == 0;
}

// A job's file: absolute names as the program's, relative ones in the
// Windows directory; later jobs of the run get "-2", "-3" ... before the
// extension.
std::string JobFile(const std::string& name) {
  const bool absolute = name[0] == '\\' || name[0] == '/' || (name.size() > 1 && name[1] == ':');
  std::string host;
  if (absolute) {
    host = HostPath(name);
  } else {
    EnsureWindowsDirectory();
    std::string rel = Cp1252ToUtf8(name);
    for (char& c : rel)
      if (c == '\\') c = '/';
    host = WindowsDirectory() + "/" + rel;
  }
  if (host.empty()) return host;
  static std::map<std::string, int> jobs;
  const int n = ++jobs[host];
  if (n == 1) return host;
  const size_t slash = host.rfind('/');
  size_t dot = host.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = host.size();
  return host.substr(0, dot) + "-" + std::to_string(n) + host.substr(dot);
}

}  // namespace

std::shared_ptr<Printer> OpenPrinter(const char*, const char* device, const char* port) {
  auto p = std::make_shared<Printer>();
  const std::string portName = Trim(port ? port : "");
  if (StartsWithFile(portName)) {
    p->file = Trim(portName.substr(5));
    if (p->file.empty()) return nullptr;
    p->device.setOutputFormat(QPrinter::PdfFormat);
    p->device.setPageSize(QPageSize(QPageSize::A4));
    p->device.setFullPage(true);
    p->device.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
  } else {
    const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(Cp1252ToUtf8(device ? device : "")));
    if (info.isNull()) return nullptr;
    p->device.setPrinterName(info.printerName());
    p->device.setOutputFormat(QPrinter::NativeFormat);
  }
  p->device.setResolution(Printer::kDpi);
  return p;
}

QImage* PrinterPage(Printer& printer) { return printer.inPage ? &printer.page : nullptr; }
int PrinterDpi(const Printer& printer) { return printer.device.resolution(); }
QSize PrinterPageSize(const Printer& printer) { return printer.PageSize(); }

}  // namespace win::detail

using win::detail::Printer;
using win::detail::PrinterOf;

int StartDocA(HDC hdc, const DOCINFOA* info) {
  Printer* p = PrinterOf(hdc);
  if (!p || p->inDoc) return SP_ERROR;
  const std::string target = info && info->lpszOutput ? info->lpszOutput : p->file;
  p->output.clear();
  if (!target.empty()) {
    p->output = win::detail::JobFile(target);
    if (p->output.empty()) return SP_ERROR;
    p->device.setOutputFormat(QPrinter::PdfFormat);
    p->device.setOutputFileName(QString::fromStdString(p->output));
  }
  if (info && info->lpszDocName) p->device.setDocName(QString::fromStdString(win::Cp1252ToUtf8(info->lpszDocName)));
  if (!p->painter.begin(&p->device)) {
    p->output.clear();
    return SP_ERROR;
  }
  // Lines and text stay sharp: no JPEG for the pages.
  p->painter.setRenderHint(QPainter::LosslessImageRendering);
  p->inDoc = true;
  p->pages = 0;
  static int jobs = 0;
  return ++jobs;
}

int StartPage(HDC hdc) {
  Printer* p = PrinterOf(hdc);
  if (!p || !p->inDoc || p->inPage) return SP_ERROR;
  // Qt's first page is begun with the painter; later ones here.
  if (p->pages > 0 && !p->device.newPage()) return SP_ERROR;
  p->page = QImage(p->PageSize(), QImage::Format_RGB32);
  if (p->page.isNull()) return SP_ERROR;
  p->page.fill(Qt::white);
  p->inPage = true;
  return 1;
}

int EndPage(HDC hdc) {
  Printer* p = PrinterOf(hdc);
  if (!p || !p->inPage) return SP_ERROR;
  p->painter.drawImage(QPoint(0, 0), p->page);
  p->page = QImage();
  p->inPage = false;
  ++p->pages;
  return 1;
}

int EndDoc(HDC hdc) {
  Printer* p = PrinterOf(hdc);
  if (!p || !p->inDoc) return SP_ERROR;
  if (p->inPage) EndPage(hdc);
  p->inDoc = false;
  return p->painter.end() ? 1 : SP_ERROR;
}

int AbortDoc(HDC hdc) {
  Printer* p = PrinterOf(hdc);
  if (!p || !p->inDoc) return SP_ERROR;
  p->Abort();
  return 1;
}

BOOL GetDefaultPrinterA(LPSTR buffer, DWORD* size) {
  if (!size) return FALSE;
  const std::string name = win::Utf8ToCp1252(QPrinterInfo::defaultPrinterName().toStdString());
  if (name.empty()) return FALSE;
  if (!buffer || *size < name.size() + 1) {
    *size = static_cast<DWORD>(name.size() + 1);
    return FALSE;
  }
  std::memcpy(buffer, name.c_str(), name.size() + 1);
  *size = static_cast<DWORD>(name.size() + 1);
  return TRUE;
}
