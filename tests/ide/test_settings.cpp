// TILMED32.INI: defaults without a file, the values the frame takes, and
// what closing the frame writes.
#include <QToolBar>

#include "ide_test.h"
#include "settings.h"

namespace idetest {
namespace {

using ide::FrameSettings;

class SettingsTest : public IdeTest {};

TEST_F(SettingsTest, DefaultsWithoutAFile) {
  FrameSettings s = ide::ReadFrameSettings();
  EXPECT_TRUE(s.toolbar);
  EXPECT_EQ(s.top, 20);
  EXPECT_EQ(s.left, 20);
  EXPECT_EQ(s.width, 600);
  EXPECT_EQ(s.height, 400);
  EXPECT_EQ(s.project, "");
  EXPECT_EQ(s.filter,
            "Tilmor-Dateien (*.tmf)|*.tmf|TilmorScript-Dateien (*.tms)|*.tms|Include-Dateien (*.inc)|*.inc|"
            "Alle Dateien|*.*");
  ide::FontSetting f = ide::ReadFont();
  EXPECT_EQ(f.name, "FixedSys");
  EXPECT_EQ(f.color, 0);
  EXPECT_EQ(f.size, 12);
  EXPECT_EQ(ide::ReadTabSize(), 8);
  EXPECT_EQ(ide::ReadIncludePath(), "");
}

TEST_F(SettingsTest, ValuesOfTheFileAndLimits) {
  std::string longProject(100, 'p');
  std::string longFilter = "Alles|" + std::string(300, '*');
  Write("win/TILMED32.INI",
        "[optionen]\r\ntoolbar1=0\r\nTab=3\r\n[Position]\r\nTop=5\r\nLeft=7\r\nWidth=640\r\nHeight=abc\r\n"
        "[Tilmed]\r\nProjekt=" + longProject + "\r\n[Projekt]\r\nFilter=" + longFilter +
        "\r\n[Schrift]\r\nFontName=Courier\r\nColor=255\r\nSize=9\r\n[COMPILE]\r\nInclude=C:\\inc;lib\r\n");
  FrameSettings s = ide::ReadFrameSettings();
  EXPECT_FALSE(s.toolbar);
  EXPECT_EQ(s.top, 5);
  EXPECT_EQ(s.left, 7);
  EXPECT_EQ(s.width, 640);
  EXPECT_EQ(s.height, 400) << "a value that is no number gives the default";
  EXPECT_EQ(s.project, longProject.substr(0, 80));
  EXPECT_EQ(s.filter, longFilter.substr(0, 255));
  EXPECT_EQ(ide::ReadTabSize(), 3);
  ide::FontSetting f = ide::ReadFont();
  EXPECT_EQ(f.name, "Courier");
  EXPECT_EQ(f.color, 255);
  EXPECT_EQ(f.size, 9);
  EXPECT_EQ(ide::ReadIncludePath(), "C:\\inc;lib");
}

TEST_F(SettingsTest, TheFrameTakesTheSettings) {
  Write("win/TILMED32.INI",
        "[Optionen]\r\nToolbar1=0\r\n[Position]\r\nTop=33\r\nLeft=44\r\nWidth=700\r\nHeight=500\r\n"
        "[Projekt]\r\nFilter=Text|*.txt\r\n");
  ide::FrameWindow& f = Frame();
  EXPECT_FALSE(f.ToolbarVisible());
  EXPECT_FALSE(f.ToolBar()->isVisible());
  EXPECT_EQ(f.x(), 44);
  EXPECT_EQ(f.y(), 33);
  EXPECT_EQ(f.width(), 700);
  EXPECT_EQ(f.height(), 500);
  EXPECT_EQ(f.DialogFilter(), "Text|*.txt");
  EXPECT_EQ(f.windowTitle(), "ZEL-TILMOR-Editor 5.0a-32");
  EXPECT_EQ(f.RuntimeModule(), BinDir() + "TLMRUN32.EXE");
  EXPECT_EQ(f.WorkingDirectory(), BinDir());
}

TEST_F(SettingsTest, ClosingWritesPositionToolbarAndAnEmptyProject) {
  ide::FrameWindow& f = Frame();
  f.move(61, 72);
  f.resize(650, 450);
  f.SetToolbarVisible(false);
  ASSERT_TRUE(f.close());
  FrameSettings s = ide::ReadFrameSettings();
  EXPECT_EQ(s.left, 61);
  EXPECT_EQ(s.top, 72);
  EXPECT_EQ(s.width, 650);
  EXPECT_EQ(s.height, 450);
  EXPECT_FALSE(s.toolbar);
  std::string ini = IniText();
  EXPECT_NE(ini.find("Toolbar1=0\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("[Tilmed]\r\nProjekt=\r\n"), std::string::npos) << ini;
  for (const char* key : {"Top=72", "Left=61", "Height=450", "Width=650"})
    EXPECT_NE(ini.find(key), std::string::npos) << key;
}

TEST_F(SettingsTest, ClosingWithAProjectWritesItsNameAndTheProject) {
  Write("a.tmf", "PRINT 1\r\n");
  ide::FrameWindow& f = Frame();
  ASSERT_NE(f.OpenFile(QString::fromStdString(Path("a.tmf"))), nullptr);
  f.OpenProject(Path("neu.prj"));  // not there yet: named, nothing read
  EXPECT_EQ(f.Editors().size(), 1u);
  ASSERT_TRUE(f.close());
  EXPECT_EQ(ide::ReadProjectName(), Path("neu.prj"));
  std::string prj = Read("neu.prj");
  EXPECT_EQ(prj, "$3=" + BinDir() + "TLMRUN32.EXE\r\n$P=" + BinDir() + "\r\n" + Path("a.tmf") + "\r\n");
}

TEST_F(SettingsTest, EveryNewWindowTakesTheFontOfTheSettings) {
  Write("win/TILMED32.INI", "[Schrift]\r\nFontName=Courier\r\nColor=255\r\nSize=9\r\n");
  Write("a.tmf", "PRINT 1\r\n");
  ide::FrameWindow& f = Frame();
  for (ide::EditorWindow* e : {f.NewFile(), f.OpenFile(QString::fromStdString(Path("a.tmf")))}) {
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->lexer()->defaultFont(0).pointSize(), 9);
    EXPECT_TRUE(e->lexer()->defaultFont(0).fixedPitch());
    EXPECT_EQ(e->lexer()->color(0), QColor(255, 0, 0)) << "the colour is a Windows RGB value";
  }
}

TEST_F(SettingsTest, EndFromTheMenuClosesAndWritesTheSettings) {
  ide::FrameWindow& f = Frame();
  ide::EditorWindow* e = f.NewFile();
  e->setText("geändert");
  f.move(15, 25);
  // Cancelled at the save question: the frame stays and nothing is written.
  prompts_.questions = {ide::Answer::Cancel};
  f.FindAction("&Datei/&Ende")->trigger();
  EXPECT_TRUE(f.isVisible());
  EXPECT_EQ(IniText(), "");
  prompts_.questions = {ide::Answer::No};
  f.FindAction("&Datei/&Ende")->trigger();
  EXPECT_FALSE(f.isVisible());
  FrameSettings s = ide::ReadFrameSettings();
  EXPECT_EQ(s.left, 15);
  EXPECT_EQ(s.top, 25);
  ExpectAllAnswersUsed();
}

TEST_F(SettingsTest, TheToolbarOptionTogglesAndIsWrittenOnClose) {
  ide::FrameWindow& f = Frame();
  f.NewFile();
  QAction* toolbar = f.FindAction("&Optionen/&Toolbar");
  ASSERT_NE(toolbar, nullptr);
  EXPECT_TRUE(toolbar->isChecked());
  toolbar->trigger();
  EXPECT_FALSE(f.ToolBar()->isVisible());
  EXPECT_FALSE(toolbar->isChecked());
  f.Editors()[0]->setModified(false);
  ASSERT_TRUE(f.close());
  EXPECT_NE(IniText().find("Toolbar1=0"), std::string::npos);
}

TEST_F(SettingsTest, ACancelledQuestionKeepsTheFrameOpenAndWritesNothing) {
  ide::FrameWindow& f = Frame();
  f.NewFile()->setText("x");
  prompts_.questions = {ide::Answer::Cancel};
  EXPECT_FALSE(f.close());
  EXPECT_EQ(IniText(), "");
  EXPECT_EQ(f.Editors().size(), 1u);
}

}  // namespace
}  // namespace idetest
