// Message boxes and the file dialogs over Qt; batch mode answers without them.
#include "dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QScreen>
#include <QSpacerItem>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include <algorithm>
#include <cstring>
#include <vector>

#include "batch.h"
#include "codepage.h"
#include "interrupt.h"

namespace {

QString FromAnsi(const char* s) {
  return QString::fromStdString(win::Cp1252ToUtf8(s ? s : ""));
}

struct ButtonDef {
  QMessageBox::ButtonRole role;
  const char* label;
  int id;
};

// The buttons in the order ButtonIds gives them.
std::vector<ButtonDef> ButtonsOf(UINT type) {
  std::vector<ButtonDef> out;
  for (int id : win::ButtonIds(type)) {
    switch (id) {
      case IDOK: out.push_back({QMessageBox::AcceptRole, "OK", id}); break;
      case IDCANCEL: out.push_back({QMessageBox::RejectRole, "Abbrechen", id}); break;
      case IDABORT: out.push_back({QMessageBox::RejectRole, "&Abbrechen", id}); break;
      case IDRETRY:
      case IDTRYAGAIN: out.push_back({QMessageBox::AcceptRole, "&Wiederholen", id}); break;
      case IDIGNORE: out.push_back({QMessageBox::AcceptRole, "&Ignorieren", id}); break;
      case IDYES: out.push_back({QMessageBox::YesRole, "&Ja", id}); break;
      case IDNO: out.push_back({QMessageBox::NoRole, "&Nein", id}); break;
      default: out.push_back({QMessageBox::AcceptRole, "&Weiter", id}); break;
    }
  }
  return out;
}

// The title of a box is often its message (runtime errors): the box is made
// wide enough for the window manager to show all of it, in a bold title
// font, beside the title bar's icon and buttons; at most as wide as the
// screen.
void WideEnoughForTitle(QMessageBox& box) {
  QFont font = QApplication::font();
  font.setBold(true);
  QFontMetrics fm(font);
  int need = fm.horizontalAdvance(box.windowTitle()) + 7 * fm.height();
  if (QScreen* screen = QGuiApplication::primaryScreen())
    need = std::min(need, screen->availableGeometry().width() - 2 * fm.height());
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (!grid || need <= 0) return;
  grid->addItem(new QSpacerItem(need, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                grid->columnCount());
}

QMessageBox::Icon IconOf(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONASTERISK: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

// Win32 filter patterns to Qt's "Description (*.a *.b)" lines; patterns
// are matched case-insensitively as on Windows.
QStringList QtFilters(const char* filter) {
  QStringList out;
  if (!filter) return out;
  const char* p = filter;
  while (*p) {
    std::string desc = p;
    p += desc.size() + 1;
    if (!*p) break;
    std::string pats = p;
    p += pats.size() + 1;
    QStringList globs;
    for (const QString& g : FromAnsi(pats.c_str()).split(';', Qt::SkipEmptyParts)) {
      QString t = g.trimmed();
      if (t == "*.*") t = "*";
      globs << t;
      if (t.toLower() != t) globs << t.toLower();
      if (t.toUpper() != t) globs << t.toUpper();
    }
    globs.removeDuplicates();
    out << FromAnsi(desc.c_str()) + " (" + globs.join(' ') + ")";
  }
  return out;
}

BOOL FileDialog(OPENFILENAMEA* ofn, bool save) {
  if (!ofn) return FALSE;
  if (win::IsBatchMode()) return win::BatchFileDialog(ofn);
  QStringList filters = QtFilters(ofn->lpstrFilter);
  QString selected;
  if (ofn->nFilterIndex >= 1 && ofn->nFilterIndex <= static_cast<DWORD>(filters.size()))
    selected = filters[static_cast<int>(ofn->nFilterIndex) - 1];
  QString initial = ofn->lpstrFile ? FromAnsi(ofn->lpstrFile) : QString();
  if (ofn->lpstrInitialDir && *ofn->lpstrInitialDir && !initial.contains('/'))
    initial = FromAnsi(ofn->lpstrInitialDir) + "/" + initial;
  win::EndIfInterrupted();
  if (win::InterruptRequested()) return FALSE;
  QString title = FromAnsi(ofn->lpstrTitle);
  QString chosen =
      save ? QFileDialog::getSaveFileName(nullptr, title, initial, filters.join(";;"), &selected,
                                          (ofn->Flags & OFN_OVERWRITEPROMPT)
                                              ? QFileDialog::Options()
                                              : QFileDialog::DontConfirmOverwrite)
           : QFileDialog::getOpenFileName(nullptr, title, initial, filters.join(";;"), &selected);
  win::EndIfInterrupted();  // the dialog was closed for a request to end
  if (chosen.isEmpty()) return FALSE;
  return win::CopyFileNameOut(ofn, win::Utf8ToCp1252(chosen.toStdString())) ? TRUE : FALSE;
}

}  // namespace

int MessageBoxA(HWND /*owner*/, LPCSTR text, LPCSTR caption, UINT type) {
  if (win::IsBatchMode()) return win::BatchMessageBox(text, caption, type);
  win::EndIfInterrupted();
  bool ending = win::InterruptRequested();  // nobody is to see the box then
  QMessageBox box(IconOf(type), FromAnsi(caption), FromAnsi(text));
  std::vector<std::pair<QAbstractButton*, int>> ids;
  auto defs = ButtonsOf(type);
  for (const auto& d : defs) ids.emplace_back(box.addButton(d.label, d.role), d.id);
  size_t def = ((type & MB_DEFMASK) >> 8);
  if (def < ids.size()) box.setDefaultButton(static_cast<QPushButton*>(ids[def].first));
  WideEnoughForTitle(box);
  if (!ending) box.exec();
  win::EndIfInterrupted();  // the box was closed for a request to end
  for (const auto& [button, id] : ids)
    if (box.clickedButton() == button) return id;
  // Closed with Escape or the window's close button.
  for (const auto& d : defs)
    if (d.id == IDCANCEL) return IDCANCEL;
  return defs.front().id;
}

BOOL GetOpenFileNameA(OPENFILENAMEA* ofn) { return FileDialog(ofn, false); }
BOOL GetSaveFileNameA(OPENFILENAMEA* ofn) { return FileDialog(ofn, true); }
