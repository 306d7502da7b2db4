// Searching and replacing in the active editor window, with the texts and
// options all windows share.
#include "finddialogs.h"
#include "frame.h"
#include "prompts.h"

namespace ide {

void FrameWindow::ShowFind() {
  if (!findDialog_) findDialog_ = new FindDialog(this);
  findDialog_->Preset();
  findDialog_->show();
  findDialog_->raise();
}

void FrameWindow::ShowReplace() {
  if (!replaceDialog_) replaceDialog_ = new ReplaceDialog(this);
  replaceDialog_->Preset();
  replaceDialog_->show();
  replaceDialog_->raise();
}

void FrameWindow::FindNext() {
  if (!searched_) return;
  FindInEditor(ActiveEditor());
}

bool FrameWindow::FindInEditor(EditorWindow* e, bool showMessage) {
  if (!e) return false;
  searched_ = true;
  findNextAction_->setEnabled(true);
  if (e->Find(search_)) return true;
  // Two blanks before the words here, one after a replace.
  if (showMessage) Ask().Information(this, tr("Information"), "\"" + search_.text + "\"  nicht gefunden!");
  return false;
}

void FrameWindow::ReplaceInEditor(EditorWindow* e, bool all) {
  if (!e) return;
  searched_ = true;
  findNextAction_->setEnabled(true);
  bool found = all ? e->ReplaceAll(search_, replaceText_) > 0 : e->ReplaceOne(search_, replaceText_);
  if (!found) Ask().Information(this, tr("Information"), "\"" + search_.text + "\" nicht gefunden!");
}

}  // namespace ide
