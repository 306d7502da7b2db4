// Stand-alone programs and screen savers: the carried program's layout,
// and executables made by the editor running their program.
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "appended.h"
#include "exebuilder.h"
#include "ide_test.h"

namespace idetest {
namespace {

using tilmor::rt::AppendedProgram;

class Appended : public IdeTest {
 protected:
  // The reader the runtime uses, on `bytes` written to a file.
  std::optional<AppendedProgram> Load(const std::string& bytes) {
    return tilmor::rt::ReadAppendedProgram(Write("prog", bytes));
  }
};

TEST_F(Appended, RoundTripAndTheRuntimePart) {
  AppendedProgram a{"PROGRAMM", tilmor::rt::kAppendedScreenSaver, "/opt/tilmor/bin"};
  std::string exe = tilmor::rt::AppendProgram("RUNTIME", a);
  EXPECT_EQ(exe.substr(0, 7), "RUNTIME");
  std::optional<AppendedProgram> back = Load(exe);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->program, "PROGRAMM");
  EXPECT_EQ(back->flags, tilmor::rt::kAppendedScreenSaver);
  EXPECT_EQ(back->moduleDir, "/opt/tilmor/bin");
  EXPECT_EQ(tilmor::rt::RuntimePart(exe), "RUNTIME");
  // Made again from a copy that carries a program: the old one goes.
  std::string again = tilmor::rt::AppendProgram(exe, AppendedProgram{"NEU", 0, ""});
  EXPECT_EQ(tilmor::rt::RuntimePart(again), "RUNTIME");
  EXPECT_EQ(Load(again)->program, "NEU");
}

TEST_F(Appended, PlainFilesAndDamagedTrailersCarryNothing) {
  EXPECT_FALSE(Load("ein ganz normales Programm"));
  EXPECT_FALSE(Load(""));
  EXPECT_FALSE(tilmor::rt::ReadAppendedProgram("/gibt/es/nicht"));
  std::string exe = tilmor::rt::AppendProgram("RT", AppendedProgram{"P", 0, "D"});
  std::string cut = exe.substr(1);  // the offsets no longer fit
  EXPECT_FALSE(Load(cut));
  std::string longer = "X" + exe.substr(0, exe.size() - 40) + "Y" + exe.substr(exe.size() - 40);
  EXPECT_FALSE(Load(longer));
  std::string bent = exe;
  bent[bent.size() - 40] = 'X';  // the magic
  EXPECT_FALSE(Load(bent));
  EXPECT_EQ(tilmor::rt::RuntimePart(bent), bent);
}

TEST(ExeName, TheNameBesideTheSource) {
  EXPECT_EQ(ide::ExecutableName("/home/u/DEMO.TMF", false), "/home/u/DEMO");
  EXPECT_EQ(ide::ExecutableName("C:\\PROG\\uhr.tmf", true), "C:\\PROG\\uhr.scr");
  EXPECT_EQ(ide::ExecutableName("ohne", false), "ohne");
}

class ExeTest : public IdeTest {
 protected:
  // Runs a command; its standard output and exit code.
  std::pair<std::string, int> Run(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return {"", -1};
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    int status = pclose(p);
    return {out, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
  }
};

TEST_F(ExeTest, TheExecutableRunsItsProgramWithItsArguments) {
  Write("hallo.tmf", "PRINT \"Hallo\"\r\nPRINT @PAR$(2)\r\n");
  Frame();
  ide::EditorWindow* e = frame_->OpenFile(QString::fromStdString(Path("hallo.tmf")));
  e->append("PRINT \"geändert\"\r\n");
  prompts_.questions = {ide::Answer::Yes};
  frame_->FindAction("&Tilmor/&Exe-Datei erstellen...")->trigger();
  ASSERT_FALSE(prompts_.log.empty());
  EXPECT_EQ(prompts_.log.back().toStdString(),
            "[ZEL-TILMOR-Editor 5.0a-32] Das Programm " + Path("hallo") + " wurde erstellt.");
  ASSERT_TRUE(std::filesystem::exists(Path("hallo")));
  EXPECT_TRUE(std::filesystem::exists(Path("hallo.tmc"))) << "compiled beside the source";
  struct stat st;
  ASSERT_EQ(stat(Path("hallo").c_str(), &st), 0);
  EXPECT_TRUE(st.st_mode & S_IXUSR);
  // Elsewhere, as a program of its own.
  std::filesystem::create_directories(Path("anderswo"));
  std::filesystem::rename(Path("hallo"), Path("anderswo/hallo"));
  std::filesystem::remove(Path("hallo.tmc"));
  auto [out, code] = Run("cd '" + Path("anderswo") + "' && timeout 60 ./hallo --batch Welt 2>&1");
  EXPECT_EQ(code, 0) << out;
  EXPECT_EQ(out, "Hallo\nWelt\ngeändert\n");
}

TEST_F(ExeTest, ACompileErrorMakesNoExecutable) {
  Write("kaputt.tmf", "PRINT \"offen\r\n");
  Frame();
  frame_->MakeExecutable(frame_->OpenFile(QString::fromStdString(Path("kaputt.tmf"))), false);
  EXPECT_FALSE(std::filesystem::exists(Path("kaputt")));
  ASSERT_FALSE(prompts_.log.empty());
  EXPECT_TRUE(prompts_.log.back().contains("Zeile")) << prompts_.log.back().toStdString();
}

TEST_F(ExeTest, ASourceWithoutExtensionIsNeverOverwritten) {
  // The open file "prog" would be the executable's name of "prog.TMF".
  Write("prog", "PRINT 1\r\n");
  Write("prog.TMF", "PRINT 2\r\n");
  Frame();
  frame_->MakeExecutable(frame_->OpenFile(QString::fromStdString(Path("prog"))), false);
  EXPECT_EQ(Read("prog"), "PRINT 1\r\n");
  EXPECT_FALSE(std::filesystem::exists(Path("prog.tmc")));
  ASSERT_FALSE(prompts_.log.empty());
  EXPECT_TRUE(prompts_.log.back().contains("nicht überschrieben")) << prompts_.log.back().toStdString();
}

TEST_F(ExeTest, CancelledQuestionMakesNothing) {
  Write("x.tmf", "END\r\n");
  Frame();
  ide::EditorWindow* e = frame_->OpenFile(QString::fromStdString(Path("x.tmf")));
  e->setText("PRINT 1\r\n");
  prompts_.questions = {ide::Answer::Cancel};
  frame_->FindAction("&Tilmor/&Screensaver erstellen...")->trigger();
  EXPECT_FALSE(std::filesystem::exists(Path("x.scr")));
  EXPECT_FALSE(std::filesystem::exists(Path("x.tmc")));
}

TEST_F(ExeTest, TheScreenSaverEndsOnAKeyOrAMove) {
  // A program that never ends by itself, polling the keyboard.
  Write("schoner.tmf", "DECLARE A$\r\nSCHLEIFE:\r\nLET A$ = @INKEY$()\r\nGOTO SCHLEIFE\r\n");
  Write("taste.script", "wait 50\ntype \"x\"\n");
  Write("maus.script", "move 10 10\nwait 50\nmove 200 150\n");
  Frame();
  ide::EditorWindow* e = frame_->OpenFile(QString::fromStdString(Path("schoner.tmf")));
  frame_->MakeExecutable(e, true);
  frame_->MakeExecutable(e, false);
  ASSERT_TRUE(std::filesystem::exists(Path("schoner.scr")));
  ASSERT_TRUE(std::filesystem::exists(Path("schoner")));
  auto [keyOut, keyCode] = Run("timeout 30 '" + Path("schoner.scr") + "' --batch --script '" +
                               Path("taste.script") + "' 2>&1");
  EXPECT_NE(keyCode, 124) << "still running after 30 s: " << keyOut;
  auto [moveOut, moveCode] = Run("timeout 30 '" + Path("schoner.scr") + "' --batch --script '" +
                                 Path("maus.script") + "' 2>&1");
  EXPECT_NE(moveCode, 124) << "still running after 30 s: " << moveOut;
  // Without input it runs on, full screen or not.
  Write("nichts.script", "wait 50\n");
  auto [idleOut, idleCode] = Run("timeout 3 '" + Path("schoner.scr") + "' --batch --script '" +
                                 Path("nichts.script") + "' 2>&1");
  EXPECT_EQ(idleCode, 124) << idleOut;
  // The same program made as a plain executable runs on.
  auto [plainOut, plainCode] = Run("timeout 3 '" + Path("schoner") + "' --batch --script '" +
                                   Path("taste.script") + "' 2>&1");
  EXPECT_EQ(plainCode, 124) << plainOut;
}

}  // namespace
}  // namespace idetest
