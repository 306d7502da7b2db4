// Icons and cursors: .ico files and module icons counted and read, drawn
// with their transparency, the system's and the interpreter's own, and the
// cursors windows show.
#include <gtest/gtest.h>

#include <QCursor>
#include <QImage>
#include <QWidget>

#include "../qt_app.h"
#include "../resources/res_builder.h"
#include "app.h"
#include "dialogs/dialogbox.h"
#include "dib_builder.h"
#include "gdi/bitmaps.h"
#include "resources/resources.h"
#include "hostwidget.h"
#include "window_impl.h"

namespace {

using dibbuild::Bytes;
using dibbuild::Dib;

// A 4-bit w x w icon: red with a blue first column, the top-left quarter
// masked out.
Bytes MaskedIcon(int w) {
  Dib d{w, w, 4, false, {0x000000, 0xFF0000, 0x0000FF}, {}};
  std::vector<int> mask;
  for (int y = 0; y < w; ++y)
    for (int x = 0; x < w; ++x) {
      d.pixels.push_back(x == 0 ? 2 : 1);
      mask.push_back(x < w / 2 && y < w / 2 ? 1 : 0);
    }
  return dibbuild::IconImage(d, mask);
}

// A 32-bit icon whose alpha rises from left to right; its mask is all 0.
Bytes AlphaIcon(int w) {
  Dib d{w, w, 32, false, {}, {}};
  for (int y = 0; y < w; ++y)
    for (int x = 0; x < w; ++x) d.pixels.push_back((static_cast<uint32_t>(x * 255 / (w - 1)) << 24) | 0x00FF00);
  return dibbuild::IconImage(d, std::vector<int>(static_cast<size_t>(w * w), 0));
}

std::string Temp(const std::string& name, const Bytes& b) {
  const std::string path = ::testing::TempDir() + "/" + name;
  resbuild::Write(path, b);
  return path;
}

class IconTest : public ::testing::Test {
 protected:
  void SetUp() override { EnsureTestApplication(true); }
  void TearDown() override { win::ResetWindowSystem(); }
  HDC Canvas(int w, int h, COLORREF fill) {
    dc_ = CreateCompatibleDC(0);
    bitmap_ = CreateCompatibleBitmap(dc_, w, h);
    old_ = SelectObject(dc_, bitmap_);
    HGDIOBJ brush = CreateSolidBrush(fill);
    RECT r{0, 0, w, h};
    FillRect(dc_, &r, brush);
    DeleteObject(brush);
    return dc_;
  }
  void Done() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  HDC dc_ = 0;
  HGDIOBJ bitmap_ = 0, old_ = 0;
};

TEST(IconFile, ReadsEveryImageWithItsMask) {
  Bytes f = dibbuild::IcoFile({MaskedIcon(16), AlphaIcon(32)});
  std::vector<win::IconImage> list;
  ASSERT_TRUE(win::ParseIcoFile(f.data(), f.size(), &list));
  ASSERT_EQ(list.size(), 2u);
  const win::IconImage& small = list[0];
  EXPECT_EQ(small.width, 16);
  EXPECT_EQ(small.bitCount, 4);
  EXPECT_EQ(small.pixels.argb[0], 0u) << "masked corner";
  EXPECT_EQ(small.pixels.argb[8 * 16 + 0], 0xFF0000FFu);
  EXPECT_EQ(small.pixels.argb[8 * 16 + 1], 0xFFFF0000u);
  EXPECT_EQ(small.pixels.argb[0 * 16 + 8], 0xFFFF0000u);
  const win::IconImage& alpha = list[1];
  EXPECT_EQ(alpha.pixels.argb[0] >> 24, 0u);
  EXPECT_EQ(alpha.pixels.argb[31] >> 24, 255u);
  EXPECT_EQ(alpha.pixels.argb[31] & 0xFFFFFF, 0x00FF00u);
}

TEST(IconFile, DamagedFilesFail) {
  const Bytes good = dibbuild::IcoFile({MaskedIcon(16)});
  std::vector<win::IconImage> list;
  for (size_t n = 0; n < good.size(); ++n) EXPECT_FALSE(win::ParseIcoFile(good.data(), n, &list)) << n;
  auto with = [&](size_t at, uint8_t v) {
    Bytes f = good;
    f[at] = v;
    return f;
  };
  for (const Bytes& f : {with(2, 3), with(4, 0), with(4, 9), with(6 + 12 + 1, 0x10), with(6 + 8 + 2, 1)})
    EXPECT_FALSE(win::ParseIcoFile(f.data(), f.size(), &list));
  // A header of an icon image claiming a huge size.
  Bytes img = MaskedIcon(16);
  img[7] = 0x40;
  win::IconImage one;
  EXPECT_FALSE(win::ParseIconImage(img.data(), img.size(), &one));
}

TEST(IconFile, CursorFilesKeepTheirHotSpot) {
  Bytes f = dibbuild::IcoFile({MaskedIcon(32)}, 2, 5, 7);
  std::vector<win::IconImage> list;
  ASSERT_TRUE(win::ParseIcoFile(f.data(), f.size(), &list));
  EXPECT_EQ(list[0].hotX, 5);
  EXPECT_EQ(list[0].hotY, 7);
}

TEST_F(IconTest, ExtractIconCountsAndTakesTheIconsOfFiles) {
  const std::string ico = Temp("icons_test.ico", dibbuild::IcoFile({MaskedIcon(16), MaskedIcon(32)}));
  EXPECT_EQ(ExtractIconA(0, ico.c_str(), 0xFFFFFFFF), 1);
  HICON icon = ExtractIconA(0, ico.c_str(), 0);
  ASSERT_NE(icon, 0);
  EXPECT_EQ(win::IconImageOf(icon).width(), 32) << "the size nearest 32";
  EXPECT_EQ(ExtractIconA(0, ico.c_str(), 1), 0);
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_FALSE(DestroyIcon(icon));

  const std::string pe = Temp("icons_test.dll",
                              resbuild::PeFile({{RT_ICON, u"", 1, MaskedIcon(16)},
                                                {RT_ICON, u"", 2, AlphaIcon(32)},
                                                {RT_ICON, u"", 3, MaskedIcon(32)},
                                                {RT_GROUP_ICON, u"ERSTES", 0, dibbuild::IconGroup({{MaskedIcon(16), 1}})},
                                                {RT_GROUP_ICON, u"ZWEITES", 0,
                                                 dibbuild::IconGroup({{MaskedIcon(32), 3}, {AlphaIcon(32), 2}})}},
                                               false));
  EXPECT_EQ(ExtractIconA(0, pe.c_str(), 0xFFFFFFFF), 2);
  HICON second = ExtractIconA(0, pe.c_str(), 1);
  ASSERT_NE(second, 0);
  // Of two 32 x 32 images, the one with more colours.
  QImage img = win::IconImageOf(second);
  EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);
  EXPECT_EQ(img.pixel(31, 5), 0xFF00FF00u);
  DestroyIcon(second);
  EXPECT_EQ(ExtractIconA(0, pe.c_str(), 2), 0);
  EXPECT_EQ(ExtractIconA(0, (::testing::TempDir() + "/missing.exe").c_str(), 0xFFFFFFFF), 0);

  HINSTANCE module = win::LoadModuleResources(pe);
  HICON first = LoadIconA(module, "erstes");
  ASSERT_NE(first, 0);
  EXPECT_EQ(win::IconImageOf(first).width(), 16);
  EXPECT_EQ(LoadIconA(module, "ERSTES"), first) << "loaded icons are shared";
  EXPECT_EQ(LoadIconA(module, "DRITTES"), 0);
  win::FreeModuleResources(module);
}

TEST_F(IconTest, DrawIconLeavesMaskedAndClearPixelsAlone) {
  const std::string ico = Temp("draw_test.ico", dibbuild::IcoFile({MaskedIcon(16)}));
  HICON icon = ExtractIconA(0, ico.c_str(), 0);
  HDC dc = Canvas(40, 40, RGB(0, 0, 0x80));
  EXPECT_TRUE(DrawIcon(dc, 10, 12, icon));
  QImage img = win::ContextImage(dc);
  EXPECT_EQ(img.pixel(10, 12) & 0xFFFFFF, 0x000080u) << "masked";
  EXPECT_EQ(img.pixel(17, 19) & 0xFFFFFF, 0x000080u) << "masked";
  EXPECT_EQ(img.pixel(10, 20) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(img.pixel(18, 12) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(img.pixel(25, 27) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(img.pixel(26, 27) & 0xFFFFFF, 0x000080u) << "beside it";
  DestroyIcon(icon);

  const std::string alpha = Temp("alpha_test.ico", dibbuild::IcoFile({AlphaIcon(32)}));
  icon = ExtractIconA(0, alpha.c_str(), 0);
  EXPECT_TRUE(DrawIcon(dc, 0, 0, icon));
  img = win::ContextImage(dc);
  EXPECT_EQ(img.pixel(0, 0) & 0xFFFFFF, 0x000080u) << "clear";
  EXPECT_EQ(img.pixel(31, 0) & 0xFFFFFF, 0x00FF00u) << "opaque";
  const QRgb half = img.pixel(16, 0);
  EXPECT_GT(qGreen(half), 0x60);
  EXPECT_LT(qGreen(half), 0xA0);
  EXPECT_GT(qBlue(half), 0x20);
  DestroyIcon(icon);
  EXPECT_FALSE(DrawIcon(dc, 0, 0, icon)) << "destroyed";
  // Partly outside the bitmap: the part inside is drawn.
  icon = ExtractIconA(0, ico.c_str(), 0);
  EXPECT_TRUE(DrawIcon(dc, 30, 30, icon));
  EXPECT_EQ(win::ContextImage(dc).pixel(39, 39) & 0xFFFFFF, 0xFF0000u);
  DestroyIcon(icon);
  Done();
}

TEST_F(IconTest, SystemAndOwnIcons) {
  for (int id = IDI_APPLICATION; id <= IDI_ASTERISK; ++id) {
    HICON icon = LoadIconA(0, MAKEINTRESOURCEA(id));
    ASSERT_NE(icon, 0) << id;
    EXPECT_FALSE(win::IconImageOf(icon).isNull());
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_EQ(LoadIconA(0, MAKEINTRESOURCEA(id)), icon) << "a shared icon stays";
  }
  EXPECT_EQ(LoadIconA(0, MAKEINTRESOURCEA(32600)), 0);
  HICON own = LoadIconA(kSelfInstance, "Tilmor");
  ASSERT_NE(own, 0);
  EXPECT_EQ(win::IconImageOf(own).size(), QSize(32, 32));
  EXPECT_EQ(LoadIconA(kSelfInstance, "NICHTDA"), 0);
}

TEST_F(IconTest, SystemCursorsAreQtShapes) {
  const std::pair<int, int> map[] = {{IDC_ARROW, Qt::ArrowCursor},       {IDC_IBEAM, Qt::IBeamCursor},
                                     {IDC_WAIT, Qt::WaitCursor},         {IDC_CROSS, Qt::CrossCursor},
                                     {IDC_UPARROW, Qt::UpArrowCursor},   {IDC_SIZE, Qt::SizeAllCursor},
                                     {IDC_SIZENWSE, Qt::SizeFDiagCursor}, {IDC_SIZENESW, Qt::SizeBDiagCursor},
                                     {IDC_SIZEWE, Qt::SizeHorCursor},    {IDC_SIZENS, Qt::SizeVerCursor}};
  for (auto [id, shape] : map) EXPECT_EQ(win::CursorShapeOf(LoadCursorA(0, MAKEINTRESOURCEA(id))), shape) << id;
  EXPECT_EQ(LoadCursorA(0, MAKEINTRESOURCEA(32520)), 0);
  for (const char* name : {"DRUCKER", "SCHIEBEN", "GROESSE"}) {
    HCURSOR c = LoadCursorA(kSelfInstance, name);
    ASSERT_NE(c, 0) << name;
    EXPECT_EQ(win::CursorShapeOf(c), Qt::BitmapCursor);
    EXPECT_FALSE(win::IconImageOf(c).isNull());
  }
  EXPECT_EQ(LoadCursorA(kSelfInstance, "ZEIGER"), 0);
}

TEST_F(IconTest, ModuleCursorsKeepTheirHotSpot) {
  Bytes image = {3, 0, 4, 0};
  Bytes body = MaskedIcon(32);
  image.insert(image.end(), body.begin(), body.end());
  Bytes group;
  dibbuild::U16(group, 0), dibbuild::U16(group, 2), dibbuild::U16(group, 1);
  dibbuild::U16(group, 32), dibbuild::U16(group, 64), dibbuild::U16(group, 1), dibbuild::U16(group, 4);
  dibbuild::U32(group, static_cast<uint32_t>(image.size())), dibbuild::U16(group, 9);
  const std::string res = Temp("cursor_test.res", resbuild::ResFile({{RT_CURSOR, u"", 9, image},
                                                                     {RT_GROUP_CURSOR, u"HAND", 0, group}}));
  HINSTANCE module = win::LoadModuleResources(res);
  win::IconImage img;
  ASSERT_TRUE(win::ModuleCursor(module, "HAND", &img));
  EXPECT_EQ(img.hotX, 3);
  EXPECT_EQ(img.hotY, 4);
  HCURSOR c = LoadCursorA(module, "hand");
  EXPECT_EQ(win::CursorShapeOf(c), Qt::BitmapCursor);
  win::FreeModuleResources(module);
}

LRESULT Plain(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

TEST_F(IconTest, ClassCursorAndIconReachTheClassesWindows) {
  WNDCLASSA wc;
  wc.lpfnWndProc = Plain;
  wc.lpszClassName = "ICONWND";
  wc.hCursor = LoadCursorA(0, MAKEINTRESOURCEA(IDC_ARROW));
  ASSERT_TRUE(RegisterClassA(&wc));
  HWND a = CreateWindowExA(0, "ICONWND", "a", WS_OVERLAPPED, 0, 0, 100, 80, 0, 0, 0, nullptr);
  HWND b = CreateWindowExA(0, "ICONWND", "b", WS_OVERLAPPED, 0, 0, 100, 80, 0, 0, 0, nullptr);
  HCURSOR wait = LoadCursorA(0, MAKEINTRESOURCEA(IDC_WAIT));
  EXPECT_EQ(SetClassLongA(a, GCL_HCURSOR, wait), static_cast<DWORD>(wc.hCursor));
  EXPECT_EQ(GetClassLongA(b, GCL_HCURSOR), static_cast<DWORD>(wait));
  EXPECT_EQ(win::WindowCursor(b), wait);
  for (HWND h : {a, b}) {
    win::detail::Wnd* w = win::detail::Find(h);
    ASSERT_TRUE(w && w->widget);
    EXPECT_EQ(w->widget->cursor().shape(), Qt::WaitCursor);
  }
  HICON icon = LoadIconA(kSelfInstance, "TILMOR");
  EXPECT_EQ(SetClassLongA(a, GCL_HICON, icon), 0u);
  EXPECT_EQ(GetClassLongA(b, GCL_HICON), static_cast<DWORD>(icon));
  EXPECT_FALSE(win::detail::Find(b)->widget->windowIcon().isNull());
  EXPECT_EQ(SetClassLongA(a, 99, 1), 0u) << "an index it does not know";
  EXPECT_EQ(SetClassLongA(0, GCL_HICON, icon), 0u);
}

TEST_F(IconTest, SetCursorAnswersThePreviousOne) {
  HCURSOR cross = LoadCursorA(0, MAKEINTRESOURCEA(IDC_CROSS));
  HCURSOR ibeam = LoadCursorA(0, MAKEINTRESOURCEA(IDC_IBEAM));
  const HCURSOR before = SetCursor(cross);
  EXPECT_EQ(SetCursor(ibeam), cross);
  EXPECT_EQ(SetCursor(12345), ibeam) << "not a cursor: nothing changes";
  EXPECT_EQ(SetCursor(before), ibeam);
}

TEST_F(IconTest, SetCursorSetsTheCursorOfTheWindowHoldingTheMouse) {
  WNDCLASSA wc;
  wc.lpfnWndProc = Plain;
  wc.lpszClassName = "CURSORWND";
  RegisterClassA(&wc);
  HWND w = CreateWindowExA(0, "CURSORWND", "w", WS_OVERLAPPED, 0, 0, 100, 80, 0, 0, 0, nullptr);
  SetCapture(w);
  HCURSOR moving = LoadCursorA(kSelfInstance, "SCHIEBEN");
  SetCursor(moving);
  EXPECT_EQ(win::WindowCursor(w), moving);
  EXPECT_EQ(win::detail::Find(w)->widget->cursor().shape(), Qt::BitmapCursor);
  ReleaseCapture();
}

}  // namespace
