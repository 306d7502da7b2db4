// Projects of the frame: opening, saving, the project dialogs.
#include "frame.h"
#include "project.h"
#include "prompts.h"
#include "winpath.h"

namespace ide {

void FrameWindow::OpenProject(const std::string& name) {
  project_ = name;
  if (std::optional<std::string> text = ReadProjectText(name)) {
    ProjectFile p = ParseProject(*text);
    if (p.workdir) workdir_ = *p.workdir;
    if (p.runtime) runtime_ = *p.runtime;
    for (const std::string& file : p.files) OpenFile(FromWin(file));
    win::SetCurrentDirectory(workdir_);
  }
  UpdateStatus();
}

void FrameWindow::SaveProject(const std::string& name) const {
  if (name.empty()) return;
  std::vector<std::string> files;
  for (EditorWindow* e : Editors()) files.push_back(ToWin(e->fileName()));
  WriteProjectText(name, FormatProject(runtime_, workdir_, files));
}

void FrameWindow::NewProject() {
  if (!CloseAllEditors()) return;
  SaveProjectAsDialog();
  UpdateStatus();
}

void FrameWindow::OpenProjectDialog() {
  FileDialogRequest r;
  r.title = tr("Projekt öffnen");
  r.filter = "Projektdateien|*.prj";
  std::optional<QString> name = Ask().OpenFile(this, r);
  if (!name) return;
  if (!CloseAllEditors()) return;
  OpenProject(ToWin(*name));
}

// The dialog starts in the working directory, and whatever directory it
// ends in, the working directory is current afterwards.
void FrameWindow::SaveProjectAsDialog() {
  win::SetCurrentDirectory(workdir_);
  FileDialogRequest r;
  r.title = tr("Geben Sie dem Projekt einen Namen:");
  r.filter = "Projektdatei|*.prj";
  r.defaultExt = "prj";
  r.initial = FromWin(project_);
  if (std::optional<QString> name = Ask().SaveFile(this, r)) {
    project_ = ToWin(*name);
    SaveProject(project_);
  }
  win::SetCurrentDirectory(workdir_);
  UpdateStatus();
}

void FrameWindow::CloseProject() {
  if (!CloseAllEditors()) return;
  project_.clear();
  UpdateStatus();
}

}  // namespace ide
