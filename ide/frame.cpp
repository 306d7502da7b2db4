#include "frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPrinter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "ansitable.h"
#include "finddialogs.h"
#include "helpwindow.h"
#include "codepage.h"
#include "launcher.h"
#include "prompts.h"
#include "toolbaricons.h"
#include "toolcommands.h"
#include "winpath.h"

namespace ide {

FrameWindow::FrameWindow(const std::string& programDir) {
  // Start-up: the runtime module beside the editor, the settings.
  programDir_ = programDir.empty() ? win::Utf8ToCp1252(OwnDirectory()) : programDir;
  if (programDir_.back() != '/' && programDir_.back() != '\\') programDir_ += '/';
  SetProgramDirectory(win::HostPath(programDir_));
  runtime_ = DefaultRuntime(programDir_);
  workdir_ = programDir_;

  FrameSettings s = ReadFrameSettings();
  toolbarVisible_ = s.toolbar;
  project_ = s.project;
  filter_ = s.filter;
  move(s.left, s.top);
  resize(s.width, s.height);

  mdi_ = new QMdiArea(this);
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdi_);
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow*) { MergeMenus(); });

  BuildMenus();
  BuildToolBar();
  BuildStatusBar();
  SetToolbarVisible(toolbarVisible_);
  MergeMenus();
  setWindowTitle(kAppTitle);
}

FrameWindow::~FrameWindow() {
  // The windows going with the frame must not call back into it.
  closing_ = true;
  disconnect(mdi_, nullptr, this, nullptr);
  delete printer_;
}

void FrameWindow::Start(const QStringList& arguments) {
  setWindowTitle(kAppTitle);
  // Read again: another editor may have chosen a project since this one was made.
  project_ = ReadProjectName();
  if (arguments.isEmpty()) {
    if (!project_.empty()) OpenProject(project_);
  } else {
    for (const QString& a : arguments) {
      if (a.startsWith('@'))
        OpenProject(ToWin(a.mid(1)));
      else
        OpenFile(a);
    }
  }
  UpdateStatus();
}

EditorWindow* FrameWindow::ActiveEditor() const {
  QMdiSubWindow* sub = mdi_->currentSubWindow();
  return sub ? dynamic_cast<EditorWindow*>(sub->widget()) : nullptr;
}

std::vector<EditorWindow*> FrameWindow::Editors() const {
  std::vector<EditorWindow*> out;
  for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder))
    if (auto* e = dynamic_cast<EditorWindow*>(sub->widget())) out.push_back(e);
  return out;
}

EditorWindow* FrameWindow::AddEditor(EditorWindow* e) {
  QMdiSubWindow* sub = mdi_->addSubWindow(e);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->setWindowIcon(ToolBarIcon(ToolIcon::Document, style()));
  // A new window takes three quarters of the area, a step below and right
  // of the one before.
  QSize area = mdi_->viewport()->size();
  if (area.width() > 200 && area.height() > 150) {
    sub->resize(area.width() * 3 / 4, area.height() * 3 / 4);
    int step = static_cast<int>((mdi_->subWindowList().size() - 1) % 8) * 24;
    sub->move(std::min(step, area.width() / 4), std::min(step, area.height() / 4));
  }
  connect(sub, &QObject::destroyed, this, [this] {
    if (!closing_) QTimer::singleShot(0, this, [this] { MergeMenus(); });
  });
  sub->show();
  mdi_->setActiveSubWindow(sub);
  e->setFocus();
  MergeMenus();
  return e;
}

EditorWindow* FrameWindow::NewFile() {
  return AddEditor(new EditorWindow(this, EditorWindow::kNewName));
}

EditorWindow* FrameWindow::OpenFile(const QString& name) {
  auto* e = new EditorWindow(this, name);
  if (!e->LoadFile(name)) {
    delete e;
    Ask().Error(this, tr("Fehler"), tr("Die Datei %1 kann nicht geöffnet werden.").arg(name));
    return nullptr;
  }
  return AddEditor(e);
}

void FrameWindow::OpenFileDialog() {
  FileDialogRequest r;
  r.title = tr("Datei öffnen");
  r.filter = filter_;
  if (std::optional<QString> name = Ask().OpenFile(this, r)) OpenFile(*name);
}

bool FrameWindow::CloseAllEditors() {
  for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder))
    if (!sub->close()) return false;
  MergeMenus();
  return true;
}

void FrameWindow::EditorRequest(EditorWindow* editor, Request request) {
  switch (request) {
    case Request::Find: ShowFind(); break;
    case Request::Replace: ShowReplace(); break;
    case Request::FindNext: FindNext(); break;
    case Request::ContextHelp: ContextHelp(editor); break;
    case Request::RunInterpreter: RunInterpreter(editor); break;
    case Request::Status:
      if (editor == ActiveEditor()) UpdateStatus();
      break;
  }
}

bool FrameWindow::IsMenuShortcut(QKeyCombination key) const {
  return menuKeys_.count(key.toCombined()) != 0;
}

QStringList FrameWindow::StatusTexts() const {
  return {statusPos_->text(), statusModified_->text(), statusProject_->text()};
}

void FrameWindow::UpdateStatus() {
  EditorWindow* e = ActiveEditor();
  statusPos_->setText(e ? e->StatusPosition() : QString());
  statusModified_->setText(e && e->isModified() ? tr("Geändert") : QString());
  statusProject_->setText(tr("Projekt: ") + FromWin(project_));
}

void FrameWindow::BuildStatusBar() {
  statusPos_ = new QLabel(this);
  statusPos_->setMinimumWidth(90);
  statusModified_ = new QLabel(this);
  statusModified_->setMinimumWidth(70);
  statusProject_ = new QLabel(this);
  statusBar()->addWidget(statusPos_);
  statusBar()->addWidget(statusModified_);
  statusBar()->addWidget(statusProject_, 1);
  UpdateStatus();
}

void FrameWindow::SetToolbarVisible(bool visible) {
  toolbarVisible_ = visible;
  if (toolbar_) toolbar_->setVisible(visible);
  if (toolbarAction_) toolbarAction_->setChecked(visible);
}

void FrameWindow::WriteSettings() {
  FrameSettings s;
  s.top = y();
  s.left = x();
  s.width = width();
  s.height = height();
  s.toolbar = toolbarVisible_;
  s.project = project_;
  WriteFrameSettings(s);
}

void FrameWindow::closeEvent(QCloseEvent* ev) {
  // Every modified window is asked first; Cancel keeps the frame open.
  for (EditorWindow* e : Editors()) {
    if (!e->QueryClose()) {
      ev->ignore();
      return;
    }
  }
  for (EditorWindow* e : Editors()) e->SetCloseConfirmed(true);
  WriteSettings();
  if (!project_.empty()) SaveProject(project_);
  closing_ = true;
  if (help_) help_->close();
  if (findDialog_) findDialog_->close();
  ev->accept();
}

void FrameWindow::TileSideBySide() { Tile(Qt::Horizontal); }
void FrameWindow::TileAbove() { Tile(Qt::Vertical); }

// The windows that are not minimised share the area in equal strips.
void FrameWindow::Tile(Qt::Orientation along) {
  QList<QMdiSubWindow*> subs;
  for (QMdiSubWindow* s : mdi_->subWindowList(QMdiArea::CreationOrder))
    if (!s->isMinimized()) subs << s;
  if (subs.isEmpty()) return;
  QRect area = mdi_->viewport()->rect();
  const int n = static_cast<int>(subs.size());
  for (int i = 0; i < n; ++i) {
    subs[i]->showNormal();
    if (along == Qt::Horizontal)
      subs[i]->setGeometry(i * (area.width() / n), 0, area.width() / n, area.height());
    else
      subs[i]->setGeometry(0, i * (area.height() / n), area.width(), area.height() / n);
  }
}

void FrameWindow::ArrangeIcons() {
  QRect area = mdi_->viewport()->rect();
  int x = 0, y = area.height();
  for (QMdiSubWindow* s : mdi_->subWindowList(QMdiArea::CreationOrder)) {
    if (!s->isMinimized()) continue;
    QSize size = s->size();
    if (x + size.width() > area.width() && x > 0) {
      x = 0;
      y -= size.height();
    }
    s->move(x, y - size.height());
    x += size.width();
  }
}

void FrameWindow::ShowAnsiTable() {
  if (!ansiTable_) ansiTable_ = new AnsiTable(this);
  ansiTable_->show();
  ansiTable_->raise();
}

}  // namespace ide
