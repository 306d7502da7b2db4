// The compiler program: file names, boxes, exit codes, progress display and
// the written files, byte by byte.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QImage>

#include "app.h"
#include "batch.h"
#include "compiler.h"
#include "helpers.h"
#include "messages.h"
#include "progress.h"
#include "windowui.h"
#include "tmc_format.h"
#include "tmc_reader.h"

namespace {

using tilmor::comp::Compile;
using tmctest::FakeUi;
using tmctest::ParseHex;
using tmctest::ReadBytes;
using tmctest::ScratchDir;

const std::string kCompilerTitle = "TILMOR\xB2-COMPILER";
const std::string kWindowTitle = "ZEL-TILMOR\xB2 COMPILER 5.0a-32";

int CompileWith(FakeUi& ui, std::vector<std::string> args) { return Compile(args, ui, ""); }

std::vector<std::string> Numbers(const FakeUi& ui) {
  std::vector<std::string> out;
  for (const auto& [col, row, text] : ui.texts)
    if (col == 19 && row == 5) out.push_back(text);
  return out;
}

TEST(OutputName, SourceNameUpToItsLastPointThenTmc) {
  using tilmor::comp::OutputName;
  EXPECT_EQ(OutputName("demo.TMF"), "demo.tmc");
  EXPECT_EQ(OutputName("prog.v1.2.tmf"), "prog.v1.2.tmc");
  EXPECT_EQ(OutputName("C:\\Progs\\x.tmf"), "C:\\Progs\\x.tmc");
  EXPECT_EQ(OutputName("ordner.neu/prog"), "ordner.neu/prog.tmc");
  EXPECT_EQ(OutputName("ordner.neu\\prog"), "ordner.neu\\prog.tmc");
  EXPECT_EQ(OutputName("x."), "x.tmc");
}

TEST(DisplayText, LineNumberRightAlignedInSixColumns) {
  EXPECT_EQ(tilmor::comp::DisplayText(7, "  BAD 1  "), "Zeile      7: BAD 1");
  EXPECT_EQ(tilmor::comp::DisplayText(32767, "X"), "Zeile  32767: X");
}

TEST(Compiler, DemoIsReadAsDemoTmfAndWrittenAsDemoTmc) {
  ScratchDir dir;
  dir.Write("demo.TMF", "PRINT 1\nPRINT 2\nPRINT 3\n");
  FakeUi ui;
  EXPECT_EQ(CompileWith(ui, {"demo"}), 0);
  std::string tmc = ReadBytes(dir.path() + "/demo.tmc");
  // 32 bytes of header plus three records.
  EXPECT_EQ(tmc, tilmor::tmc::MakeHeader(nullptr) + ParseHex("02 A2 '1' 02 A2 '2' 02 A2 '3'"));
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].title, kWindowTitle);
  // The version is in the title only, so the two cannot disagree.
  EXPECT_EQ(ui.boxes[0].text, "Programm erfolgreich compiliert!");
  EXPECT_EQ(ui.boxes[0].type, MB_ICONEXCLAMATION);
  EXPECT_EQ(ui.opened, 1);
  EXPECT_EQ(ui.closed, 1);
  EXPECT_EQ(ui.dialogs, 0);
}

TEST(Compiler, ProgressShowsTheTextsAndEveryLineNumber) {
  ScratchDir dir;
  dir.Write("p.tmf", "PRINT 1\n' nothing\nPRINT 3\n");
  FakeUi ui;
  ASSERT_EQ(CompileWith(ui, {"p.tmf"}), 0);
  ASSERT_GE(ui.texts.size(), 3u);
  EXPECT_EQ(ui.texts[0], std::make_tuple(2, 2, std::string("Programm:")));
  EXPECT_EQ(ui.texts[1], std::make_tuple(2, 3, std::string("p.tmc")));
  EXPECT_EQ(ui.texts[2], std::make_tuple(2, 5, std::string("Compiliere Zeile")));
  EXPECT_EQ(Numbers(ui), (std::vector<std::string>{"   1", "   2", "   3"}));
}

TEST(Compiler, SourceWithSeveralPoints) {
  ScratchDir dir;
  dir.Write("tool.v2.tmf", "END\n");
  FakeUi ui;
  ASSERT_EQ(CompileWith(ui, {"tool.v2.tmf"}), 0);
  EXPECT_EQ(ReadBytes(dir.path() + "/tool.v2.tmc"), tilmor::tmc::MakeHeader(nullptr) + ParseHex("01 BF"));
}

TEST(Compiler, FileNamesFollowWindowsRules) {
  ScratchDir dir;
  tmctest::fs::create_directory(dir.path() + "/Sub");
  dir.Write("Sub/Prog.tmf", "END\n");
  FakeUi ui;
  ASSERT_EQ(CompileWith(ui, {"sub\\prog.TMF"}), 0);
  // The existing directory is matched, the new file gets the name as written.
  EXPECT_TRUE(tmctest::fs::exists(dir.path() + "/Sub/prog.tmc"));
}

TEST(Compiler, UndefinedCommandInLine7) {
  ScratchDir dir;
  dir.Write("bad.tmf", "PRINT 1\nPRINT 2\n\nREM\nPROC Later\nENDPROC\n  Unbekannt  1, 2 \nPRINT 8\n");
  FakeUi ui;
  EXPECT_EQ(CompileWith(ui, {"bad.tmf"}), 2);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].title, "Befehl unbekannt: UNBEKANNT");
  EXPECT_EQ(ui.boxes[0].text, "Zeile      7: Unbekannt  1, 2");
  EXPECT_EQ(ui.boxes[0].type, MB_ICONERROR);
  EXPECT_EQ(ui.closed, 1);
  EXPECT_EQ(Numbers(ui).size(), 6u);
  // The records written so far stay.
  EXPECT_EQ(ReadBytes(dir.path() + "/bad.tmc"),
            tilmor::tmc::MakeHeader(nullptr) + ParseHex("02 A2 '1' 02 A2 '2' 01 27 01 27 06 8F 'Later' 01 8C"));
}

TEST(Compiler, CompileErrorTitles) {
  struct Case {
    const char* source;
    const char* title;
  } cases[] = {
      {"PRINT @NIX(1)\n", "Funktion unbekannt: NIX"},
      {"PRINT @LEN\n", "Funktionsargument fehlt!"},
      {"PRINT a\"\n", "Stringende fehlt!"},
      {"PRINT \"offen\n", "String-Ende fehlt!"},
  };
  for (const Case& c : cases) {
    ScratchDir dir;
    dir.Write("e.tmf", c.source);
    FakeUi ui;
    EXPECT_EQ(CompileWith(ui, {"e.tmf"}), 2) << c.source;
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, c.title);
    EXPECT_EQ(ui.boxes[0].text.substr(0, 15), "Zeile      1: P");
  }
}

TEST(Compiler, NoArgumentAndTheDialogCancelled) {
  ScratchDir dir;
  FakeUi ui;
  EXPECT_EQ(CompileWith(ui, {}), 2);
  EXPECT_EQ(ui.dialogs, 1);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Aufruf mit: \r\nSHTMCOMP [<Dateiname>]");
  EXPECT_EQ(ui.boxes[0].title, kCompilerTitle);
  EXPECT_EQ(ui.boxes[0].type, MB_ICONERROR);
  EXPECT_EQ(ui.closed, 1);
}

TEST(Compiler, NoArgumentAndAFileChosen) {
  ScratchDir dir;
  dir.Write("gew.tmf", "END\n");
  FakeUi ui;
  ui.chosen = "  gew.tmf ";
  EXPECT_EQ(CompileWith(ui, {}), 0);
  EXPECT_TRUE(tmctest::fs::exists(dir.path() + "/gew.tmc"));
}

TEST(Compiler, SourceThatCannotBeOpened) {
  ScratchDir dir;
  FakeUi ui;
  EXPECT_EQ(CompileWith(ui, {"fehlt"}), 2);
  EXPECT_EQ(ui.dialogs, 0);  // no dialog for a given name
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Datei kann nicht erzeugt werden: fehlt.TMF");
  EXPECT_EQ(ui.boxes[0].title, kCompilerTitle);
  EXPECT_FALSE(tmctest::fs::exists(dir.path() + "/fehlt.tmc"));
}

TEST(Compiler, OutputThatCannotBeCreated) {
  ScratchDir dir;
  dir.Write("x.tmf", "END\n");
  tmctest::fs::create_directory(dir.path() + "/x.tmc");
  FakeUi ui;
  EXPECT_EQ(CompileWith(ui, {"x.tmf"}), 2);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Datei kann nicht erzeugt werden: x.tmc");
}

TEST(Compiler, ACompiledFileGivenAsSourceIsNotOverwritten) {
  ScratchDir dir;
  dir.Write("y.tmc", "PRINT 1\n");
  FakeUi ui;
  EXPECT_EQ(CompileWith(ui, {"y.tmc"}), 2);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Datei kann nicht erzeugt werden: y.tmc");
  EXPECT_EQ(ReadBytes(dir.path() + "/y.tmc"), "PRINT 1\n");
}

TEST(Compiler, LoadingFailuresEndWithExitCode1) {
  {
    ScratchDir dir;
    dir.Write("lang.tmf", "PRINT \"" + std::string(260, 'x') + "\"\n");
    FakeUi ui;
    EXPECT_EQ(CompileWith(ui, {"lang.tmf"}), 1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, kCompilerTitle);
    EXPECT_EQ(ui.boxes[0].text, "Zeile zu lang (max. 254 Zeichen)!");
    EXPECT_EQ(ui.closed, 1);
  }
  {
    ScratchDir dir;
    dir.Write("inc.tmf", "PRINT 1\n$I nirgends.inc\n");
    FakeUi ui;
    EXPECT_EQ(CompileWith(ui, {"inc.tmf"}), 1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "INCLUDE-Datei nicht gefunden!");
    EXPECT_EQ(ui.boxes[0].text, "Zeile  2: $I nirgends.inc");
  }
}

TEST(Compiler, IncludeFilesAreSearchedInTheConfiguredPath) {
  ScratchDir dir;
  tmctest::fs::create_directory(dir.path() + "/lib");
  dir.Write("lib/teil.inc", "PRINT \"teil\"\n");
  dir.Write("haupt.tmf", "$I teil.inc\nEND\n");
  FakeUi ui;
  ASSERT_EQ(Compile({"haupt.tmf"}, ui, "nix;lib"), 0);
  EXPECT_EQ(ReadBytes(dir.path() + "/haupt.tmc"),
            tilmor::tmc::MakeHeader(nullptr) + ParseHex("01 27 07 A2 '\"teil\"' 01 BF"));
}

TEST(Compiler, ProtectedProgramsAreScrambledWithARandomKey) {
  ScratchDir dir;
  dir.Write("geheim.tmf", "$P+\nPRINT \"x\"\n");
  FakeUi ui1, ui2;
  ASSERT_EQ(CompileWith(ui1, {"geheim.tmf"}), 0);
  std::string first = ReadBytes(dir.path() + "/geheim.tmc");
  ASSERT_EQ(CompileWith(ui2, {"geheim.tmf"}), 0);
  std::string second = ReadBytes(dir.path() + "/geheim.tmc");
  ASSERT_EQ(first.size(), 32u + 2u + 5u);
  EXPECT_NE(first, second);
  for (const std::string& f : {first, second}) {
    uint8_t key = tilmor::tmc::KeyOf(f);
    EXPECT_NE(key, 0);
    EXPECT_EQ(f.substr(0, 19), tilmor::tmc::MakeHeader(nullptr).substr(0, 19));
    EXPECT_EQ(f.substr(30, 2), std::string(" \0", 2));
    // Length bytes plain, content combined with the key.
    EXPECT_EQ(f[32], 1);
    EXPECT_EQ(static_cast<uint8_t>(f[33]), 0x27 ^ key);
    EXPECT_EQ(f[34], 4);
    tilmor::tmc::ReadResult r = tilmor::tmc::ReadProgram(f);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.lines[2], "PRINT \"x\"");
  }
}

// The case programs against their files built by hand.
class ExpectedFile : public ::testing::TestWithParam<const char*> {};

TEST_P(ExpectedFile, CompiledByteByByte) {
  ScratchDir dir;
  tmctest::fs::copy(TMC_CASES_DIR, dir.path(), tmctest::fs::copy_options::recursive);
  FakeUi ui;
  std::string name = GetParam();
  ASSERT_EQ(CompileWith(ui, {name + ".tmf"}), 0) << (ui.boxes.empty() ? "" : ui.boxes[0].title);
  std::string want = ParseHex(ReadBytes(std::string(TMC_EXPECTED_DIR) + "/" + name + ".hex"));
  ASSERT_FALSE(want.empty());
  std::string got = ReadBytes(dir.path() + "/" + name + ".tmc");
  EXPECT_EQ(got.size(), want.size());
  for (size_t i = 0; i < std::min(got.size(), want.size()); ++i)
    if (got[i] != want[i]) {
      ADD_FAILURE() << "first difference at byte " << i;
      break;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ExpectedFile, ::testing::Values("records", "encoding", "opmode"));

// The window side, under the offscreen platform.
void EnsureApplication() {
  static char arg0[] = "compiler_tests";
  static char* argv[] = {arg0, nullptr};
  win::CreateApplication(1, argv, false);
}

TEST(ProgressWindow, GeometryTitleAndTextGrid) {
  EnsureApplication();
  tilmor::comp::ProgressWindow w;
  char title[64] = "";
  GetWindowTextA(w.hwnd(), title, sizeof title);
  EXPECT_STREQ(title, "ZEL-TILMOR\xB2 COMPILER 5.0a-32");
  RECT r;
  ASSERT_TRUE(GetWindowRect(w.hwnd(), &r));
  EXPECT_EQ(r.left, 184);
  EXPECT_EQ(r.top, 128);
  EXPECT_EQ(r.right - r.left, 272);
  EXPECT_EQ(r.bottom - r.top, 164);
  w.TextAt(2, 2, "Programm:");
  w.TextAt(19, 5, "  12");
  EXPECT_EQ(w.Row(2), " Programm:" + std::string(24, ' '));
  EXPECT_EQ(w.Row(5).substr(18, 4), "  12");
  w.TextAt(19, 5, "   7");
  EXPECT_EQ(w.Row(5).substr(18, 4), "   7");
  // What does not fit is dropped; rows and columns outside are ignored.
  w.TextAt(30, 1, "abcdefgh");
  EXPECT_EQ(w.Row(1).substr(29), "abcde");
  w.TextAt(0, 1, "x");
  w.TextAt(1, 13, "x");
  w.TextAt(35, 1, "x");
  EXPECT_EQ(w.Row(1).size(), 34u);
  EXPECT_EQ(w.Row(13), "");
  // The rows are drawn into the window: ink where text is, the grey face
  // where the row is blank.
  QImage img = win::WindowImage(w.hwnd());
  ASSERT_FALSE(img.isNull());
  auto ink = [&](int x0, int x1, int y0, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += qGray(img.pixel(x, y)) < 100;
    return n;
  };
  EXPECT_GT(ink(8, 80, 13, 26), 20);  // "Programm:" in row 2
  EXPECT_EQ(ink(0, 272, 40, 52), 0);  // row 4 is blank
  EXPECT_EQ(img.pixel(200, 30), qRgb(192, 192, 192));
}

TEST(WindowCompilerUi, WindowOnlyOutsideBatchMode) {
  EnsureApplication();
  {
    tilmor::comp::WindowCompilerUi ui(false);
    ui.OpenProgress();
    ASSERT_NE(ui.window(), nullptr);
    EXPECT_TRUE(IsWindowVisible(ui.window()->hwnd()));
    ui.TextAt(2, 3, "demo.tmc");
    EXPECT_EQ(ui.window()->Row(3).substr(1, 8), "demo.tmc");
    ui.CloseProgress();
    EXPECT_EQ(ui.window(), nullptr);
  }
  {
    tilmor::comp::WindowCompilerUi ui(true);
    ui.OpenProgress();
    ui.TextAt(2, 3, "demo.tmc");
    EXPECT_EQ(ui.window(), nullptr);
  }
}

TEST(WindowCompilerUi, BatchModeBoxesAndDialogAnswers) {
  EnsureApplication();
  ScratchDir dir;
  dir.Write("s.tmf", "BAD\n");
  win::SetBatchMode(true);
  std::string error;
  ASSERT_TRUE(win::ParseBatchScript("file s.tmf\n", &error)) << error;
  tilmor::comp::WindowCompilerUi ui(true);
  testing::internal::CaptureStderr();
  int code = Compile({}, ui, "");
  std::string err = testing::internal::GetCapturedStderr();
  win::SetBatchMode(false);
  win::ClearBatchScript();
  EXPECT_EQ(code, 2);
  EXPECT_EQ(err, "[Befehl unbekannt: BAD] Zeile      1: BAD\n");
}

}  // namespace
