// The command line: "@project" and file names in order; without arguments
// the project of the settings.
#include "ide_test.h"
#include "settings.h"

namespace idetest {
namespace {

class CommandLineTest : public IdeTest {
 protected:
  void SetUp() override {
    IdeTest::SetUp();
    Write("a.tmf", "A\r\n");
    Write("b.tmf", "B\r\n");
    Write("c.tmf", "C\r\n");
    Write("p.prj", "$3=RT.EXE\r\n$P=" + dir_ + "\r\n" + Path("a.tmf") + "\r\n" + Path("b.tmf") + "\r\n");
  }
  std::vector<std::string> Names() {
    std::vector<std::string> out;
    for (ide::EditorWindow* e : frame_->Editors()) out.push_back(e->fileName().toStdString());
    return out;
  }
};

TEST_F(CommandLineTest, AProjectAndAFile) {
  Frame({QString::fromStdString("@" + Path("p.prj")), QString::fromStdString(Path("c.tmf"))});
  EXPECT_EQ(Names(), (std::vector<std::string>{Path("a.tmf"), Path("b.tmf"), Path("c.tmf")}));
  EXPECT_EQ(frame_->ProjectName(), Path("p.prj"));
  EXPECT_EQ(frame_->RuntimeModule(), "RT.EXE");
}

TEST_F(CommandLineTest, FilesInTheirOrder) {
  Frame({QString::fromStdString(Path("c.tmf")), QString::fromStdString(Path("a.tmf"))});
  EXPECT_EQ(Names(), (std::vector<std::string>{Path("c.tmf"), Path("a.tmf")}));
  EXPECT_EQ(frame_->ProjectName(), "");
}

TEST_F(CommandLineTest, NoArgumentsOpenTheProjectOfTheSettings) {
  Write("win/TILMED32.INI", "[Tilmed]\r\nProjekt=" + Path("p.prj") + "\r\n");
  Frame({});
  EXPECT_EQ(Names(), (std::vector<std::string>{Path("a.tmf"), Path("b.tmf")}));
  EXPECT_EQ(frame_->ProjectName(), Path("p.prj"));
}

TEST_F(CommandLineTest, ArgumentsWinOverTheProjectOfTheSettings) {
  Write("win/TILMED32.INI", "[Tilmed]\r\nProjekt=" + Path("p.prj") + "\r\n");
  Frame({QString::fromStdString(Path("c.tmf"))});
  EXPECT_EQ(Names(), (std::vector<std::string>{Path("c.tmf")}));
}

TEST_F(CommandLineTest, NoArgumentsAndNoProjectOpenNothing) {
  Frame({});
  EXPECT_TRUE(frame_->Editors().empty());
  EXPECT_EQ(frame_->StatusTexts(), (QStringList{"", "", "Projekt: "}));
}

TEST_F(CommandLineTest, AMissingFileIsReportedAndOpensNoWindow) {
  Frame({QString::fromStdString(Path("fehlt.tmf")), QString::fromStdString(Path("a.tmf"))});
  EXPECT_EQ(Names(), (std::vector<std::string>{Path("a.tmf")}));
  ASSERT_EQ(prompts_.log.size(), 1u);
  EXPECT_EQ(prompts_.log[0].toStdString(), "[Fehler] Die Datei " + Path("fehlt.tmf") + " kann nicht geöffnet werden.");
}

TEST_F(CommandLineTest, TheOpenDialogUsesTheFilterOfTheSettings) {
  Write("win/TILMED32.INI", "[Projekt]\r\nFilter=Nur Include|*.inc\r\n");
  Frame({});
  prompts_.openFiles = {QString::fromStdString(Path("c.tmf")), std::nullopt};
  frame_->FindAction("&Datei/Datei &öffnen...")->trigger();
  EXPECT_EQ(Names(), (std::vector<std::string>{Path("c.tmf")}));
  ASSERT_EQ(prompts_.fileRequests.size(), 1u);
  EXPECT_EQ(prompts_.fileRequests[0].title, "Datei öffnen");
  EXPECT_EQ(prompts_.fileRequests[0].filter, "Nur Include|*.inc");
  // From the editor's menu, cancelled.
  frame_->FindAction("&Datei/Datei &öffnen...")->trigger();
  EXPECT_EQ(Names().size(), 1u);
  ExpectAllAnswersUsed();
}

}  // namespace
}  // namespace idetest
