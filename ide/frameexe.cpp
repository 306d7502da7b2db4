// "&Exe-Datei erstellen..." and "&Screensaver erstellen...": the program is
// compiled by the compiler's own code, then carried by a copy of the
// runtime module beside the source.
#include <QApplication>

#include "codepage.h"
#include "compiler.h"
#include "exebuilder.h"
#include "frame.h"
#include "launcher.h"
#include "process.h"
#include "prompts.h"
#include "toolcommands.h"
#include "winpath.h"

namespace ide {
namespace {

// The compiler's boxes as the editor's; no progress window.
class EditorCompilerUi : public tilmor::comp::CompilerUi {
 public:
  explicit EditorCompilerUi(QWidget* parent) : parent_(parent) {}
  void OpenProgress() override {}
  void TextAt(int, int, const std::string&) override {}
  void CloseProgress() override {}
  std::string ChooseSource() override { return {}; }
  void Box(const std::string& text, const std::string& title, UINT type) override {
    if (type & MB_ICONERROR) Ask().Error(parent_, FromWin(title), FromWin(text));
  }

 private:
  QWidget* parent_;
};

}  // namespace

void FrameWindow::MakeExecutable(EditorWindow* e, bool screenSaver) {
  if (!e || !AskSaveAll()) return;
  std::string source = ToWin(e->fileName());
  if (!win::HasExtension(source)) source += ".TMF";
  const std::string output = ExecutableName(source, screenSaver);
  // A source without extension has the executable's name: never write over it.
  if (win::HostPath(output) == win::HostPath(ToWin(e->fileName()))) {
    Ask().Error(this, tr("Fehler"), tr("%1 ist die geöffnete Datei und wird nicht überschrieben.").arg(FromWin(output)));
    return;
  }
  EditorCompilerUi ui(this);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  int code = tilmor::comp::Compile({source}, ui, ReadIncludePath());
  QApplication::restoreOverrideCursor();
  if (code != 0) return;  // the compiler said why

  int error = 0;
  std::string runtime = win::FindProgram(win::SplitCommandLine(runtime_).empty()
                                             ? std::string()
                                             : win::SplitCommandLine(runtime_)[0],
                                         ProgramDirectory(), &error);
  if (runtime.empty()) {
    Ask().Error(this, tr("Fehler"), FromWin("Runtime-Modul nicht gefunden: " + runtime_));
    return;
  }
  std::string message;
  if (!WriteExecutable(runtime, win::HostPath(tilmor::comp::OutputName(source)), win::HostPath(output),
                       screenSaver, &message)) {
    Ask().Error(this, tr("Fehler"), FromWin(message));
    return;
  }
  Ask().Information(this, kAppTitle,
                    (screenSaver ? tr("Der Bildschirmschoner %1 wurde erstellt.") : tr("Das Programm %1 wurde erstellt."))
                        .arg(FromWin(output)));
}

}  // namespace ide
