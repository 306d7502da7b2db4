// Starting the tools, the helper programs and the accessories; the options
// that name them.
#include "codepage.h"
#include "frame.h"
#include "launcher.h"
#include "prompts.h"
#include "toolcommands.h"

namespace ide {

void FrameWindow::Launch(const std::string& commandLine) { ide::Launch(commandLine); }

// The question of closing a window, asked of every changed one: a save that
// was cancelled or failed stops the tool too.
bool FrameWindow::AskSaveAll() {
  for (EditorWindow* e : Editors())
    if (!e->QueryClose()) return false;
  return true;
}

void FrameWindow::RunInterpreter(EditorWindow* e) {
  if (!e || !AskSaveAll()) return;
  Launch(InterpreterCommand(ToWin(e->fileName())));
}

void FrameWindow::RunScript(EditorWindow* e) {
  if (!e || !AskSaveAll()) return;
  Launch(ScriptCommand(ToWin(e->fileName())));
}

void FrameWindow::Compile(EditorWindow* e) {
  if (!e || !AskSaveAll()) return;
  Launch(CompilerCommand(ToWin(e->fileName())));
}

void FrameWindow::StartCompiled(EditorWindow* e) {
  if (!e || !AskSaveAll()) return;
  std::string program = FindCompiledProgram(ToWin(e->fileName()));
  if (!program.empty()) {
    Launch(RuntimeCommand(runtime_, program, true));
    return;
  }
  FileDialogRequest r;
  r.title = tr("Tilmor-Programm auswählen:");
  r.filter = "Tilmor-Programme|*.tmc";
  if (std::optional<QString> chosen = Ask().OpenFile(this, r))
    Launch(RuntimeCommand(runtime_, ToWin(*chosen), false));
}

void FrameWindow::StartHelper(const std::string& file) {
  Launch(HelperCommand(runtime_, programDir_, file));
}

void FrameWindow::StartAccessory(const std::string& program, const std::string& shown) {
  if (ide::Launch(program) <= 32)
    Ask().Information(this, kAppTitle, FromWin("\"" + shown + "\" nicht gefunden."));
}

void FrameWindow::CallProgramDialog() {
  FileDialogRequest r;
  r.title = tr("Programm aufrufen:");
  r.filter = "Programme|*.exe;*.pif;*.bat|Alle Dateien|*.*";
  std::optional<QString> chosen = Ask().OpenFile(this, r);
  if (!chosen) return;
  std::string name = ToWin(*chosen);
  // A blank would end the program's name.
  Launch(name.find(' ') == std::string::npos ? name : Quoted(name));
}

void FrameWindow::RuntimeModuleDialog() {
  FileDialogRequest r;
  r.title = tr("Runtime-Modul für das aktuelle Projekt angeben:");
  // Our programs have no ".exe": all files can be chosen too.
  r.filter = "Programme|*.exe|Alle Dateien|*.*";
  r.initial = FromWin(Unquoted(runtime_));
  std::optional<QString> chosen = Ask().OpenFile(this, r);
  if (!chosen) return;
  runtime_ = Quoted(ToWin(*chosen));
  WriteRuntime(runtime_);
}

void FrameWindow::IncludePathDialog() {
  std::optional<QString> path = Ask().Input(this, tr("INCLUDE-PFAD"), tr("Vollständiger Suchpfad für Include-Dateien:"),
                                            FromWin(ReadIncludePath()));
  if (path) WriteIncludePath(ToWin(*path));
}

}  // namespace ide
