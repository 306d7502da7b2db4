// Dialog templates: the built-in ones as the dialogs are laid out from them,
// and binary templates in both resource forms.
#include <QFontInfo>
#include <QFontMetrics>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "../resources/res_builder.h"
#include "dialog_fixture.h"
#include "fontobjects.h"
#include "resources/resources.h"

namespace {

using namespace dialog_test;

// The rectangle of a control in its dialog's client pixels.
RECT ControlRect(HWND dialog, int id) {
  HWND c = GetDlgItem(dialog, id);
  RECT d{}, r{};
  GetWindowRect(dialog, &d);
  GetWindowRect(c, &r);
  return RECT{r.left - d.left, r.top - d.top, r.right - d.left, r.bottom - d.top};
}

void ExpectRect(HWND dialog, int id, LONG l, LONG t, LONG r, LONG b) {
  RECT got = ControlRect(dialog, id);
  EXPECT_EQ(got.left, l) << "control " << id;
  EXPECT_EQ(got.top, t) << "control " << id;
  EXPECT_EQ(got.right, r) << "control " << id;
  EXPECT_EQ(got.bottom, b) << "control " << id;
}

std::string ClassName(HWND h) {
  char buf[64] = {};
  GetClassNameA(h, buf, sizeof buf);
  std::string s = buf;
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Text(HWND h) {
  char buf[256] = {};
  GetWindowTextA(h, buf, sizeof buf);
  return buf;
}

DWORD Style(HWND h) { return static_cast<DWORD>(GetWindowLongA(h, GWL_STYLE)); }

class BuiltInTemplates : public DialogTest {
 protected:
  HWND Make(const char* name) {
    win::DialogTemplate t;
    EXPECT_TRUE(win::FindDialogTemplate(kSelfInstance, name, &t)) << name;
    HWND d = win::CreateDialogFromTemplate(t, 0, nullptr, 0);
    EXPECT_NE(d, 0) << name;
    return d;
  }
};

TEST_F(BuiltInTemplates, EveryNameIsFoundInAnyCaseAndOthersAreNot) {
  std::vector<std::string> names = win::BuiltInDialogNames();
  ASSERT_EQ(names.size(), 12u);
  for (std::string n : names) {
    for (char& c : n) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(win::FindDialogTemplate(kSelfInstance, n, nullptr)) << n;
  }
  EXPECT_FALSE(win::FindDialogTemplate(kSelfInstance, "LISTBOX9", nullptr));
  EXPECT_FALSE(win::FindDialogTemplate(kSelfInstance, "", nullptr));
  // Another module's names are not the interpreter's.
  EXPECT_FALSE(win::FindDialogTemplate(0x12340000, "INPUT", nullptr));
}

TEST_F(BuiltInTemplates, CaptionsFontsAndSizes) {
  struct Want {
    const char* name;
    const char* caption;
    const char* font;
    int points, cx, cy;
    size_t items;
  } const wants[] = {
      {"INPUT", "", "Helv", 8, 180, 64, 4},
      {"EDITBOX1", "Edit-Box", "", 0, 296, 156, 6},
      {"EDITBOX2", "Edit-Box", "Courier New", 10, 296, 156, 6},
      {"LISTBOX1", "Show-Box", "", 0, 296, 158, 3},
      {"LISTBOX2", "LISTBOX4", "Courier New", 10, 296, 158, 3},
      {"LISTBOX3", "LISTBOX3", "", 0, 296, 158, 3},
      {"LISTBOX4", "LISTBOX4", "Courier New", 10, 296, 158, 3},
      {"LISTBOX5", "List-Box", "", 0, 99, 121, 3},
      {"LISTBOX6", "List-Box", "Courier New", 10, 99, 121, 3},
      {"LISTBOX7", "List-Box", "", 0, 99, 121, 3},
      {"LISTBOX8", "List-Box", "Courier New", 10, 99, 121, 3},
      {"LDIALOG", "Untitled Dialog", "", 0, 210, 117, 1},
  };
  for (const Want& w : wants) {
    win::DialogTemplate t;
    ASSERT_TRUE(win::FindDialogTemplate(kSelfInstance, w.name, &t)) << w.name;
    EXPECT_EQ(t.caption, w.caption) << w.name;
    EXPECT_EQ(t.fontName, w.font) << w.name;
    EXPECT_EQ(t.fontSize, w.points) << w.name;
    EXPECT_EQ(t.cx, w.cx) << w.name;
    EXPECT_EQ(t.cy, w.cy) << w.name;
    EXPECT_EQ(t.items.size(), w.items) << w.name;
    DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(t.style & frame, frame) << w.name;
    EXPECT_EQ((t.style & DS_SETFONT) != 0, *w.font != 0) << w.name;
    // Every dialog but the empty one is left with "Abbruch" (2).
    if (std::string(w.name) != "LDIALOG") {
      EXPECT_EQ(t.items.back().id, IDCANCEL) << w.name;
      EXPECT_EQ(t.items.back().text, "&Abbruch") << w.name;
    }
  }
}

TEST_F(BuiltInTemplates, InputDialogInPixelsForKnownBaseUnits) {
  win::detail::OverrideDialogBaseUnits(6, 13);
  HWND d = Make("input");
  RECT client;
  GetClientRect(d, &client);
  EXPECT_EQ(client.right, 270);
  EXPECT_EQ(client.bottom, 104);
  ExpectRect(d, 100, 15, 13, 255, 29);
  ExpectRect(d, 101, 15, 33, 255, 53);
  ExpectRect(d, IDOK, 15, 68, 75, 91);
  ExpectRect(d, IDCANCEL, 189, 68, 255, 91);

  EXPECT_EQ(ClassName(GetDlgItem(d, 100)), "STATIC");
  EXPECT_EQ(ClassName(GetDlgItem(d, 101)), "EDIT");
  EXPECT_EQ(ClassName(GetDlgItem(d, IDOK)), "BUTTON");
  EXPECT_EQ(Text(GetDlgItem(d, IDOK)), "&OK");
  EXPECT_EQ(Text(GetDlgItem(d, IDCANCEL)), "&Abbruch");
  EXPECT_TRUE(Style(GetDlgItem(d, 101)) & ES_AUTOHSCROLL);
  EXPECT_FALSE(Style(GetDlgItem(d, 100)) & WS_TABSTOP);
  EXPECT_EQ(Style(GetDlgItem(d, IDOK)) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(Style(GetDlgItem(d, IDCANCEL)) & BS_TYPEMASK, BS_PUSHBUTTON);
  for (int id : {101, IDOK, IDCANCEL})
    EXPECT_EQ(Style(GetDlgItem(d, id)) & (WS_CHILD | WS_VISIBLE | WS_TABSTOP), WS_CHILD | WS_VISIBLE | WS_TABSTOP);
  // The edit is the first stop of the keyboard.
  EXPECT_EQ(GetNextDlgTabItem(d, 0, FALSE), GetDlgItem(d, 101));
}

TEST_F(BuiltInTemplates, EditBoxInPixelsForKnownBaseUnits) {
  win::detail::OverrideDialogBaseUnits(6, 13);
  for (const char* name : {"EDITBOX1", "EDITBOX2"}) {
    SCOPED_TRACE(name);
    HWND d = Make(name);
    RECT client;
    GetClientRect(d, &client);
    EXPECT_EQ(client.right, 444);
    EXPECT_EQ(client.bottom, 254);
    ExpectRect(d, 101, 12, 13, 432, 210);
    ExpectRect(d, IDOK, 12, 221, 60, 247);
    ExpectRect(d, 102, 114, 228, 186, 248);
    ExpectRect(d, 103, 186, 228, 258, 248);
    ExpectRect(d, 104, 258, 228, 330, 248);
    ExpectRect(d, IDCANCEL, 384, 221, 432, 247);
    EXPECT_EQ(Text(GetDlgItem(d, 102)), "kopieren");
    EXPECT_EQ(Text(GetDlgItem(d, 103)), "ausschneiden");
    EXPECT_EQ(Text(GetDlgItem(d, 104)), "einf\xFCgen");
    DWORD want = ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_HSCROLL;
    EXPECT_EQ(Style(GetDlgItem(d, 101)) & want, want);
    EXPECT_EQ(ClassName(GetDlgItem(d, 101)), "EDIT");
    EXPECT_EQ(Style(GetDlgItem(d, IDOK)) & BS_TYPEMASK, BS_PUSHBUTTON);
  }
}

TEST_F(BuiltInTemplates, ListBoxesInPixelsForKnownBaseUnits) {
  win::detail::OverrideDialogBaseUnits(6, 13);
  for (const char* name : {"LISTBOX1", "LISTBOX2", "LISTBOX3", "LISTBOX4"}) {
    SCOPED_TRACE(name);
    HWND d = Make(name);
    RECT client;
    GetClientRect(d, &client);
    EXPECT_EQ(client.right, 444);
    EXPECT_EQ(client.bottom, 257);
    ExpectRect(d, 101, 14, 10, 431, 218);
    ExpectRect(d, IDOK, 14, 229, 67, 249);
    ExpectRect(d, IDCANCEL, 378, 231, 432, 251);
  }
  for (const char* name : {"LISTBOX5", "LISTBOX6", "LISTBOX7", "LISTBOX8"}) {
    SCOPED_TRACE(name);
    HWND d = Make(name);
    RECT client;
    GetClientRect(d, &client);
    EXPECT_EQ(client.right, 149);
    EXPECT_EQ(client.bottom, 197);
    ExpectRect(d, 101, 14, 10, 134, 160);
    ExpectRect(d, IDOK, 14, 166, 67, 186);
    ExpectRect(d, IDCANCEL, 81, 166, 135, 186);
  }
  HWND d = Make("LDIALOG");
  RECT client;
  GetClientRect(d, &client);
  EXPECT_EQ(client.right, 315);
  EXPECT_EQ(client.bottom, 190);
  ExpectRect(d, 101, 0, 0, 6, 3);
  EXPECT_EQ(ClassName(GetDlgItem(d, 101)), "STATIC");
}

TEST_F(BuiltInTemplates, OnlyTheSortedListBoxesSortAndAllNotify) {
  for (int n = 1; n <= 8; ++n) {
    std::string name = "LISTBOX" + std::to_string(n);
    SCOPED_TRACE(name);
    HWND d = Make(name.c_str());
    HWND list = GetDlgItem(d, 101);
    ASSERT_NE(list, 0);
    EXPECT_EQ(ClassName(list), "LISTBOX");
    bool sorted = n == 3 || n == 4 || n == 7 || n == 8;
    EXPECT_EQ((Style(list) & LBS_SORT) != 0, sorted);
    EXPECT_TRUE(Style(list) & LBS_NOTIFY);
    EXPECT_TRUE(Style(list) & WS_VSCROLL);
    EXPECT_EQ((Style(list) & WS_HSCROLL) != 0, n <= 4);
    EXPECT_EQ(GetNextDlgTabItem(d, 0, FALSE), list);
  }
}

TEST_F(BuiltInTemplates, BaseUnitsComeFromTheFontOrTheSystemFont) {
  // Every letter of a monospaced font is as wide as the average.
  QFont mono("DejaVu Sans Mono");
  mono.setPixelSize(13);
  int cx = 0, cy = 0;
  win::detail::BaseUnitsOf(mono, &cx, &cy);
  QFontMetrics fm(mono);
  EXPECT_EQ(cx, fm.horizontalAdvance('M'));
  EXPECT_EQ(cy, fm.height());

  // Without a font the dialog measures in the system font's units, whose
  // height is that of the stock system font.
  LONG units = GetDialogBaseUnits();
  EXPECT_EQ(HIWORD(static_cast<DWORD>(units)), 16);
  EXPECT_GT(LOWORD(static_cast<DWORD>(units)), 4);
  EXPECT_LT(LOWORD(static_cast<DWORD>(units)), 12);
  HWND d = Make("LISTBOX1");
  RECT r{0, 0, 4, 8};
  ASSERT_TRUE(MapDialogRect(d, &r));
  EXPECT_EQ(r.right, LOWORD(static_cast<DWORD>(units)));
  EXPECT_EQ(r.bottom, HIWORD(static_cast<DWORD>(units)));
  // MapDialogRect is only for dialogs.
  HWND owner = Owner();
  EXPECT_FALSE(MapDialogRect(owner, &r));
}

TEST_F(BuiltInTemplates, ATemplateFontReachesEveryControl) {
  win::DialogTemplate t;
  ASSERT_TRUE(win::FindDialogTemplate(kSelfInstance, "LISTBOX2", &t));
  HWND d = win::CreateDialogFromTemplate(t, 0, nullptr, 0);
  ASSERT_NE(d, 0);
  HGDIOBJ font = static_cast<HGDIOBJ>(SendMessageA(d, WM_GETFONT, 0, 0));
  ASSERT_NE(font, 0);
  QFont q;
  ASSERT_TRUE(win::detail::QtFontOf(font, &q));
  EXPECT_TRUE(QFontInfo(q).fixedPitch());
  for (int id : {101, IDOK, IDCANCEL})
    EXPECT_EQ(SendDlgItemMessageA(d, id, WM_GETFONT, 0, 0), font) << id;

  // Without a font in the template, none is given.
  ASSERT_TRUE(win::FindDialogTemplate(kSelfInstance, "LISTBOX1", &t));
  HWND plain = win::CreateDialogFromTemplate(t, 0, nullptr, 0);
  EXPECT_EQ(SendMessageA(plain, WM_GETFONT, 0, 0), 0);
}

// Binary templates as resource compilers write them.
class Bytes {
 public:
  Bytes& W(unsigned v) {
    b_.push_back(static_cast<unsigned char>(v & 0xFF));
    b_.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
    return *this;
  }
  Bytes& D(unsigned v) { return W(v & 0xFFFF).W(v >> 16); }
  Bytes& B(unsigned v) {
    b_.push_back(static_cast<unsigned char>(v));
    return *this;
  }
  Bytes& Str(const std::u16string& s) {
    for (char16_t c : s) W(c);
    return W(0);
  }
  Bytes& Ord(unsigned v) { return W(0xFFFF).W(v); }
  Bytes& Align() {
    while (b_.size() % 4) b_.push_back(0);
    return *this;
  }
  const std::vector<unsigned char>& v() const { return b_; }

 private:
  std::vector<unsigned char> b_;
};

std::vector<unsigned char> StandardTemplate() {
  Bytes b;
  b.D(WS_POPUP | WS_CAPTION | DS_SETFONT | DS_MODALFRAME).D(0x100).W(3);
  b.W(5).W(6).W(120).W(80);
  b.Ord(100);               // menu
  b.W(0);                   // the dialog class
  b.Str(u"Gr\u00F6\u00DFe \u4E00");  // caption; one character Windows-1252 lacks
  b.W(8).Str(u"MS Sans Serif");
  b.Align();
  b.D(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON).D(0).W(10).W(60).W(40).W(14).W(IDOK);
  b.Ord(0x80).Str(u"&Ja").W(0);
  b.Align();
  b.D(WS_CHILD | SS_ICON).D(0x20).W(1).W(2).W(3).W(4).W(77);
  b.Str(u"MyClass").Ord(5);
  b.W(6).W(0xABCD).W(0xEF01);  // creation data, counting its own size word
  b.Align();
  b.D(WS_CHILD | WS_VISIBLE).D(0).W(0xFFFE).W(0).W(10).W(10).W(78);  // x = -2
  b.Ord(0x84).Str(u"").W(0);
  return b.v();
}

std::vector<unsigned char> ExtendedTemplate() {
  Bytes b;
  b.W(1).W(0xFFFF).D(0).D(0x8).D(WS_POPUP | DS_SETFONT).W(2);
  b.W(0).W(0).W(200).W(100);
  b.W(0).Str(u"DLGCLASS").Str(u"Erweitert");
  b.W(9).W(700).B(1).B(0).Str(u"Courier New");
  b.Align();
  b.D(0).D(0).D(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST).W(1).W(2).W(50).W(60).D(70000);
  b.Ord(0x85).Str(u"").W(4).W(1).W(2);  // four bytes of creation data after their count
  b.Align();
  b.D(0).D(0).D(WS_CHILD | WS_VISIBLE).W(3).W(4).W(5).W(6).D(101);
  b.Ord(0x81).Str(u"Text").W(0);
  return b.v();
}

TEST(DialogTemplateParser, StandardForm) {
  std::vector<unsigned char> bytes = StandardTemplate();
  win::DialogTemplate t;
  ASSERT_TRUE(win::ParseDialogTemplate(bytes.data(), bytes.size(), &t));
  EXPECT_EQ(t.style, WS_POPUP | WS_CAPTION | DS_SETFONT | DS_MODALFRAME);
  EXPECT_EQ(t.exStyle, 0x100u);
  EXPECT_EQ(t.x, 5);
  EXPECT_EQ(t.y, 6);
  EXPECT_EQ(t.cx, 120);
  EXPECT_EQ(t.cy, 80);
  EXPECT_EQ(t.menu, "#100");
  EXPECT_EQ(t.windowClass, "");
  EXPECT_EQ(t.caption, "Gr\xF6\xDF" "e ?");
  EXPECT_EQ(t.fontName, "MS Sans Serif");
  EXPECT_EQ(t.fontSize, 8);
  ASSERT_EQ(t.items.size(), 3u);
  const win::DialogItem& ok = t.items[0];
  EXPECT_EQ(ok.className, "BUTTON");
  EXPECT_EQ(ok.text, "&Ja");
  EXPECT_EQ(ok.id, IDOK);
  EXPECT_EQ(ok.style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(ok.x, 10);
  EXPECT_EQ(ok.y, 60);
  EXPECT_EQ(ok.cx, 40);
  EXPECT_EQ(ok.cy, 14);
  const win::DialogItem& icon = t.items[1];
  EXPECT_EQ(icon.className, "MyClass");
  EXPECT_EQ(icon.text, "#5");
  EXPECT_EQ(icon.exStyle, 0x20u);
  EXPECT_EQ(icon.id, 77);
  // After the creation data the next control is found where it belongs.
  const win::DialogItem& bar = t.items[2];
  EXPECT_EQ(bar.className, "SCROLLBAR");
  EXPECT_EQ(bar.x, -2);
  EXPECT_EQ(bar.id, 78);
}

TEST(DialogTemplateParser, ExtendedForm) {
  std::vector<unsigned char> bytes = ExtendedTemplate();
  win::DialogTemplate t;
  ASSERT_TRUE(win::ParseDialogTemplate(bytes.data(), bytes.size(), &t));
  EXPECT_EQ(t.style, WS_POPUP | DS_SETFONT);
  EXPECT_EQ(t.exStyle, 0x8u);
  EXPECT_EQ(t.cx, 200);
  EXPECT_EQ(t.menu, "");
  EXPECT_EQ(t.windowClass, "DLGCLASS");
  EXPECT_EQ(t.caption, "Erweitert");
  EXPECT_EQ(t.fontName, "Courier New");
  EXPECT_EQ(t.fontSize, 9);
  EXPECT_EQ(t.fontWeight, 700);
  EXPECT_TRUE(t.fontItalic);
  ASSERT_EQ(t.items.size(), 2u);
  EXPECT_EQ(t.items[0].className, "COMBOBOX");
  EXPECT_EQ(t.items[0].id, 70000);  // ids are 32-bit in this form
  EXPECT_EQ(t.items[0].cy, 60);
  EXPECT_EQ(t.items[1].className, "EDIT");
  EXPECT_EQ(t.items[1].text, "Text");
  EXPECT_EQ(t.items[1].id, 101);
  EXPECT_EQ(t.items[1].x, 3);
}

TEST(DialogTemplateParser, WithoutFontTheFontFieldsAreAbsent) {
  Bytes b;
  b.D(WS_POPUP).D(0).W(1).W(0).W(0).W(50).W(20).W(0).W(0).W(0);  // no menu, class, caption
  b.Align();
  b.D(WS_CHILD).D(0).W(1).W(1).W(10).W(10).W(3);
  b.Ord(0x82).Str(u"Hallo").W(0);
  win::DialogTemplate t;
  ASSERT_TRUE(win::ParseDialogTemplate(b.v().data(), b.v().size(), &t));
  EXPECT_EQ(t.caption, "");
  EXPECT_EQ(t.fontName, "");
  ASSERT_EQ(t.items.size(), 1u);
  EXPECT_EQ(t.items[0].className, "STATIC");
  EXPECT_EQ(t.items[0].text, "Hallo");
}

TEST(DialogTemplateParser, EveryTruncationIsRejected) {
  for (const auto& bytes : {StandardTemplate(), ExtendedTemplate()}) {
    for (size_t n = 0; n < bytes.size(); ++n) {
      std::vector<unsigned char> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
      win::DialogTemplate t;
      t.caption = "untouched";
      EXPECT_FALSE(win::ParseDialogTemplate(cut.data(), cut.size(), &t)) << n;
      EXPECT_EQ(t.caption, "untouched");
    }
  }
  win::DialogTemplate t;
  EXPECT_FALSE(win::ParseDialogTemplate(nullptr, 10, &t));
}

TEST(DialogTemplateParser, DamagedTemplatesAreRejected) {
  // An unknown predefined class.
  std::vector<unsigned char> bytes = StandardTemplate();
  std::vector<unsigned char> bad = bytes;
  const unsigned char button[] = {0xFF, 0xFF, 0x80, 0x00};
  auto at = std::search(bad.begin(), bad.end(), std::begin(button), std::end(button));
  ASSERT_NE(at, bad.end());
  at[2] = 0x90;
  win::DialogTemplate t;
  EXPECT_FALSE(win::ParseDialogTemplate(bad.data(), bad.size(), &t));
  // A count of controls no template has.
  bad = bytes;
  bad[8] = 0xFF, bad[9] = 0xFF;
  EXPECT_FALSE(win::ParseDialogTemplate(bad.data(), bad.size(), &t));
  // A text without its end.
  Bytes open;
  open.D(WS_POPUP).D(0).W(0).W(0).W(0).W(10).W(10).W(0).W(0).W('A').W('B');
  EXPECT_FALSE(win::ParseDialogTemplate(open.v().data(), open.v().size(), &t));
  // Noise of every kind ends without a crash.
  unsigned seed = 12345;
  for (int round = 0; round < 2000; ++round) {
    std::vector<unsigned char> noise(static_cast<size_t>(seed % 200));
    for (auto& c : noise) {
      seed = seed * 1103515245u + 12345u;
      c = static_cast<unsigned char>(seed >> 16);
    }
    if (round % 2 && noise.size() >= 4) noise[0] = 1, noise[1] = 0, noise[2] = 0xFF, noise[3] = 0xFF;
    win::ParseDialogTemplate(noise.data(), noise.size(), &t);
  }
}

TEST_F(BuiltInTemplates, AParsedTemplateMakesItsDialog) {
  std::vector<unsigned char> bytes = ExtendedTemplate();
  win::DialogTemplate t;
  ASSERT_TRUE(win::ParseDialogTemplate(bytes.data(), bytes.size(), &t));
  HWND d = win::CreateDialogFromTemplate(t, 0, nullptr, 0);
  ASSERT_NE(d, 0);
  EXPECT_EQ(Text(d), "Erweitert");
  EXPECT_EQ(ClassName(GetDlgItem(d, 101)), "EDIT");
  EXPECT_EQ(Text(GetDlgItem(d, 101)), "Text");
  EXPECT_NE(GetDlgItem(d, 70000), 0);
}

TEST_F(BuiltInTemplates, AControlOfAnUnknownClassFailsTheDialog) {
  win::DialogTemplate t = Template({Control("NOSUCHCLASS", "", WS_CHILD, 0, 0, 10, 10, 5)});
  size_t before = win::AllWindows().size();
  EXPECT_EQ(win::CreateDialogFromTemplate(t, 0, nullptr, 0), 0);
  EXPECT_EQ(win::AllWindows().size(), before);
}

TEST_F(BuiltInTemplates, AnotherModulesDialogsComeFromItsResources) {
  auto dir = std::filesystem::temp_directory_path() / "tilmor_dialog_module";
  std::filesystem::create_directories(dir);
  std::string path = (dir / "dialogs.res").string();
  resbuild::Write(path, resbuild::ResFile({{RT_DIALOG, u"FRAGE", 0, ExtendedTemplate()},
                                           {RT_DIALOG, u"", 7, StandardTemplate()},
                                           {RT_DIALOG, u"KAPUTT", 0, {1, 0, 0xFF, 0xFF, 0}}}));
  HINSTANCE module = win::LoadModuleResources(path);
  ASSERT_NE(module, 0);
  win::DialogTemplate t;
  ASSERT_TRUE(win::FindDialogTemplate(module, "frage", &t));
  EXPECT_EQ(t.caption, "Erweitert");
  ASSERT_TRUE(win::FindDialogTemplate(module, "#7", &t));
  EXPECT_EQ(t.menu, "#100");
  EXPECT_FALSE(win::FindDialogTemplate(module, "KAPUTT", &t)) << "a damaged template is none";
  EXPECT_FALSE(win::FindDialogTemplate(module, "INPUT", &t)) << "the interpreter's own are not the module's";

  HWND d = CreateDialogParamA(module, "Frage", 0, RecordingProc, 0);
  ASSERT_NE(d, 0);
  EXPECT_EQ(Text(d), "Erweitert");
  EXPECT_NE(GetDlgItem(d, 101), 0);
  // The numbered one names a class nobody registered: no dialog.
  EXPECT_EQ(CreateDialogParamA(module, reinterpret_cast<LPCSTR>(uintptr_t{7}), 0, RecordingProc, 0), 0);
  win::FreeModuleResources(module);
  std::filesystem::remove_all(dir);
}

}  // namespace
