// Starting the tools: the save question, the exact command lines, the
// search for the compiled program, helper programs and accessories; and
// the process layer finding our programs under their Windows names.
#include <sys/stat.h>

#include <QTest>
#include <QToolBar>
#include <chrono>
#include <filesystem>
#include <thread>

#include "ide_test.h"
#include "launcher.h"
#include "process.h"
#include "settings.h"

namespace idetest {
namespace {

class ToolTest : public IdeTest {
 protected:
  ide::EditorWindow* Open(const std::string& name, const std::string& text = "PRINT 1\r\n") {
    Write(name, text);
    if (!frame_) Frame();
    return frame_->OpenFile(QString::fromStdString(Path(name)));
  }
};

TEST_F(ToolTest, TheExactCommandLines) {
  ide::EditorWindow* e = Open("prog.tmf");
  frame_->FindAction("&Tilmor/&Ausführen (Interpreter)")->trigger();
  frame_->FindAction("&Tilmor/&Compilieren")->trigger();
  frame_->FindAction("&Tilmor/als Scri&pt-Datei ausführen")->trigger();
  frame_->RunInterpreter(e);
  EXPECT_EQ(launched_, (std::vector<std::string>{
                           "SHTILMOR.EXE \"" + Path("prog.tmf") + "\"",
                           "SHTMCOMP.EXE \"" + Path("prog.tmf") + "\"",
                           "TILMSCR.EXE \"" + Path("prog.tmf") + "\"",
                           "SHTILMOR.EXE \"" + Path("prog.tmf") + "\"",
                       }));
  EXPECT_TRUE(prompts_.log.empty()) << "nothing modified, nothing asked";
}

TEST_F(ToolTest, TheSaveQuestionBeforeATool) {
  ide::EditorWindow* a = Open("a.tmf");
  ide::EditorWindow* b = Open("b.tmf");
  a->setText("PRINT 2\r\n");
  b->setText("PRINT 3\r\n");
  // Cancel: no tool, nothing saved.
  prompts_.questions = {ide::Answer::Cancel};
  frame_->Compile(b);
  EXPECT_TRUE(launched_.empty());
  EXPECT_EQ(prompts_.log.back().toStdString(), "[Frage:] Änderungen in " + Path("a.tmf") + " speichern?");
  // Yes for the first, No for the second: the tool starts.
  prompts_.questions = {ide::Answer::Yes, ide::Answer::No};
  frame_->Compile(b);
  ASSERT_EQ(launched_.size(), 1u);
  EXPECT_EQ(Read("a.tmf"), "PRINT 2\r\n");
  EXPECT_EQ(Read("b.tmf"), "PRINT 1\r\n");
  EXPECT_FALSE(a->isModified());
  EXPECT_TRUE(b->isModified());
  // Cancel at the second window stops the request too.
  prompts_.questions = {ide::Answer::Cancel};
  frame_->RunInterpreter(b);
  EXPECT_EQ(launched_.size(), 1u);
  ExpectAllAnswersUsed();
}

TEST_F(ToolTest, ASaveThatDidNotHappenStopsTheTool) {
  Frame();
  ide::EditorWindow* e = frame_->NewFile();
  e->setText("PRINT 4\r\n");
  // Yes, then the name is not given: "OhneName" stays unsaved, no tool runs.
  prompts_.questions = {ide::Answer::Yes};
  prompts_.saveFiles = {std::nullopt};
  frame_->RunInterpreter(e);
  EXPECT_TRUE(launched_.empty());
  EXPECT_EQ(e->fileName(), "OhneName");
  EXPECT_TRUE(e->isModified());
  ExpectAllAnswersUsed();
}

TEST_F(ToolTest, StartRunsTheCompiledProgramOfTheCurrentDirectoryFirst) {
  ide::EditorWindow* e = Open("src/DEMO.TMF");
  Write("src/DEMO.TMC", "beside");
  frame_->StartCompiled(e);
  ASSERT_EQ(launched_.size(), 1u);
  EXPECT_EQ(launched_[0], frame_->RuntimeModule() + " \"" + Path("src/") + "DEMO.TMC\"");
  Write("DEMO.TMC", "here");
  frame_->FindAction("&Tilmor/Sta&rten")->trigger();
  ASSERT_EQ(launched_.size(), 2u);
  EXPECT_EQ(launched_[1], frame_->RuntimeModule() + " \"DEMO.TMC\"");
}

TEST_F(ToolTest, StartAsksForAMissingCompiledProgram) {
  ide::EditorWindow* e = Open("nix.tmf");
  prompts_.openFiles = {QString::fromStdString(Path("anders.tmc"))};
  frame_->StartCompiled(e);
  ASSERT_EQ(prompts_.fileRequests.size(), 1u);
  EXPECT_EQ(prompts_.fileRequests[0].title, "Tilmor-Programm auswählen:");
  EXPECT_EQ(prompts_.fileRequests[0].filter, "Tilmor-Programme|*.tmc");
  ASSERT_EQ(launched_.size(), 1u);
  EXPECT_EQ(launched_[0], frame_->RuntimeModule() + " " + Path("anders.tmc")) << "appended without quotes";
  prompts_.openFiles = {std::nullopt};
  frame_->StartCompiled(e);
  EXPECT_EQ(launched_.size(), 1u) << "cancelled: nothing started";
}

TEST_F(ToolTest, TheRuntimeModuleOfTheProject) {
  ide::EditorWindow* e = Open("p.tmf");
  Write("DEMO.TMC", "");
  std::string runtime = Write("mein rt/TLMRUN32.EXE", "");
  prompts_.openFiles = {QString::fromStdString(runtime)};
  frame_->FindAction("&Optionen/&Runtime-Modul des Projektes...")->trigger();
  ASSERT_EQ(prompts_.fileRequests.size(), 1u);
  EXPECT_EQ(prompts_.fileRequests[0].title, "Runtime-Modul für das aktuelle Projekt angeben:");
  EXPECT_EQ(prompts_.fileRequests[0].initial.toStdString(), BinDir() + "TLMRUN32.EXE") << "without quotes";
  EXPECT_EQ(frame_->RuntimeModule(), "\"" + runtime + "\"");
  EXPECT_NE(IniText().find("[LINK]\r\nRuntime=\"" + runtime + "\""), std::string::npos) << IniText();
  Write("p.TMC", "");
  frame_->StartCompiled(e);
  ASSERT_EQ(launched_.size(), 1u);
  EXPECT_EQ(launched_[0], "\"" + runtime + "\" \"p.TMC\"");
  // The project keeps it.
  frame_->SaveProject(Path("r.prj"));
  EXPECT_EQ(Read("r.prj").substr(0, runtime.size() + 6), "$3=\"" + runtime + "\"\r");
}

TEST_F(ToolTest, TheIncludePath) {
  Frame();
  frame_->NewFile();
  Write("win/TILMED32.INI", "[COMPILE]\r\nInclude=C:\\alt\r\n");
  prompts_.inputs = {QString("C:\\inc;D:\\lib")};
  frame_->FindAction("&Optionen/&Include-Pfad...")->trigger();
  EXPECT_EQ(prompts_.log.back(), "[INCLUDE-PFAD] Vollständiger Suchpfad für Include-Dateien: <C:\\alt>");
  EXPECT_EQ(ide::ReadIncludePath(), "C:\\inc;D:\\lib");
}

TEST_F(ToolTest, HelperProgramsRunInTheRuntimeModule) {
  Frame();
  const std::vector<std::pair<QString, std::string>> items = {
      {"&Helfer/Datenbank&struktur", "STRUKTUR.HLF"}, {"&Helfer/&Tabellen bearbeiten", "TABELLEN.HLF"},
      {"&Helfer/&Fenster gestalten", "FENSTER.HLF"},   {"&Helfer/&Dialoge gestalten", "DIALOGE.HLF"},
      {"&Helfer/&Menüdesigner", "MENUE.HLF"},          {"&Helfer/&Benutzermenü", "BENUTZER.HLF"}};
  launchResult_ = 2;  // a failing start is not reported
  for (const auto& [path, file] : items) {
    frame_->FindAction(path)->trigger();
    EXPECT_EQ(launched_.back(), BinDir() + "TLMRUN32.EXE \"" + BinDir() + file + "\"");
  }
  for (QAction* a : frame_->ToolBar()->actions())
    if (a->toolTip() == "Benutzermenü aufrufen/ändern") a->trigger();
  EXPECT_EQ(launched_.back(), BinDir() + "TLMRUN32.EXE \"" + BinDir() + "BENUTZER.HLF\"");
  EXPECT_TRUE(prompts_.log.empty());
}

TEST_F(ToolTest, AccessoriesReportAFailingStart) {
  Frame();
  launchResult_ = 2;
  frame_->FindAction("&Fenster/&Rechner")->trigger();
  frame_->FindAction("&Fenster/Termin-&Kalender")->trigger();
  frame_->NewFile();
  frame_->FindAction("&Bearbeiten/&Zwischenablage")->trigger();
  EXPECT_EQ(launched_, (std::vector<std::string>{"calc.exe", "calendar.exe", "clipbrd.exe"}));
  ASSERT_EQ(prompts_.log.size(), 3u);
  EXPECT_EQ(prompts_.log[0], "[ZEL-TILMOR-Editor 5.0a-32] \"CALC.EXE\" nicht gefunden.");
  EXPECT_EQ(prompts_.log[1], "[ZEL-TILMOR-Editor 5.0a-32] \"CALENDAR.EXE\" nicht gefunden.");
  EXPECT_EQ(prompts_.log[2], "[ZEL-TILMOR-Editor 5.0a-32] \"CLIPBRD.EXE\" nicht gefunden.");
  launchResult_ = 33;
  frame_->FindAction("&Fenster/&Rechner")->trigger();
  EXPECT_EQ(prompts_.log.size(), 3u);
}

TEST_F(ToolTest, CallProgram) {
  Frame();
  prompts_.openFiles = {QString::fromStdString(Path("ein programm.sh"))};
  frame_->FindAction("&Datei/Programm &aufrufen...")->trigger();
  EXPECT_EQ(prompts_.fileRequests[0].title, "Programm aufrufen:");
  EXPECT_EQ(prompts_.fileRequests[0].filter, "Programme|*.exe;*.pif;*.bat|Alle Dateien|*.*");
  EXPECT_EQ(launched_, (std::vector<std::string>{"\"" + Path("ein programm.sh") + "\""}));
}

// Without the recorder: the process layer finds our programs by the names
// the editor uses.
TEST_F(ToolTest, TheWindowsNamesFindOurPrograms) {
  for (const auto& [name, program] : std::vector<std::pair<std::string, std::string>>{
           {"SHTILMOR.EXE", "shtilmor"}, {"SHTMCOMP.EXE", "shtmcomp"}, {"TLMRUN32.EXE", "tlmrun32"}}) {
    int error = 0;
    std::string found = win::FindProgram(name, BinDir(), &error);
    EXPECT_EQ(std::filesystem::path(found).filename(), program) << name << " error " << error;
  }
}

TEST_F(ToolTest, AnAccessoryOnThePathReallyStarts) {
  std::string bin = Path("bin");
  std::filesystem::create_directories(bin);
  std::string marker = Path("gestartet");
  std::string script = Write("bin/calc", "#!/bin/sh\necho \"$@\" > " + marker + "\n");
  chmod(script.c_str(), 0755);
  std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (bin + ":" + oldPath).c_str(), 1);
  ide::SetLaunchHook({});
  Frame();
  frame_->FindAction("&Fenster/&Rechner")->trigger();
  for (int i = 0; i < 100 && !std::filesystem::exists(marker); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  setenv("PATH", oldPath.c_str(), 1);
  EXPECT_TRUE(std::filesystem::exists(marker));
  EXPECT_TRUE(prompts_.log.empty());
  // And one that is nowhere.
  setenv("PATH", bin.c_str(), 1);
  frame_->FindAction("&Fenster/Termin-&Kalender")->trigger();
  setenv("PATH", oldPath.c_str(), 1);
  ASSERT_EQ(prompts_.log.size(), 1u);
  EXPECT_EQ(prompts_.log[0], "[ZEL-TILMOR-Editor 5.0a-32] \"CALENDAR.EXE\" nicht gefunden.");
}

TEST_F(ToolTest, TheInterpreterReallyRunsTheProgram) {
  std::string out = Path("ausgabe.txt");
  ide::EditorWindow* e = Open("lauf.tmf", "ASSIGN #1,\"" + out + "\"\r\nREWRITE #1\r\nPRINT #1,\"gelaufen\"\r\nCLOSE #1\r\n");
  ASSERT_NE(e, nullptr);
  ide::SetLaunchHook({});
  frame_->RunInterpreter(e);
  for (int i = 0; i < 250 && Read(out).empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(Read(out), "gelaufen\r\n");
}

}  // namespace
}  // namespace idetest
