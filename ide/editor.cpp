#include "editor.h"


#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDate>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTime>
#include <algorithm>

#include "lexer.h"
#include "prompts.h"
#include "toolcommands.h"
#include "winpath.h"

namespace ide {
namespace {

constexpr int kBookmarkMargin = 1;

QColor FromColorRef(long c) {
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

long ToColorRef(const QColor& c) {
  return static_cast<long>(c.red()) | (static_cast<long>(c.green()) << 8) |
         (static_cast<long>(c.blue()) << 16);
}

QString LineEnd(QsciScintilla::EolMode mode) {
  switch (mode) {
    case QsciScintilla::EolUnix: return "\n";
    case QsciScintilla::EolMac: return "\r";
    default: return "\r\n";
  }
}

QString WithoutLineEnd(QString s) {
  while (!s.isEmpty() && (s.back() == '\n' || s.back() == '\r')) s.chop(1);
  return s;
}

// Whole number of an input box; false for anything else.
bool ParseWhole(const QString& text, int& out) {
  bool ok = false;
  int v = text.trimmed().toInt(&ok);
  if (ok) out = v;
  return ok;
}

}  // namespace

EditorWindow::EditorWindow(EditorHost* host, const QString& fileName, QWidget* parent)
    : QsciScintilla(parent), host_(host), fileName_(fileName) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(fileName);
  Configure();
}

EditorWindow::~EditorWindow() = default;

void EditorWindow::Configure() {
  setUtf8(true);
  lexer_ = new TilmorLexer(this);
  setLexer(lexer_);
  setAutoIndent(true);
  setIndentationsUseTabs(true);
  SendScintilla(SCI_SETTABINDENTS, 0L);
  SendScintilla(SCI_SETBACKSPACEUNINDENTS, 0L);
  SendScintilla(SCI_SETMARGINRIGHT, 0UL, 5L);
  SendScintilla(SCI_HIDESELECTION, 0L);
  setMarginWidth(0, 0);
  setMarginType(kBookmarkMargin, SymbolMargin);
  setMarginWidth(kBookmarkMargin, 14);
  unsigned mask = 0;
  for (int k = 1; k <= 10; ++k) {
    markerDefine(static_cast<char>('0' + k % 10), k);
    setMarkerForegroundColor(QColor(255, 255, 255), k);
    setMarkerBackgroundColor(QColor(0, 0, 128), k);
    mask |= 1u << k;
  }
  setMarginMarkerMask(kBookmarkMargin, static_cast<int>(mask));
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  SendScintilla(SCI_SETHSCROLLBAR, 1L);
  setEolMode(EolWindows);
  setTabWidth(ReadTabSize());
  ApplyFont(ReadFont());
  DropControlBindings();
  connect(this, &QsciScintilla::cursorPositionChanged, this, [this](int, int) { Status(); });
  connect(this, &QsciScintilla::modificationChanged, this, [this](bool) { Status(); });
  blockIndicator_ = indicatorDefine(StraightBoxIndicator);
  setIndicatorForegroundColor(QColor(0, 0, 128), blockIndicator_);
  connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
          [this](int position, int type, const char*, int length, int, int, int, int, int, int) {
            FollowEdit(position, type, length);
          });
}

void EditorWindow::FollowEdit(int position, int type, int length) {
  if (type & SC_MOD_INSERTTEXT) {
    // Text typed at the block's start goes before it, at its end after it.
    if (blockBegin_ >= position) blockBegin_ += length;
    if (blockEnd_ > position) blockEnd_ += length;
  } else if (type & SC_MOD_DELETETEXT) {
    for (long* m : {&blockBegin_, &blockEnd_})
      if (*m > position) *m = std::max<long>(position, *m - length);
  }
}

void EditorWindow::ShowBlock() {
  SendScintilla(SCI_SETINDICATORCURRENT, static_cast<unsigned long>(blockIndicator_));
  SendScintilla(SCI_INDICATORCLEARRANGE, 0UL, static_cast<long>(length()));
  if (BlockMarked())
    SendScintilla(SCI_INDICATORFILLRANGE, static_cast<unsigned long>(blockBegin_), blockEnd_ - blockBegin_);
}

// The menus' keys and the WordStar keys are not the control's.
void EditorWindow::DropControlBindings() {
  for (QsciCommand* c : standardCommands()->commands()) {
    for (int which = 0; which < 2; ++which) {
      int k = which == 0 ? c->key() : c->alternateKey();
      if (k == 0) continue;
      QKeyCombination key = QKeyCombination::fromCombined(k);
      bool drop = host_->IsMenuShortcut(key) || IsPrefixKey(key) ||
                  (!IsDefaultTableKey(key) && FindBinding(0, key) != nullptr);
      if (!drop) continue;
      if (which == 0)
        c->setKey(0);
      else
        c->setAlternateKey(0);
    }
  }
}

int EditorWindow::CursorLine() const {
  int line, index;
  getCursorPosition(&line, &index);
  return line + 1;
}

int EditorWindow::CursorColumn() const {
  int line, index;
  getCursorPosition(&line, &index);
  return index + 1;
}

QString EditorWindow::StatusPosition() const {
  return QString::number(CursorLine()) + " :  " + QString::number(CursorColumn());
}

void EditorWindow::Status() {
  if (host_) host_->EditorRequest(this, EditorHost::Request::Status);
}

void EditorWindow::UpdateCaret() {
  SendScintilla(SCI_SETCARETSTYLE, overwriteMode() ? CARETSTYLE_BLOCK : CARETSTYLE_LINE);
}

// The bytes of a file named the Windows way; false when it cannot be read.
bool EditorWindow::ReadNamed(const QString& name, std::string& bytes) {
  std::string winName = ToWin(name);
  return win::FileExists(winName) && ReadHostFile(win::HostPath(winName), bytes);
}

// Writes `content` in the window's encoding; says so when that fails.
bool EditorWindow::WriteNamed(const QString& name, const QString& content) {
  std::string host = win::HostPath(ToWin(name));
  if (host.empty() || !WriteHostFile(host, EncodeFile(content, encoding_))) {
    Ask().Error(this, tr("Fehler"), tr("Die Datei %1 kann nicht gespeichert werden.").arg(name));
    return false;
  }
  return true;
}

bool EditorWindow::LoadFile(const QString& name) {
  std::string bytes;
  if (!ReadNamed(name, bytes)) return false;
  encoding_ = DetectEncoding(bytes);
  if (bytes.find("\r\n") != std::string::npos)
    setEolMode(EolWindows);
  else if (bytes.find('\n') != std::string::npos)
    setEolMode(EolUnix);
  setText(DecodeFile(bytes, encoding_));
  SendScintilla(SCI_EMPTYUNDOBUFFER);
  setModified(false);
  setCursorPosition(0, 0);
  fileName_ = name;
  setWindowTitle(name);
  Status();
  return true;
}

bool EditorWindow::WriteTo(const QString& name) {
  if (!WriteNamed(name, text())) return false;
  setModified(false);
  Status();
  return true;
}

bool EditorWindow::Save() {
  if (IsNew()) return SaveAs();
  return WriteTo(fileName_);
}

bool EditorWindow::SaveAs() {
  FileDialogRequest r;
  r.title = tr("Speichern unter");
  r.filter = host_->DialogFilter();
  r.initial = fileName_;
  r.defaultExt = "tmf";
  r.overwritePrompt = true;
  std::optional<QString> chosen = Ask().SaveFile(this, r);
  if (!chosen) return false;
  fileName_ = *chosen;
  setWindowTitle(FromWin(FileNamePart(ToWin(fileName_))));
  return WriteTo(fileName_);
}

bool EditorWindow::QueryClose() {
  if (!isModified()) return true;
  switch (Ask().Question(this, tr("Frage:"), tr("Änderungen in %1 speichern?").arg(fileName_))) {
    case Answer::Yes: return Save();
    case Answer::No: return true;
    case Answer::Cancel: break;
  }
  return false;
}

void EditorWindow::closeEvent(QCloseEvent* e) {
  if (closeConfirmed_ || QueryClose()) {
    closeConfirmed_ = true;
    e->accept();
  } else {
    e->ignore();
  }
}

void EditorWindow::SetBookmark(int k) {
  if (k < 1 || k > 10) return;
  int line, index;
  getCursorPosition(&line, &index);
  markerDeleteAll(k);
  markerAdd(line, k);
  bookmarkColumn_[static_cast<size_t>(k)] = index;
}

bool EditorWindow::GotoBookmark(int k) {
  if (k < 1 || k > 10) return false;
  int line = markerFindNext(0, 1u << k);
  if (line < 0) return false;
  int index = std::min(bookmarkColumn_[static_cast<size_t>(k)], static_cast<int>(WithoutLineEnd(text(line)).size()));
  setCursorPosition(line, index);
  ensureLineVisible(line);
  return true;
}

QStringList EditorWindow::Lines() const {
  QStringList out;
  for (int i = 0; i < lines(); ++i) out << WithoutLineEnd(text(i));
  // The empty line after a final line end is no line of the file.
  if (out.size() > 1 && out.back().isEmpty()) out.removeLast();
  return out;
}

void EditorWindow::GotoLineDialog() {
  QString prompt = tr("Zeilennummer (1 - %1):").arg(Lines().size());
  std::optional<QString> answer = Ask().Input(this, tr("Gehe zu"), prompt, "1");
  int line;
  if (answer && ParseWhole(*answer, line)) GotoLine(line);
}

void EditorWindow::GotoLine(int line) {
  int last = std::max(0, lines() - 1);
  int target = std::clamp(line - 1, 0, last);
  setCursorPosition(target, 0);
  ensureLineVisible(target);
}

QString EditorWindow::DateTimeText() {
  QLocale locale = QLocale::system();
  return locale.toString(QDate::currentDate(), QLocale::ShortFormat) + " - " +
         locale.toString(QTime::currentTime(), QLocale::ShortFormat) + " ";
}

void EditorWindow::InsertDateTime() {
  QByteArray bytes = DateTimeText().toUtf8();
  SendScintilla(SCI_REPLACESEL, 0UL, bytes.constData());
}

void EditorWindow::InsertFromFileDialog() {
  FileDialogRequest r;
  r.title = tr("Datei einfügen");
  r.filter = host_->DialogFilter();
  if (std::optional<QString> name = Ask().OpenFile(this, r)) InsertFile(*name);
}

bool EditorWindow::InsertFile(const QString& name) {
  std::string bytes;
  if (!ReadNamed(name, bytes)) {
    Ask().Error(this, tr("Fehler"), tr("Die Datei %1 kann nicht gelesen werden.").arg(name));
    return false;
  }
  QString content = DecodeFile(bytes, DetectEncoding(bytes));
  content.replace("\r\n", "\n");
  QStringList lines = content.split('\n');
  if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
  QString eol = LineEnd(eolMode());
  QString insertion;
  for (const QString& l : lines) insertion += l + eol;
  int line, index;
  getCursorPosition(&line, &index);
  setCursorPosition(line, index);  // drops a selection: the text goes in at the cursor
  QByteArray utf8 = insertion.toUtf8();
  SendScintilla(SCI_REPLACESEL, 0UL, utf8.constData());
  return true;
}

bool EditorWindow::Selection(int& lineFrom, int& indexFrom, int& lineTo, int& indexTo) const {
  if (!hasSelectedText()) return false;
  getSelection(&lineFrom, &indexFrom, &lineTo, &indexTo);
  return true;
}

void EditorWindow::CopyAsFileDialog() {
  if (!hasSelectedText()) return;
  FileDialogRequest r;
  r.title = tr("Kopieren als Datei");
  r.filter = host_->DialogFilter();
  r.overwritePrompt = true;
  if (std::optional<QString> name = Ask().SaveFile(this, r)) WriteSelectedLines(*name);
}

bool EditorWindow::WriteSelectedLines(const QString& name) {
  int lf, xf, lt, xt;
  if (!Selection(lf, xf, lt, xt)) return false;
  QString out;
  for (int l = lf; l <= lt; ++l) out += WithoutLineEnd(text(l)).left(256) + "\r\n";
  return WriteNamed(name, out);
}

void EditorWindow::DeleteSelection() {
  if (hasSelectedText()) removeSelectedText();
}

void EditorWindow::ClearAll() {
  selectAll(true);
  removeSelectedText();
}

void EditorWindow::SetWordWrap(bool on) {
  wrap_ = on;
  setWrapMode(on ? WrapWord : WrapNone);
  // Both scroll bars stay.
  SendScintilla(SCI_SETHSCROLLBAR, 1L);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void EditorWindow::SetTabSize(int tab) { setTabWidth(tab); }

void EditorWindow::TabSizeDialog() {
  std::optional<QString> answer =
      Ask().Input(this, tr("Tabulator"), tr("Position:"), QString::number(tabWidth()));
  int tab;
  if (!answer || !ParseWhole(*answer, tab) || tab < 1) return;
  SetTabSize(tab);
  WriteTabSize(tab);
}

void EditorWindow::ApplyFont(const FontSetting& f) {
  font_ = f;
  QFont font(FromWin(f.name));
  font.setPointSize(f.size > 0 ? f.size : 12);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  lexer_->ApplyFont(font, FromColorRef(f.color));
  recolor();
}

void EditorWindow::FontDialog() {
  QColor color = FromColorRef(font_.color);
  QFont initial = lexer_->defaultFont(0);
  std::optional<QFont> chosen = Ask().ChooseFont(this, initial, color);
  if (!chosen) return;
  font_.name = ToWin(chosen->family());
  font_.color = ToColorRef(color);
  font_.size = chosen->pointSize() > 0 ? chosen->pointSize() : font_.size;
  WriteFont(font_);
  QFont font = *chosen;
  font.setFixedPitch(true);
  lexer_->ApplyFont(font, color);
  recolor();
}

long EditorWindow::SearchFlags(const SearchOptions& o) const {
  long flags = 0;
  if (o.matchCase) flags |= SCFIND_MATCHCASE;
  if (o.wholeWord) flags |= SCFIND_WHOLEWORD;
  return flags;
}

bool EditorWindow::Search(const SearchOptions& o, long from, long& matchStart, long& matchEnd) {
  if (o.text.isEmpty()) return false;
  QByteArray needle = o.text.toUtf8();
  long length = SendScintilla(SCI_GETLENGTH);
  SendScintilla(SCI_SETSEARCHFLAGS, SearchFlags(o));
  SendScintilla(SCI_SETTARGETSTART, from);
  SendScintilla(SCI_SETTARGETEND, o.backwards ? 0L : length);
  long found = SendScintilla(SCI_SEARCHINTARGET, static_cast<unsigned long>(needle.size()), needle.constData());
  if (found < 0) return false;
  matchStart = SendScintilla(SCI_GETTARGETSTART);
  matchEnd = SendScintilla(SCI_GETTARGETEND);
  return true;
}

bool EditorWindow::Find(const SearchOptions& o) {
  long from = o.backwards ? SendScintilla(SCI_GETSELECTIONSTART) : SendScintilla(SCI_GETSELECTIONEND);
  long s, e;
  if (!Search(o, from, s, e)) return false;
  if (o.backwards)
    SendScintilla(SCI_SETSEL, e, s);
  else
    SendScintilla(SCI_SETSEL, s, e);
  SendScintilla(SCI_SCROLLCARET);
  return true;
}

bool EditorWindow::ReplaceOne(const SearchOptions& o, const QString& with) {
  long from = o.backwards ? SendScintilla(SCI_GETSELECTIONEND) : SendScintilla(SCI_GETSELECTIONSTART);
  long s, e;
  if (!Search(o, from, s, e)) return false;
  QByteArray replacement = with.toUtf8();
  SendScintilla(SCI_SETTARGETSTART, s);
  SendScintilla(SCI_SETTARGETEND, e);
  SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(replacement.size()), replacement.constData());
  long caret = o.backwards ? s : s + replacement.size();
  SendScintilla(SCI_GOTOPOS, caret);
  return true;
}

int EditorWindow::ReplaceAll(const SearchOptions& o, const QString& with) {
  SearchOptions forward = o;
  forward.backwards = false;
  QByteArray replacement = with.toUtf8();
  int count = 0;
  long pos = 0, s, e;
  beginUndoAction();
  while (Search(forward, pos, s, e)) {
    SendScintilla(SCI_SETTARGETSTART, s);
    SendScintilla(SCI_SETTARGETEND, e);
    SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(replacement.size()), replacement.constData());
    pos = s + replacement.size();
    ++count;
    if (e == s && replacement.isEmpty()) ++pos;  // an empty match must move on
  }
  endUndoAction();
  return count;
}

void EditorWindow::Execute(EditorCommand c, int argument) {
  using C = EditorCommand;
  switch (c) {
    case C::LineUp: SendScintilla(SCI_LINEUP); break;
    case C::LineDown: SendScintilla(SCI_LINEDOWN); break;
    case C::CharLeft: SendScintilla(SCI_CHARLEFT); break;
    case C::CharRight: SendScintilla(SCI_CHARRIGHT); break;
    case C::WordLeft: SendScintilla(SCI_WORDLEFT); break;
    case C::WordRight: SendScintilla(SCI_WORDRIGHT); break;
    case C::PageUp: SendScintilla(SCI_PAGEUP); break;
    case C::PageDown: SendScintilla(SCI_PAGEDOWN); break;
    case C::ScrollUp: SendScintilla(SCI_LINESCROLLUP); break;
    case C::ScrollDown: SendScintilla(SCI_LINESCROLLDOWN); break;
    case C::DeleteChar: SendScintilla(SCI_CLEAR); break;
    case C::DeleteWordRight: SendScintilla(SCI_DELWORDRIGHT); break;
    case C::DeleteLine: SendScintilla(SCI_LINEDELETE); break;
    case C::DeleteBack: SendScintilla(SCI_DELETEBACK); break;
    case C::DeleteToLineEnd: SendScintilla(SCI_DELLINERIGHT); break;
    case C::InsertLineBreak: {
      QByteArray eol = LineEnd(eolMode()).toUtf8();
      SendScintilla(SCI_INSERTTEXT, SendScintilla(SCI_GETCURRENTPOS), eol.constData());
      break;
    }
    case C::LineStart: SendScintilla(SCI_HOME); break;
    case C::LineEnd: SendScintilla(SCI_LINEEND); break;
    case C::DocumentStart: SendScintilla(SCI_DOCUMENTSTART); break;
    case C::DocumentEnd: SendScintilla(SCI_DOCUMENTEND); break;
    case C::WindowTop: SendScintilla(SCI_STUTTEREDPAGEUP); break;
    case C::WindowBottom: SendScintilla(SCI_STUTTEREDPAGEDOWN); break;
    case C::ToggleOverwrite: setOverwriteMode(!overwriteMode()); break;
    case C::BlockBegin:
    case C::BlockEnd: {
      long pos = SendScintilla(SCI_GETCURRENTPOS);
      (c == C::BlockBegin ? blockBegin_ : blockEnd_) = pos;
      ShowBlock();
      if (BlockMarked()) SendScintilla(SCI_SETSEL, blockBegin_, blockEnd_);
      break;
    }
    case C::BlockCopy:
    case C::BlockMove: {
      // The marked block, else the selection.
      long s = blockBegin_, e = blockEnd_;
      if (!BlockMarked()) {
        if (!hasSelectedText()) break;
        s = SendScintilla(SCI_GETSELECTIONSTART);
        e = SendScintilla(SCI_GETSELECTIONEND);
      }
      long at = SendScintilla(SCI_GETCURRENTPOS);
      if (c == C::BlockMove && at > s && at < e) break;  // into itself
      QByteArray bytes = text().toUtf8().mid(static_cast<int>(s), static_cast<int>(e - s));
      beginUndoAction();
      if (c == C::BlockMove) {
        SendScintilla(SCI_SETTARGETSTART, s);
        SendScintilla(SCI_SETTARGETEND, e);
        SendScintilla(SCI_REPLACETARGET, 0UL, "");
        if (at >= e) at -= e - s;
      }
      SendScintilla(SCI_INSERTTEXT, at, bytes.constData());
      endUndoAction();
      // The copy is the block now.
      blockBegin_ = at;
      blockEnd_ = at + bytes.size();
      ShowBlock();
      SendScintilla(SCI_SETSEL, blockBegin_, blockEnd_);
      break;
    }
    case C::BlockDelete:
      if (BlockMarked()) {
        SendScintilla(SCI_SETTARGETSTART, blockBegin_);
        SendScintilla(SCI_SETTARGETEND, blockEnd_);
        SendScintilla(SCI_REPLACETARGET, 0UL, "");
        blockBegin_ = blockEnd_ = -1;
        ShowBlock();
      } else {
        DeleteSelection();
      }
      break;
    case C::GotoBlockBegin:
    case C::GotoBlockEnd: {
      long to = c == C::GotoBlockBegin ? blockBegin_ : blockEnd_;
      if (to >= 0) SendScintilla(SCI_GOTOPOS, std::min<long>(to, length()));
      break;
    }
    case C::MarkWord: {
      long pos = SendScintilla(SCI_GETCURRENTPOS);
      long s = SendScintilla(SCI_WORDSTARTPOSITION, pos, 1L), e = SendScintilla(SCI_WORDENDPOSITION, pos, 1L);
      if (e > s) {
        blockBegin_ = s;
        blockEnd_ = e;
        ShowBlock();
        SendScintilla(SCI_SETSEL, s, e);
      }
      break;
    }
    case C::BlockHide: {
      long pos = SendScintilla(SCI_GETCURRENTPOS);
      SendScintilla(SCI_SETSEL, pos, pos);
      blockBegin_ = blockEnd_ = -1;
      ShowBlock();
      break;
    }
    case C::ReadFile: InsertFromFileDialog(); break;
    case C::WriteBlock: CopyAsFileDialog(); break;
    case C::Find: host_->EditorRequest(this, EditorHost::Request::Find); break;
    case C::Replace: host_->EditorRequest(this, EditorHost::Request::Replace); break;
    case C::FindNext: host_->EditorRequest(this, EditorHost::Request::FindNext); break;
    case C::SetBookmark: SetBookmark(argument); break;
    case C::GotoBookmark: GotoBookmark(argument); break;
  }
  UpdateCaret();
}

bool EditorWindow::event(QEvent* e) {
  if (e->type() == QEvent::ShortcutOverride) {
    auto* ke = static_cast<QKeyEvent*>(e);
    QKeyCombination key = ke->keyCombination();
    bool ours = prefix_ != 0 ||
                (!host_->IsMenuShortcut(key) && !IsDefaultTableKey(key) &&
                 (IsPrefixKey(key) || FindBinding(0, key) != nullptr));
    if (ours) {
      ke->accept();
      return true;
    }
  }
  return QsciScintilla::event(e);
}

void EditorWindow::keyPressEvent(QKeyEvent* e) {
  QKeyCombination key = e->keyCombination();
  if (prefix_ != 0) {
    switch (key.key()) {
      case Qt::Key_Control:
      case Qt::Key_Shift:
      case Qt::Key_Alt:
      case Qt::Key_Meta: return;  // the second key is still to come
      default: break;
    }
    int prefix = prefix_;
    prefix_ = 0;
    if (const KeyBinding* b = FindBinding(prefix, key)) Execute(b->command, b->argument);
    return;
  }
  if (!host_->IsMenuShortcut(key) && !IsDefaultTableKey(key)) {
    if (IsPrefixKey(key)) {
      prefix_ = key.key();
      return;
    }
    if (const KeyBinding* b = FindBinding(0, key)) {
      Execute(b->command, b->argument);
      return;
    }
  }
  QsciScintilla::keyPressEvent(e);
  UpdateCaret();
}

void EditorWindow::keyReleaseEvent(QKeyEvent* e) {
  QsciScintilla::keyReleaseEvent(e);
  Status();
}

void EditorWindow::mouseReleaseEvent(QMouseEvent* e) {
  QsciScintilla::mouseReleaseEvent(e);
  Status();
}

QMenu* EditorWindow::CreateContextMenu(QWidget* parent) {
  auto* menu = new QMenu(parent);
  menu->addAction(tr("&Rückgängig"), this, [this] { undo(); });
  QAction* cutAction = menu->addAction(tr("&Ausschneiden"), this, [this] { cut(); });
  QAction* copyAction = menu->addAction(tr("&Kopieren"), this, [this] { copy(); });
  QAction* pasteAction = menu->addAction(tr("&Einfügen"), this, [this] { paste(); });
  cutAction->setEnabled(hasSelectedText());
  copyAction->setEnabled(hasSelectedText());
  const QMimeData* clip = QApplication::clipboard()->mimeData();
  pasteAction->setEnabled(clip && clip->hasText());
  QMenu* set = menu->addMenu(tr("&Setze Merker"));
  QMenu* go = menu->addMenu(tr("Gehe zu &Merker"));
  for (int k = 1; k <= 10; ++k) {
    QString caption = "&" + QString::number(k % 10);
    set->addAction(caption, this, [this, k] { SetBookmark(k); });
    go->addAction(caption, this, [this, k] { GotoBookmark(k); });
  }
  menu->addAction(tr("&Hilfe"), this,
                  [this] { host_->EditorRequest(this, EditorHost::Request::ContextHelp); });
  menu->addAction(tr("Aus&führen (Interpreter)"), this,
                  [this] { host_->EditorRequest(this, EditorHost::Request::RunInterpreter); });
  return menu;
}

void EditorWindow::contextMenuEvent(QContextMenuEvent* e) {
  QMenu* menu = CreateContextMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(e->globalPos());
}

}  // namespace ide
