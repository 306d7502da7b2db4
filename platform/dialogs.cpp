#include "dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include <cstring>
#include <vector>

#include "batch.h"
#include "codepage.h"

namespace {

QString FromAnsi(const char* s) {
  return QString::fromStdString(win::Cp1252ToUtf8(s ? s : ""));
}

struct ButtonDef {
  QMessageBox::ButtonRole role;
  const char* label;
  int id;
};

std::vector<ButtonDef> ButtonsOf(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return {{QMessageBox::AcceptRole, "OK", IDOK}, {QMessageBox::RejectRole, "Abbrechen", IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
      return {{QMessageBox::RejectRole, "&Abbrechen", IDABORT},
              {QMessageBox::AcceptRole, "&Wiederholen", IDRETRY},
              {QMessageBox::AcceptRole, "&Ignorieren", IDIGNORE}};
    case MB_YESNOCANCEL:
      return {{QMessageBox::YesRole, "&Ja", IDYES},
              {QMessageBox::NoRole, "&Nein", IDNO},
              {QMessageBox::RejectRole, "Abbrechen", IDCANCEL}};
    case MB_YESNO:
      return {{QMessageBox::YesRole, "&Ja", IDYES}, {QMessageBox::NoRole, "&Nein", IDNO}};
    case MB_RETRYCANCEL:
      return {{QMessageBox::AcceptRole, "&Wiederholen", IDRETRY},
              {QMessageBox::RejectRole, "Abbrechen", IDCANCEL}};
    case MB_CANCELTRYCONTINUE:
      return {{QMessageBox::RejectRole, "Abbrechen", IDCANCEL},
              {QMessageBox::AcceptRole, "&Wiederholen", IDTRYAGAIN},
              {QMessageBox::AcceptRole, "&Weiter", IDCONTINUE}};
    default:
      return {{QMessageBox::AcceptRole, "OK", IDOK}};
  }
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

bool CopyOut(OPENFILENAMEA* ofn, const std::string& path) {
  if (!ofn->lpstrFile || ofn->nMaxFile == 0) return false;
  size_t n = std::min<size_t>(path.size(), ofn->nMaxFile - 1);
  std::memcpy(ofn->lpstrFile, path.data(), n);
  ofn->lpstrFile[n] = 0;
  return true;
}

BOOL FileDialog(OPENFILENAMEA* ofn, bool save) {
  if (!ofn) return FALSE;
  if (win::IsBatchMode()) {
    auto act = win::TakeBatchAction({win::ActionKind::File});
    if (!act || act->kind != win::ActionKind::File) return FALSE;
    return CopyOut(ofn, act->value) ? TRUE : FALSE;
  }
  QStringList filters = QtFilters(ofn->lpstrFilter);
  QString selected;
  if (ofn->nFilterIndex >= 1 && ofn->nFilterIndex <= static_cast<DWORD>(filters.size()))
    selected = filters[static_cast<int>(ofn->nFilterIndex) - 1];
  QString initial = ofn->lpstrFile ? FromAnsi(ofn->lpstrFile) : QString();
  if (ofn->lpstrInitialDir && *ofn->lpstrInitialDir && !initial.contains('/'))
    initial = FromAnsi(ofn->lpstrInitialDir) + "/" + initial;
  QString title = FromAnsi(ofn->lpstrTitle);
  QString chosen =
      save ? QFileDialog::getSaveFileName(nullptr, title, initial, filters.join(";;"), &selected,
                                          (ofn->Flags & OFN_OVERWRITEPROMPT)
                                              ? QFileDialog::Options()
                                              : QFileDialog::DontConfirmOverwrite)
           : QFileDialog::getOpenFileName(nullptr, title, initial, filters.join(";;"), &selected);
  if (chosen.isEmpty()) return FALSE;
  return CopyOut(ofn, win::Utf8ToCp1252(chosen.toStdString())) ? TRUE : FALSE;
}

}  // namespace

namespace win {

int FirstButton(UINT type) { return ButtonsOf(type).front().id; }

std::string AskOpenFileName(const std::string& title, const std::string& filterBars) {
  std::string filter = FilterFromBars(filterBars);
  char file[256] = {0};
  OPENFILENAMEA ofn;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrTitle = title.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetOpenFileNameA(&ofn)) return {};
  return file;
}

std::string FilterFromBars(const std::string& bars) {
  std::string out = bars;
  if (out.empty() || out.back() != '|') out += '|';
  for (char& c : out)
    if (c == '|') c = '\0';
  out += '\0';
  return out;
}

}  // namespace win

int MessageBoxA(HWND /*owner*/, LPCSTR text, LPCSTR caption, UINT type) {
  if (win::IsBatchMode()) {
    win::WriteBoxLine(caption ? caption : "", text ? text : "");
    auto act = win::TakeBatchAction({win::ActionKind::Answer});
    if (!act) return win::FirstButton(type);
    return act->kind == win::ActionKind::Cancel ? IDCANCEL : act->answer;
  }
  QMessageBox box(IconOf(type), FromAnsi(caption), FromAnsi(text));
  std::vector<std::pair<QAbstractButton*, int>> ids;
  auto defs = ButtonsOf(type);
  for (const auto& d : defs) ids.emplace_back(box.addButton(d.label, d.role), d.id);
  size_t def = ((type & MB_DEFMASK) >> 8);
  if (def < ids.size()) box.setDefaultButton(static_cast<QPushButton*>(ids[def].first));
  box.exec();
  for (const auto& [button, id] : ids)
    if (box.clickedButton() == button) return id;
  // Closed with Escape or the window's close button.
  for (const auto& d : defs)
    if (d.id == IDCANCEL) return IDCANCEL;
  return defs.front().id;
}

BOOL GetOpenFileNameA(OPENFILENAMEA* ofn) { return FileDialog(ofn, false); }
BOOL GetSaveFileNameA(OPENFILENAMEA* ofn) { return FileDialog(ofn, true); }
