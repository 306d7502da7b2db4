// The "EDIT" class: single-line edits over QLineEdit, multi-line ones over
// QPlainTextEdit, with Windows' CR LF line ends and character positions.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>
#include <cstring>
#include <limits>

#include "../clipboard.h"
#include "control_impl.h"

namespace win::detail {

namespace {

constexpr long kSingleLineLimit = 30000;
constexpr long kMultiLineLimit = 32767;
constexpr long kNoLimit = 0x7FFFFFFE;

struct Line {
  int start = 0, length = 0;  // in Windows positions
};

QLineEdit* Single(Control* c) { return qobject_cast<QLineEdit*>(c->widget); }
QPlainTextEdit* Multi(Control* c) { return qobject_cast<QPlainTextEdit*>(c->widget); }

// Windows' text: CR LF between lines.
QString WinText(Control* c) {
  if (QLineEdit* e = Single(c)) return e->text();
  if (QPlainTextEdit* e = Multi(c)) return e->toPlainText().replace('\n', "\r\n");
  return {};
}

QString FromWinText(const QString& s, bool multi) {
  if (!multi) return s;
  QString out = s;
  out.replace("\r\n", "\n");
  out.replace('\r', '\n');
  return out;
}

// A multi-line edit's Windows position from a Qt one and back: each line
// break is one character to Qt and two to Windows.
int ToWin(QPlainTextEdit* e, int qt) {
  QTextBlock b = e->document()->findBlock(qt);
  return qt + std::max(0, b.blockNumber());
}

int ToQtPos(QPlainTextEdit* e, int win) {
  if (win < 0) return 0;
  for (QTextBlock b = e->document()->begin(); b.isValid(); b = b.next()) {
    int start = b.position() + b.blockNumber();
    int len = b.length() - 1;
    if (win <= start + len) return b.position() + (win - start);
    if (win == start + len + 1) return b.position() + len;  // between CR and LF
  }
  return e->document()->characterCount() - 1;
}

std::vector<Line> LinesOf(Control* c) {
  std::vector<Line> out;
  QPlainTextEdit* e = Multi(c);
  if (!e) {
    out.push_back({0, static_cast<int>(WinText(c).size())});
    return out;
  }
  bool wraps = e->lineWrapMode() != QPlainTextEdit::NoWrap;
  for (QTextBlock b = e->document()->begin(); b.isValid(); b = b.next()) {
    int base = b.position() + b.blockNumber();
    QTextLayout* lay = b.layout();
    if (wraps && lay && lay->lineCount() > 1) {
      for (int i = 0; i < lay->lineCount(); ++i) {
        QTextLine l = lay->lineAt(i);
        out.push_back({base + l.textStart(), std::min(l.textLength(), b.length() - 1 - l.textStart())});
      }
    } else {
      out.push_back({base, b.length() - 1});
    }
  }
  if (out.empty()) out.push_back({0, 0});
  return out;
}

int LineOfPos(const std::vector<Line>& lines, int pos) {
  for (size_t i = 0; i + 1 < lines.size(); ++i)
    if (pos < lines[i + 1].start) return static_cast<int>(i);
  return static_cast<int>(lines.size()) - 1;
}

// The selection in Windows positions.
std::pair<int, int> Selection(Control* c) {
  if (QLineEdit* e = Single(c)) {
    if (!e->hasSelectedText()) return {e->cursorPosition(), e->cursorPosition()};
    return {e->selectionStart(), e->selectionEnd()};
  }
  if (QPlainTextEdit* e = Multi(c)) {
    QTextCursor cur = e->textCursor();
    return {ToWin(e, cur.selectionStart()), ToWin(e, cur.selectionEnd())};
  }
  return {0, 0};
}

void SetSelection(Control* c, int start, int end) {
  int len = static_cast<int>(WinText(c).size());
  if (start == -1) {
    // Deselects and leaves the caret where it is.
    if (QLineEdit* e = Single(c)) e->deselect();
    if (QPlainTextEdit* e = Multi(c)) {
      QTextCursor cur = e->textCursor();
      cur.clearSelection();
      e->setTextCursor(cur);
    }
    return;
  }
  if (end < 0) end = len;
  start = std::clamp(start, 0, len);
  end = std::clamp(end, 0, len);
  int lo = std::min(start, end), hi = std::max(start, end);
  if (QLineEdit* e = Single(c)) e->setSelection(lo, hi - lo);
  if (QPlainTextEdit* e = Multi(c)) {
    QTextCursor cur = e->textCursor();
    cur.setPosition(ToQtPos(e, lo));
    cur.setPosition(ToQtPos(e, hi), QTextCursor::KeepAnchor);
    e->setTextCursor(cur);
  }
}

QString SelectedText(Control* c) {
  auto [lo, hi] = Selection(c);
  return WinText(c).mid(lo, hi - lo);
}

void ReplaceSelection(Control* c, const QString& winText) {
  bool multi = Multi(c) != nullptr;
  QString text = FromWinText(winText, multi);
  if (QLineEdit* e = Single(c)) e->insert(text);
  if (QPlainTextEdit* e = Multi(c)) e->textCursor().insertText(text);
}

bool ReadOnly(HWND hwnd) {
  Control* c = ControlOf(hwnd);
  if (QLineEdit* e = c ? Single(c) : nullptr) return e->isReadOnly();
  if (QPlainTextEdit* e = c ? Multi(c) : nullptr) return e->isReadOnly();
  return true;
}

QWidget* MakeEdit(HWND hwnd, const std::string& title) {
  Wnd* w = Find(hwnd);
  DWORD style = w ? w->style : 0;
  if (style & ES_MULTILINE) {
    auto* e = new QPlainTextEdit;
    e->setTabChangesFocus(false);
    e->setLineWrapMode((style & WS_HSCROLL) ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    e->setVerticalScrollBarPolicy((style & WS_VSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    e->setHorizontalScrollBarPolicy((style & WS_HSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    e->setReadOnly(style & ES_READONLY);
    if (!(style & WS_BORDER)) e->setFrameShape(QFrame::NoFrame);
    e->setPlainText(FromWinText(ToQt(title), true));
    QObject::connect(e, &QPlainTextEdit::textChanged, e, [hwnd] { PostFromWidget(hwnd, CM_CHANGED); });
    return e;
  }
  auto* e = new QLineEdit;
  e->setFrame(style & WS_BORDER);
  e->setReadOnly(style & ES_READONLY);
  if (style & ES_PASSWORD) e->setEchoMode(QLineEdit::Password);
  Qt::Alignment a = (style & 0x3) == 1 ? Qt::AlignHCenter : (style & 0x3) == 2 ? Qt::AlignRight : Qt::AlignLeft;
  e->setAlignment(a | Qt::AlignVCenter);
  // The limit holds for typing only (the control's key filter); the
  // widget's own would cut the program's text too.
  e->setMaxLength(std::numeric_limits<int>::max());
  e->setText(ToQt(title));
  e->setCursorPosition(0);
  QObject::connect(e, &QLineEdit::textChanged, e, [hwnd] { PostFromWidget(hwnd, CM_CHANGED); });
  return e;
}

// A change the program made: EN_CHANGE right away, as Windows sends it.
void Changed(HWND hwnd) { Notify(hwnd, EN_CHANGE); }

LRESULT CopyLine(Control* c, WPARAM index, LPARAM buffer) {
  auto* out = reinterpret_cast<char*>(buffer);
  if (!out) return 0;
  unsigned short room;  // the buffer need not be aligned
  std::memcpy(&room, out, sizeof room);
  std::vector<Line> lines = LinesOf(c);
  if (Single(c)) index = 0;
  if (index >= lines.size()) return 0;
  std::string text = FromQt(WinText(c).mid(lines[index].start, lines[index].length));
  size_t n = std::min<size_t>(static_cast<size_t>(room), text.size());
  std::copy_n(text.data(), n, out);
  return static_cast<LRESULT>(n);
}

LRESULT LineLength(Control* c, int pos) {
  std::vector<Line> lines = LinesOf(c);
  if (pos >= 0) {
    int len = static_cast<int>(WinText(c).size());
    if (pos > len) return 0;
    return lines[static_cast<size_t>(LineOfPos(lines, pos))].length;
  }
  // -1: what is not selected of the lines the selection touches.
  auto [lo, hi] = Selection(c);
  const Line& first = lines[static_cast<size_t>(LineOfPos(lines, lo))];
  const Line& last = lines[static_cast<size_t>(LineOfPos(lines, hi))];
  if (lo == hi) return first.length;
  return (lo - first.start) + std::max(0, last.start + last.length - hi);
}

void TypeChar(Control* c, unsigned char ch) {
  HWND hwnd = c->hwnd;
  bool multi = Multi(c) != nullptr;
  if (ReadOnly(hwnd)) return;
  if (ch == '\b') {
    auto [lo, hi] = Selection(c);
    if (lo == hi) {
      if (lo == 0) return;
      QString t = WinText(c);
      int back = (multi && lo >= 2 && t.mid(lo - 2, 2) == "\r\n") ? 2 : 1;
      SetSelection(c, lo - back, lo);
    }
    Quiet q(c);
    ReplaceSelection(c, QString());
  } else if (ch >= 32 || (multi && (ch == '\r' || ch == '\t'))) {
    if (static_cast<long>(WinText(c).size()) - std::abs(Selection(c).second - Selection(c).first) >= c->limit)
      return;
    Quiet q(c);
    ReplaceSelection(c, ch == '\r' ? QString("\r\n") : ToQt(std::string(1, static_cast<char>(ch))));
  } else {
    return;
  }
  Changed(hwnd);
}

}  // namespace

void TypeIntoEdit(Control* c, const QString& text) {
  // What fits within the limit, as typing it would.
  QString typed = text.left(static_cast<qsizetype>(std::min<long>(c->limit, text.size())));
  if (QLineEdit* e = Single(c)) {
    e->selectAll();
    e->insert(typed);
  } else if (QPlainTextEdit* e = Multi(c)) {
    e->selectAll();
    e->insertPlainText(FromWinText(typed, true));
  }
}

LRESULT EditProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  Control* c = ControlOf(hwnd);
  if (msg == WM_CREATE) {
    Wnd* wnd = Find(hwnd);
    if (!wnd) return -1;
    Control* made = AttachControl(hwnd, CtlKind::Edit, MakeEdit(hwnd, wnd->title));
    if (!made) return -1;
    made->limit = (wnd->style & ES_MULTILINE) ? kMultiLineLimit : kSingleLineLimit;
    return 0;
  }
  LRESULT r = 0;
  if (FirstHandling(hwnd, c, msg, w, l, &r)) return r;
  switch (msg) {
    case WM_SETTEXT: {
      QString text = FromWinText(ToQt(StrArg(l)), Multi(c) != nullptr);
      {
        Quiet q(c);
        if (QLineEdit* e = Single(c)) {
          e->setText(text);
          e->setCursorPosition(0);
        } else if (QPlainTextEdit* e = Multi(c)) {
          e->setPlainText(text);
        }
      }
      Changed(hwnd);
      return TRUE;
    }
    case WM_GETTEXT:
      return CopyOut(FromQt(WinText(c)), w, l);
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(FromQt(WinText(c)).size());
    case EM_LIMITTEXT:
      c->limit = w == 0 ? kNoLimit : static_cast<long>(std::min<WPARAM>(w, kNoLimit));
      return 0;
    case EM_GETLIMITTEXT:
      return c->limit;
    case EM_GETLINECOUNT:
      return static_cast<LRESULT>(LinesOf(c).size());
    case EM_LINEINDEX: {
      std::vector<Line> lines = LinesOf(c);
      long line = static_cast<long>(static_cast<int>(w));
      if (line < 0) line = LineOfPos(lines, Selection(c).second);
      if (line >= static_cast<long>(lines.size())) return -1;
      return lines[static_cast<size_t>(line)].start;
    }
    case EM_LINELENGTH:
      return LineLength(c, static_cast<int>(w));
    case EM_GETLINE:
      return CopyLine(c, w, l);
    case EM_GETSEL: {
      auto [lo, hi] = Selection(c);
      if (auto* p = reinterpret_cast<DWORD*>(w)) *p = static_cast<DWORD>(lo);
      if (auto* p = reinterpret_cast<DWORD*>(l)) *p = static_cast<DWORD>(hi);
      return MAKELPARAM(std::min(lo, 0xFFFF), std::min(hi, 0xFFFF));
    }
    case EM_SETSEL: {
      Quiet q(c);
      SetSelection(c, static_cast<int>(w), static_cast<int>(l));
      return 0;
    }
    case EM_REPLACESEL: {
      {
        Quiet q(c);
        ReplaceSelection(c, ToQt(StrArg(l)));
      }
      Changed(hwnd);
      return 0;
    }
    case EM_GETMODIFY:
      if (QLineEdit* e = Single(c)) return e->isModified() ? TRUE : FALSE;
      return Multi(c)->document()->isModified() ? TRUE : FALSE;
    case EM_SETMODIFY:
      if (QLineEdit* e = Single(c)) e->setModified(w != 0);
      else Multi(c)->document()->setModified(w != 0);
      return 0;
    case EM_SETREADONLY:
      if (QLineEdit* e = Single(c)) e->setReadOnly(w != 0);
      else Multi(c)->setReadOnly(w != 0);
      if (Wnd* wnd = Find(hwnd)) wnd->style = w ? (wnd->style | ES_READONLY) : (wnd->style & ~ES_READONLY);
      return TRUE;
    case WM_COPY:
    case WM_CUT: {
      QString sel = SelectedText(c);
      // A password is not given away.
      if (!sel.isEmpty() && !(StyleOf(hwnd) & ES_PASSWORD)) PutClipboardText(FromQt(sel));
      if (msg == WM_CUT && !sel.isEmpty() && !ReadOnly(hwnd) && !(StyleOf(hwnd) & ES_PASSWORD)) {
        {
          Quiet q(c);
          ReplaceSelection(c, QString());
        }
        Changed(hwnd);
      }
      return 0;
    }
    case WM_CLEAR:
      if (!SelectedText(c).isEmpty() && !ReadOnly(hwnd)) {
        {
          Quiet q(c);
          ReplaceSelection(c, QString());
        }
        Changed(hwnd);
      }
      return 0;
    case WM_PASTE: {
      std::string text = ClipboardText();
      if (text.empty() || ReadOnly(hwnd)) return 0;
      {
        Quiet q(c);
        ReplaceSelection(c, ToQt(text));
      }
      Changed(hwnd);
      return 0;
    }
    case WM_CHAR:
      TypeChar(c, static_cast<unsigned char>(w));
      return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
      return 0;
    case WM_SETFOCUS:
      Notify(hwnd, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      Notify(hwnd, EN_KILLFOCUS);
      return 0;
    case CM_CHANGED:
      Changed(hwnd);
      return 0;
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_HASSETSEL | DLGC_WANTCHARS | DLGC_WANTARROWS;
      const MSG* m = reinterpret_cast<const MSG*>(l);
      DWORD style = StyleOf(hwnd);
      if ((style & ES_MULTILINE) && m && m->message == WM_KEYDOWN && m->wParam == static_cast<WPARAM>(VK_RETURN) &&
          (style & ES_WANTRETURN))
        code |= DLGC_WANTALLKEYS;
      return code;
    }
    default:
      return DefWindowProcA(hwnd, msg, w, l);
  }
}

}  // namespace win::detail
