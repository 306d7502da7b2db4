// Mapping modes and printer contexts: logical units scaled to the device,
// and print jobs written as PDF files through a FILE: port.
#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <optional>
#include <string>

#include "../../common/scratch_dir.h"
#include "gdi/printing.h"
#include "gdi_fixture.h"

namespace {

using namespace gditest;
namespace fs = std::filesystem;

// Half size: 200 logical units are 100 pixels.
void HalfSize(HDC dc) {
  ASSERT_EQ(SetMapMode(dc, MM_ANISOTROPIC), MM_TEXT);
  ASSERT_TRUE(SetWindowExtEx(dc, 200, 200, nullptr));
  ASSERT_TRUE(SetViewportExtEx(dc, 100, 100, nullptr));
}

TEST_F(Gdi, MappingScalesShapesButNotThinPens) {
  Canvas c(100, 100);
  HalfSize(c.dc());
  c.Brush(BS_SOLID, kBlack);
  Rectangle(c.dc(), 20, 20, 120, 60);
  MoveToEx(c.dc(), 0, 180, nullptr);
  LineTo(c.dc(), 200, 180);
  SetMapMode(c.dc(), MM_TEXT);
  EXPECT_EQ(c.Row(20, kBlack, 8, 62), "..##################################################...");
  EXPECT_EQ(c.Column(30, kBlack, 8, 32), "..####################...");
  // The default pen stays one pixel wide.
  EXPECT_EQ(c.Column(50, kBlack, 88, 92), "..#..");
  EXPECT_EQ(c.Count(kBlack, 0, 90, 99, 90), 100);
}

TEST_F(Gdi, MappingScalesWidePensAndTheCurrentPosition) {
  Canvas c(100, 100);
  HalfSize(c.dc());
  c.Pen(PS_SOLID, 8, kBlack);
  MoveToEx(c.dc(), 40, 100, nullptr);
  LineTo(c.dc(), 160, 100);
  SetPixel(c.dc(), 10, 10, kRed);
  SetMapMode(c.dc(), MM_TEXT);
  // 8 units are 4 pixels across the line.
  EXPECT_EQ(c.Count(kBlack, 50, 0, 50, 99), 4);
  EXPECT_EQ(c.Count(kBlack, 0, 50, 10, 50), 0);
  EXPECT_EQ(c.At(5, 5), kRed);
  EXPECT_EQ(c.Count(kRed), 1);
}

TEST_F(Gdi, ExtentsCountOnlyInAnisotropicMode) {
  Canvas c(20, 20);
  EXPECT_EQ(GetMapMode(c.dc()), MM_TEXT);
  EXPECT_TRUE(SetWindowExtEx(c.dc(), 2, 2, nullptr));
  EXPECT_FALSE(SetViewportExtEx(c.dc(), 0, 5, nullptr));
  EXPECT_EQ(SetMapMode(c.dc(), 99), 0);
  SetPixel(c.dc(), 3, 3, kRed);
  EXPECT_EQ(c.At(3, 3), kRed);
  SetMapMode(c.dc(), MM_ANISOTROPIC);
  SIZE old;
  ASSERT_TRUE(SetWindowExtEx(c.dc(), 4, 4, &old));
  SetViewportExtEx(c.dc(), 2, 2, nullptr);
  SetPixel(c.dc(), 10, 10, kBlue);
  SetMapMode(c.dc(), MM_TEXT);
  EXPECT_EQ(c.At(5, 5), kBlue);
}

TEST_F(Gdi, BlitsOntoAScaledContextStretchTheSource) {
  Canvas from(10, 10);
  from.Clear(kRed);
  Canvas to(40, 40);
  SetMapMode(to.dc(), MM_ANISOTROPIC);
  SetWindowExtEx(to.dc(), 10, 10, nullptr);
  SetViewportExtEx(to.dc(), 20, 20, nullptr);
  ASSERT_TRUE(BitBlt(to.dc(), 5, 5, 10, 10, from.dc(), 0, 0, SRCCOPY));
  SetMapMode(to.dc(), MM_TEXT);
  EXPECT_EQ(to.Count(kRed), 400);
  EXPECT_EQ(to.Row(20, kRed, 8, 31), "..####################..");
}

TEST_F(Gdi, TextOnAScaledContextGrowsWithTheMapping) {
  auto inkRows = [](int scale) {
    Canvas c(200, 120);
    HGDIOBJ font = CreateFontA(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    c.Select(font);
    SetMapMode(c.dc(), MM_ANISOTROPIC);
    SetWindowExtEx(c.dc(), 1, 1, nullptr);
    SetViewportExtEx(c.dc(), scale, scale, nullptr);
    SetBkMode(c.dc(), TRANSPARENT);
    TextOutA(c.dc(), 2, 2, "Hg", 2);
    SetMapMode(c.dc(), MM_TEXT);
    int top = -1, bottom = -1;
    for (int y = 0; y < c.h(); ++y)
      if (c.Count(kBlack, 0, y, c.w() - 1, y) > 0) (top < 0 ? top : bottom) = y, bottom = y;
    return bottom - top + 1;
  };
  const int one = inkRows(1), three = inkRows(3);
  EXPECT_GT(one, 10);
  EXPECT_NEAR(three, 3 * one, 6);
}

// A Windows directory of its own, where FILE: ports write.
class Printing : public Gdi {
 protected:
  void SetUp() override {
    Gdi::SetUp();
    scratch_.emplace("tilmor_print");
    dir_ = scratch_->path();
  }
  void TearDown() override {
    scratch_.reset();
    Gdi::TearDown();
  }
  std::string Read(const std::string& name) const { return testsupport::ScratchDir::Get((dir_ / name).string()); }
  std::optional<testsupport::ScratchDir> scratch_;
  fs::path dir_;
};

DOCINFOA Doc(const char* name) {
  DOCINFOA d;
  d.lpszDocName = name;
  return d;
}

TEST_F(Printing, FilePortWritesEachJobAsAPdfOfItsPages) {
  HDC dc = CreateDCA("PDF", "Datei", "FILE:druck.pdf", nullptr);
  ASSERT_NE(dc, 0u);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 300);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 300);
  // A4 at 300 dots per inch.
  EXPECT_NEAR(GetDeviceCaps(dc, HORZRES), 2480, 2);
  EXPECT_NEAR(GetDeviceCaps(dc, VERTRES), 3508, 2);
  // Nothing to draw on outside a page; printers are not read back.
  EXPECT_FALSE(LineTo(dc, 10, 10));
  EXPECT_EQ(StartPage(dc), SP_ERROR);
  DOCINFOA doc = Doc("Seiten");
  ASSERT_GT(StartDocA(dc, &doc), 0);
  EXPECT_EQ(StartDocA(dc, &doc), SP_ERROR);
  ASSERT_GT(StartPage(dc), 0);
  EXPECT_TRUE(LineTo(dc, 100, 100));
  EXPECT_EQ(GetPixel(dc, 50, 50), CLR_INVALID);
  ASSERT_GT(EndPage(dc), 0);
  EXPECT_EQ(EndPage(dc), SP_ERROR);
  ASSERT_GT(StartPage(dc), 0);
  ASSERT_GT(EndDoc(dc), 0);  // ends the open page too
  EXPECT_EQ(EndDoc(dc), SP_ERROR);
  const std::string pdf = Read("druck.pdf");
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_NE(pdf.find("/Count 2"), std::string::npos);
  // The next jobs of the run get files of their own.
  ASSERT_GT(StartDocA(dc, &doc), 0);
  StartPage(dc);
  EndDoc(dc);
  ASSERT_GT(StartDocA(dc, &doc), 0);
  EndDoc(dc);
  EXPECT_TRUE(fs::exists(dir_ / "druck-2.pdf"));
  EXPECT_TRUE(fs::exists(dir_ / "druck-3.pdf"));
  EXPECT_TRUE(DeleteDC(dc));
}

TEST_F(Printing, OutputFileOfTheDocumentAndAbortedJobs) {
  HDC dc = CreateDCA("PDF", "Datei", "FILE:unbenutzt.pdf", nullptr);
  ASSERT_NE(dc, 0u);
  DOCINFOA doc = Doc("Eigen");
  const std::string own = (dir_ / "eigen.pdf").string();
  doc.lpszOutput = own.c_str();
  ASSERT_GT(StartDocA(dc, &doc), 0);
  StartPage(dc);
  EndDoc(dc);
  EXPECT_TRUE(fs::exists(own));
  EXPECT_FALSE(fs::exists(dir_ / "unbenutzt.pdf"));
  // An aborted job and one left open when the context goes leave no file.
  DOCINFOA plain = Doc("Weg");
  ASSERT_GT(StartDocA(dc, &plain), 0);
  StartPage(dc);
  EXPECT_GT(AbortDoc(dc), 0);
  EXPECT_FALSE(fs::exists(dir_ / "unbenutzt.pdf"));
  ASSERT_GT(StartDocA(dc, &plain), 0);
  StartPage(dc);
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(fs::exists(dir_ / "unbenutzt-2.pdf"));
}

TEST_F(Printing, PagesMapSevenAndAThirdByElevenInches) {
  HDC dc = CreateDCA("PDF", "Datei", "FILE:seite.pdf", nullptr);
  ASSERT_NE(dc, 0u);
  DOCINFOA doc = Doc("Seite");
  ASSERT_GT(StartDocA(dc, &doc), 0);
  ASSERT_GT(StartPage(dc), 0);
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, 6400, 9600, nullptr);
  SetViewportExtEx(dc, 2200, 3300, nullptr);
  HGDIOBJ pen = CreatePen(PS_SOLID, 30, RGB(0, 0, 0));
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, 0, 1000, nullptr);
  LineTo(dc, 6400, 1000);
  SelectObject(dc, old);
  DeleteObject(pen);
  ASSERT_GT(EndDoc(dc), 0);
  DeleteDC(dc);
  EXPECT_GT(fs::file_size(dir_ / "seite.pdf"), 500u);
}

TEST_F(Printing, PrintersThatDoNotExistGiveNoContext) {
  EXPECT_EQ(CreateDCA("PDF", "Datei", "FILE:", nullptr), 0u);
  EXPECT_EQ(CreateDCA("PDF", "Datei", "file:  ", nullptr), 0u);
  EXPECT_EQ(CreateDCA("winspool", "Kein Drucker 4711 \xE4", "LPT1:", nullptr), 0u);
  // The display is no printer.
  HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  ASSERT_NE(display, 0u);
  DOCINFOA doc = Doc("x");
  EXPECT_EQ(StartDocA(display, &doc), SP_ERROR);
  DeleteDC(display);
}

}  // namespace
