// Dialog templates: the interpreter's own, and binary ones read from modules.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "../codepage.h"
#include "../controls/controls.h"
#include "../resources/resources.h"
#include "dialogbox.h"

namespace win {
namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kTab = kChild | WS_TABSTOP;
constexpr DWORD kDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

DialogItem Item(const char* cls, const char* text, DWORD style, int x, int y, int cx, int cy, int id) {
  DialogItem i;
  i.className = cls;
  i.text = text;
  i.style = style;
  i.x = x, i.y = y, i.cx = cx, i.cy = cy;
  i.id = id;
  return i;
}

DialogTemplate Dialog(const char* caption, const char* font, int points, int cx, int cy) {
  DialogTemplate t;
  t.style = kDialog | (font ? DS_SETFONT : 0);
  t.caption = caption;
  if (font) t.fontName = font, t.fontSize = points;
  t.cx = cx, t.cy = cy;
  return t;
}

DialogTemplate InputDialog() {
  DialogTemplate t = Dialog("", "Helv", 8, 180, 64);
  t.items = {Item("STATIC", "", kChild | SS_LEFT | WS_GROUP, 10, 8, 160, 10, 100),
             Item("EDIT", "", kTab | WS_BORDER | ES_AUTOHSCROLL, 10, 20, 160, 12, 101),
             Item("BUTTON", "&OK", kTab | BS_DEFPUSHBUTTON, 10, 42, 40, 14, IDOK),
             Item("BUTTON", "&Abbruch", kTab | BS_PUSHBUTTON, 126, 42, 44, 14, IDCANCEL)};
  return t;
}

DialogTemplate EditBox(const char* font, int points) {
  DialogTemplate t = Dialog("Edit-Box", font, points, 296, 156);
  constexpr DWORD kEdit = kTab | WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN |
                          WS_VSCROLL | WS_HSCROLL;
  t.items = {Item("EDIT", "", kEdit, 8, 8, 280, 121, 101),
             Item("BUTTON", "&OK", kTab | BS_PUSHBUTTON, 8, 136, 32, 16, IDOK),
             Item("BUTTON", "kopieren", kTab | BS_PUSHBUTTON, 76, 140, 48, 12, 102),
             Item("BUTTON", "ausschneiden", kTab | BS_PUSHBUTTON, 124, 140, 48, 12, 103),
             Item("BUTTON", "einf\xFCgen", kTab | BS_PUSHBUTTON, 172, 140, 48, 12, 104),
             Item("BUTTON", "&Abbruch", kTab | BS_PUSHBUTTON, 256, 136, 32, 16, IDCANCEL)};
  return t;
}

DialogTemplate BigList(const char* caption, const char* font, int points, bool sorted) {
  DialogTemplate t = Dialog(caption, font, points, 296, 158);
  DWORD list = kTab | WS_BORDER | LBS_NOTIFY | WS_VSCROLL | WS_HSCROLL | (sorted ? LBS_SORT : 0);
  t.items = {Item("LISTBOX", "", list, 9, 6, 278, 128, 101),
             Item("BUTTON", "&OK", kTab | BS_PUSHBUTTON, 9, 141, 35, 12, IDOK),
             Item("BUTTON", "&Abbruch", kTab | BS_PUSHBUTTON, 252, 142, 36, 12, IDCANCEL)};
  return t;
}

DialogTemplate SmallList(const char* font, int points, bool sorted) {
  DialogTemplate t = Dialog("List-Box", font, points, 99, 121);
  DWORD list = kTab | WS_BORDER | LBS_NOTIFY | WS_VSCROLL | (sorted ? LBS_SORT : 0);
  t.items = {Item("LISTBOX", "", list, 9, 6, 80, 92, 101),
             Item("BUTTON", "&OK", kTab | BS_PUSHBUTTON, 9, 102, 35, 12, IDOK),
             Item("BUTTON", "&Abbruch", kTab | BS_PUSHBUTTON, 54, 102, 36, 12, IDCANCEL)};
  return t;
}

DialogTemplate EmptyDialog() {
  DialogTemplate t = Dialog("Untitled Dialog", nullptr, 0, 210, 117);
  t.items = {Item("STATIC", "", kChild | SS_LEFT | WS_GROUP, 0, 0, 4, 2, 101)};
  return t;
}

struct BuiltIn {
  const char* name;
  DialogTemplate (*make)();
};

const BuiltIn kBuiltIns[] = {
    {"INPUT", [] { return InputDialog(); }},
    {"EDITBOX1", [] { return EditBox(nullptr, 0); }},
    {"EDITBOX2", [] { return EditBox("Courier New", 10); }},
    {"LISTBOX1", [] { return BigList("Show-Box", nullptr, 0, false); }},
    // The resource's own caption of this one names another of them.
    {"LISTBOX2", [] { return BigList("LISTBOX4", "Courier New", 10, false); }},
    {"LISTBOX3", [] { return BigList("LISTBOX3", nullptr, 0, true); }},
    {"LISTBOX4", [] { return BigList("LISTBOX4", "Courier New", 10, true); }},
    {"LISTBOX5", [] { return SmallList(nullptr, 0, false); }},
    {"LISTBOX6", [] { return SmallList("Courier New", 10, false); }},
    {"LISTBOX7", [] { return SmallList(nullptr, 0, true); }},
    {"LISTBOX8", [] { return SmallList("Courier New", 10, true); }},
    {"LDIALOG", [] { return EmptyDialog(); }},
};

bool SameName(const std::string& a, const char* b) {
  size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// Reads the little-endian fields of a template, never past its end.
class Reader {
 public:
  Reader(const unsigned char* data, size_t size) : data_(data), size_(size) {}
  bool ok() const { return ok_; }
  size_t pos() const { return pos_; }
  WORD Word() {
    if (!Need(2)) return 0;
    WORD v = static_cast<WORD>(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
  }
  DWORD Dword() {
    DWORD lo = Word();
    return lo | (static_cast<DWORD>(Word()) << 16);
  }
  short Short() { return static_cast<short>(Word()); }
  BYTE Byte() {
    if (!Need(1)) return 0;
    return data_[pos_++];
  }
  void Skip(size_t n) {
    if (Need(n)) pos_ += n;
  }
  void AlignDword() {
    size_t pad = (4 - pos_ % 4) % 4;
    // The last item may end the data without its padding.
    pos_ = std::min(pos_ + pad, size_);
  }
  // A NUL-terminated UTF-16 text, as Windows-1252.
  std::string Text() {
    std::u32string chars;
    for (;;) {
      WORD c = Word();
      if (!ok_ || c == 0) break;
      chars += static_cast<char32_t>(c);
    }
    std::string out;
    for (char32_t c : chars) {
      int b = UnicodeToCp1252(c);
      out += b < 0 ? '?' : static_cast<char>(b);
    }
    return out;
  }
  // A name or an ordinal (0xFFFF and a number); 0x0000 alone is none.
  std::string NameOrOrdinal(WORD* ordinal) {
    *ordinal = 0;
    if (!Need(2)) return {};
    WORD first = static_cast<WORD>(data_[pos_] | (data_[pos_ + 1] << 8));
    if (first == 0) {
      pos_ += 2;
      return {};
    }
    if (first == 0xFFFF) {
      pos_ += 2;
      *ordinal = Word();
      return "#" + std::to_string(*ordinal);
    }
    return Text();
  }

 private:
  bool Need(size_t n) {
    if (!ok_ || size_ - pos_ < n || pos_ > size_) {
      ok_ = false;
      return false;
    }
    return true;
  }
  const unsigned char* data_;
  size_t size_;
  size_t pos_ = 0;
  bool ok_ = true;
};

std::string ClassOfOrdinal(WORD ordinal) {
  switch (ordinal) {
    case 0x80: return "BUTTON";
    case 0x81: return "EDIT";
    case 0x82: return "STATIC";
    case 0x83: return "LISTBOX";
    case 0x84: return "SCROLLBAR";
    case 0x85: return "COMBOBOX";
    default: return {};
  }
}

// A template names far fewer controls than this; a larger count is damage.
constexpr int kMaxItems = 4096;

}  // namespace

std::vector<std::string> BuiltInDialogNames() {
  std::vector<std::string> names;
  for (const BuiltIn& b : kBuiltIns) names.emplace_back(b.name);
  return names;
}

bool ParseDialogTemplate(const unsigned char* data, size_t size, DialogTemplate* out) {
  if (!data || !out) return false;
  Reader r(data, size);
  DialogTemplate t;
  bool ex = size >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF;
  int count;
  if (ex) {
    r.Skip(4);
    r.Dword();  // help id
    t.exStyle = r.Dword();
    t.style = r.Dword();
    count = r.Word();
  } else {
    t.style = r.Dword();
    t.exStyle = r.Dword();
    count = r.Word();
  }
  t.x = r.Short(), t.y = r.Short(), t.cx = r.Short(), t.cy = r.Short();
  if (!r.ok() || count > kMaxItems) return false;
  WORD ordinal;
  t.menu = r.NameOrOrdinal(&ordinal);
  t.windowClass = r.NameOrOrdinal(&ordinal);
  if (ordinal) t.windowClass = ClassOfOrdinal(ordinal);
  t.caption = r.Text();
  if (t.style & DS_SETFONT) {
    t.fontSize = r.Word();
    if (ex) {
      t.fontWeight = r.Word();
      t.fontItalic = r.Byte() != 0;
      r.Byte();  // character set
    }
    t.fontName = r.Text();
  }
  if (!r.ok()) return false;
  for (int i = 0; i < count; ++i) {
    r.AlignDword();
    DialogItem item;
    if (ex) {
      r.Dword();  // help id
      item.exStyle = r.Dword();
      item.style = r.Dword();
    } else {
      item.style = r.Dword();
      item.exStyle = r.Dword();
    }
    item.x = r.Short(), item.y = r.Short(), item.cx = r.Short(), item.cy = r.Short();
    item.id = ex ? static_cast<int>(r.Dword()) : r.Word();
    item.className = r.NameOrOrdinal(&ordinal);
    if (ordinal) {
      item.className = ClassOfOrdinal(ordinal);
      if (item.className.empty()) return false;
    }
    item.text = r.NameOrOrdinal(&ordinal);
    // The control's creation data: a length (in the standard form counting
    // itself), then the bytes.
    WORD extra = r.Word();
    if (extra) r.Skip(ex ? extra : std::max<WORD>(extra, 2) - 2);
    if (!r.ok() || item.className.empty()) return false;
    t.items.push_back(std::move(item));
  }
  *out = std::move(t);
  return true;
}

bool FindDialogTemplate(HINSTANCE instance, const std::string& name, DialogTemplate* out) {
  if (instance == kSelfInstance) {
    for (const BuiltIn& b : kBuiltIns) {
      if (!SameName(name, b.name)) continue;
      if (out) {
        *out = b.make();
        out->instance = instance;
      }
      return true;
    }
    return false;
  }
  std::vector<unsigned char> bytes;
  if (!FindModuleResource(instance, RT_DIALOG, name, &bytes)) return false;
  DialogTemplate t;
  if (!ParseDialogTemplate(bytes.data(), bytes.size(), &t)) return false;
  t.instance = instance;
  if (out) *out = std::move(t);
  return true;
}

}  // namespace win
