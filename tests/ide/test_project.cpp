// Project files: reading and writing the lines, and the frame opening,
// saving and closing projects.
#include <unistd.h>

#include <filesystem>

#include "ide_test.h"
#include "project.h"
#include "winpath.h"

namespace idetest {
namespace {

class ProjectTest : public IdeTest {};

TEST(ProjectLines, SettingsAndFilesInOrder) {
  ide::ProjectFile p = ide::ParseProject("$3=\"C:\\TILMOR\\TLMRUN32.EXE\"\r\n$P=C:\\ARBEIT\r\nA.TMF\r\nB.TMF\r\n");
  EXPECT_EQ(p.runtime, "\"C:\\TILMOR\\TLMRUN32.EXE\"");
  EXPECT_EQ(p.workdir, "C:\\ARBEIT");
  EXPECT_EQ(p.files, (std::vector<std::string>{"A.TMF", "B.TMF"}));
}

TEST(ProjectLines, TheThirdCharacterIsSkippedAndOtherDollarLinesIgnored) {
  // The value starts at the fourth character whatever the third is.
  ide::ProjectFile p = ide::ParseProject("$P:D:\\X\n$X=whatever\n$\n$3\nC.TMF\n");
  EXPECT_EQ(p.workdir, "D:\\X");
  EXPECT_EQ(p.runtime, "") << "a bare $3 sets an empty runtime module";
  EXPECT_EQ(p.files, (std::vector<std::string>{"C.TMF"}));
}

TEST(ProjectLines, LaterSettingsWinAndEmptyLinesNameNoFile) {
  ide::ProjectFile p = ide::ParseProject("$P=one\r\n\r\nX.TMF\r\n$P=two\r\n\r\n");
  EXPECT_EQ(p.workdir, "two");
  EXPECT_FALSE(p.runtime.has_value());
  EXPECT_EQ(p.files, (std::vector<std::string>{"X.TMF"}));
}

TEST(ProjectLines, WritingAndReadingAgree) {
  std::vector<std::string> files{"C:\\A.TMF", "lib\\b.inc", "OhneName"};
  std::string text = ide::FormatProject("TLMRUN32.EXE", "C:\\W", files);
  EXPECT_EQ(text, "$3=TLMRUN32.EXE\r\n$P=C:\\W\r\nC:\\A.TMF\r\nlib\\b.inc\r\nOhneName\r\n");
  ide::ProjectFile p = ide::ParseProject(text);
  EXPECT_EQ(p.runtime, "TLMRUN32.EXE");
  EXPECT_EQ(p.workdir, "C:\\W");
  EXPECT_EQ(p.files, files);
}

TEST_F(ProjectTest, OpeningSetsRuntimeOpensWindowsAndChangesDirectory) {
  std::filesystem::create_directories(Path("arbeit"));
  Write("src/eins.tmf", "PRINT 1\r\n");
  Write("src/zwei.tmf", "PRINT 2\r\n");
  Write("p.prj", "$3=\"/opt/tilmor/TLMRUN32.EXE\"\r\n$P=" + Path("arbeit") + "\r\n" + Path("src/eins.tmf") +
                     "\r\n" + Path("src/zwei.tmf") + "\r\n");
  ide::FrameWindow& f = Frame();
  f.OpenProject(Path("p.prj"));
  ASSERT_EQ(f.Editors().size(), 2u);
  EXPECT_EQ(f.Editors()[0]->fileName().toStdString(), Path("src/eins.tmf"));
  EXPECT_EQ(f.Editors()[1]->fileName().toStdString(), Path("src/zwei.tmf"));
  EXPECT_EQ(f.Editors()[1]->text().toStdString(), "PRINT 2\r\n");
  EXPECT_EQ(f.RuntimeModule(), "\"/opt/tilmor/TLMRUN32.EXE\"");
  EXPECT_EQ(f.WorkingDirectory(), Path("arbeit"));
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(std::string(cwd), Path("arbeit"));
  EXPECT_EQ(f.StatusTexts()[2].toStdString(), "Projekt: " + Path("p.prj"));
}

TEST_F(ProjectTest, WindowsFileNamesOfTheProjectResolve) {
  Write("SRC/Prog.tmf", "END\r\n");
  Write("p.prj", "$P=.\r\nsrc\\PROG.TMF\r\n");
  ide::FrameWindow& f = Frame();
  f.OpenProject("P.PRJ");
  ASSERT_EQ(f.Editors().size(), 1u);
  EXPECT_EQ(f.Editors()[0]->text().toStdString(), "END\r\n");
}

TEST_F(ProjectTest, AnUnreadableProjectIsSkippedSilently) {
  ide::FrameWindow& f = Frame();
  f.OpenProject(Path("fehlt.prj"));
  EXPECT_TRUE(f.Editors().empty());
  EXPECT_TRUE(prompts_.log.empty());
  EXPECT_EQ(f.WorkingDirectory(), BinDir());
}

TEST_F(ProjectTest, SavingWritesRuntimeDirectoryAndWindowsInCreationOrder) {
  Write("a.tmf", "A\r\n");
  Write("b.tmf", "B\r\n");
  ide::FrameWindow& f = Frame();
  f.OpenFile(QString::fromStdString(Path("b.tmf")));
  f.OpenFile(QString::fromStdString(Path("a.tmf")));
  f.NewFile();
  f.SaveProject(Path("x.prj"));
  EXPECT_EQ(Read("x.prj"), "$3=" + BinDir() + "TLMRUN32.EXE\r\n$P=" + BinDir() + "\r\n" + Path("b.tmf") +
                               "\r\n" + Path("a.tmf") + "\r\nOhneName\r\n");
}

TEST_F(ProjectTest, SavingWhereNoFileCanBeCreatedIsSilent) {
  ide::FrameWindow& f = Frame();
  f.SaveProject(Path("kein/verzeichnis/x.prj"));
  EXPECT_FALSE(std::filesystem::exists(Path("kein")));
  EXPECT_TRUE(prompts_.log.empty());
}

TEST_F(ProjectTest, SaveAsStartsInTheWorkingDirectoryAndReturnsThere) {
  std::filesystem::create_directories(Path("w"));
  Write("p.prj", "$P=" + Path("w") + "\r\n");
  ide::FrameWindow& f = Frame();
  f.OpenProject(Path("p.prj"));
  ASSERT_EQ(chdir(dir_.c_str()), 0);  // somewhere else meanwhile
  prompts_.saveFiles = {QString::fromStdString(Path("neu.prj"))};
  f.SaveProjectAsDialog();
  ASSERT_EQ(prompts_.fileRequests.size(), 1u);
  EXPECT_EQ(prompts_.fileRequests[0].title, "Geben Sie dem Projekt einen Namen:");
  EXPECT_EQ(prompts_.fileRequests[0].filter, "Projektdatei|*.prj");
  EXPECT_EQ(prompts_.fileRequests[0].defaultExt, "prj");
  EXPECT_EQ(prompts_.fileRequests[0].initial.toStdString(), Path("p.prj"));
  EXPECT_EQ(f.ProjectName(), Path("neu.prj"));
  EXPECT_EQ(Read("neu.prj"), "$3=" + BinDir() + "TLMRUN32.EXE\r\n$P=" + Path("w") + "\r\n");
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(std::string(cwd), Path("w"));
}

TEST_F(ProjectTest, OpenProjectDialogClosesTheWindowsFirst) {
  Write("a.tmf", "A\r\n");
  Write("q.prj", "$P=.\r\n" + Path("a.tmf") + "\r\n");
  ide::FrameWindow& f = Frame();
  f.NewFile()->setText("geändert");
  prompts_.openFiles = {QString::fromStdString(Path("q.prj"))};
  prompts_.questions = {ide::Answer::No};
  f.OpenProjectDialog();
  EXPECT_EQ(prompts_.fileRequests[0].title, "Projekt öffnen");
  EXPECT_EQ(prompts_.fileRequests[0].filter, "Projektdateien|*.prj");
  QApplication::processEvents();
  ASSERT_EQ(f.Editors().size(), 1u);
  EXPECT_EQ(f.Editors()[0]->fileName().toStdString(), Path("a.tmf"));
  EXPECT_EQ(f.ProjectName(), Path("q.prj"));
  ExpectAllAnswersUsed();
}

TEST_F(ProjectTest, ACancelledCloseKeepsTheProject) {
  ide::FrameWindow& f = Frame();
  f.OpenProject(Path("alt.prj"));
  f.NewFile()->setText("x");
  prompts_.questions = {ide::Answer::Cancel};
  f.CloseProject();
  EXPECT_EQ(f.ProjectName(), Path("alt.prj"));
  EXPECT_EQ(f.Editors().size(), 1u);
}

TEST_F(ProjectTest, ClosingTheProjectEmptiesTheNameAndWritesNothing) {
  ide::FrameWindow& f = Frame();
  f.OpenProject(Path("p.prj"));
  f.NewFile();
  f.CloseProject();
  QApplication::processEvents();
  EXPECT_EQ(f.ProjectName(), "");
  EXPECT_TRUE(f.Editors().empty());
  EXPECT_FALSE(std::filesystem::exists(Path("p.prj")));
  EXPECT_EQ(f.StatusTexts()[2].toStdString(), "Projekt: ");
}

TEST_F(ProjectTest, NewProjectClosesWindowsThenAsksForTheName) {
  ide::FrameWindow& f = Frame();
  f.NewFile();
  prompts_.saveFiles = {QString::fromStdString(Path("frisch.prj"))};
  f.NewProject();
  QApplication::processEvents();
  EXPECT_TRUE(f.Editors().empty());
  EXPECT_EQ(f.ProjectName(), Path("frisch.prj"));
  EXPECT_EQ(Read("frisch.prj"), "$3=" + BinDir() + "TLMRUN32.EXE\r\n$P=" + BinDir() + "\r\n");
}

}  // namespace
}  // namespace idetest
