// The folder chooser: a Qt directory dialog that starts at the drives.
#include <QDir>
#include <QFileDialog>
#include <QList>
#include <QUrl>

#include <string>

#include "../batch.h"
#include "../codepage.h"
#include "../interrupt.h"
#include "../winpath.h"
#include "dialogbox.h"

namespace win {
namespace {

QString FromAnsi(const std::string& s) { return QString::fromStdString(Cp1252ToUtf8(s)); }

}  // namespace

std::string FolderAsWindowsPath(const std::string& host) {
  std::string windows = WindowsPathOf(host);
  return windows.empty() ? Utf8ToCp1252(host) : windows;
}

std::string BrowseForFolder(HWND owner, const std::string& title) {
  if (IsBatchMode()) {
    WriteBoxLine(title, "");
    auto act = TakeBatchAction({ActionKind::Dir});
    if (!act || act->kind != ActionKind::Dir) return {};
    return act->value;
  }
  EndIfInterrupted();
  if (InterruptRequested()) return {};
  QFileDialog dialog(QtWidgetOf(owner), FromAnsi(title));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  // The mapped drives stand where Windows shows "My Computer".
  QList<QUrl> drives;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    std::string root = DriveRootPath(letter);
    if (!root.empty() && QDir(QString::fromStdString(root)).exists())
      drives << QUrl::fromLocalFile(QString::fromStdString(root));
  }
  if (!drives.isEmpty()) dialog.setSidebarUrls(drives);
  std::string start = DriveRootPath(CurrentDrive());
  if (!start.empty()) dialog.setDirectory(QString::fromStdString(start));
  bool chosen = dialog.exec() == QDialog::Accepted;
  EndIfInterrupted();  // the dialog was closed for a request to end
  if (!chosen || dialog.selectedFiles().isEmpty()) return {};
  std::string host = QDir::cleanPath(dialog.selectedFiles().front()).toStdString();
  return FolderAsWindowsPath(host);
}

}  // namespace win
