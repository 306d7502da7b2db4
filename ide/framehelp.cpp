// The help of the frame: the help window and context help.
#include "contexthelp.h"
#include "frame.h"
#include "helpwindow.h"

namespace ide {

HelpWindow* FrameWindow::Help() {
  if (!help_) help_ = new HelpWindow(this);
  return help_;
}

void FrameWindow::ContextHelp(EditorWindow* e) {
  QString word;
  if (e) {
    int line, index;
    e->getCursorPosition(&line, &index);
    QString text = e->text(line);
    while (!text.isEmpty() && (text.back() == '\n' || text.back() == '\r')) text.chop(1);
    word = FromWin(ContextWord(ToWin(text), index));
  }
  Help()->ShowSearch(word);
}

}  // namespace ide
