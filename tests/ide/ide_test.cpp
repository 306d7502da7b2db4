#include "ide_test.h"

#include <unistd.h>

#include <QPrinter>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "launcher.h"
#include "winpath.h"

namespace idetest {

namespace fs = std::filesystem;

namespace {

std::optional<QString> Pop(std::deque<std::optional<QString>>& answers) {
  bool given = answers.front().has_value();
  QString value = given ? *answers.front() : QString();
  answers.pop_front();
  if (!given) return std::nullopt;
  return value;
}

}  // namespace

std::string BinDir() { return TILMOR_TEST_BIN_DIR "/"; }
std::string SourceDir() { return TILMOR_TEST_SOURCE_DIR; }

ide::Answer ScriptedPrompts::Question(QWidget*, const QString& title, const QString& text) {
  log.push_back("[" + title + "] " + text);
  if (questions.empty()) {
    ADD_FAILURE() << "unexpected question: " << text.toStdString();
    return ide::Answer::Cancel;
  }
  ide::Answer a = questions.front();
  questions.pop_front();
  return a;
}

void ScriptedPrompts::Information(QWidget*, const QString& title, const QString& text) {
  log.push_back("[" + title + "] " + text);
}

void ScriptedPrompts::Error(QWidget*, const QString& title, const QString& text) {
  log.push_back("[" + title + "] " + text);
}

std::optional<QString> ScriptedPrompts::Input(QWidget*, const QString& title, const QString& prompt,
                                              const QString& preset) {
  log.push_back("[" + title + "] " + prompt + " <" + preset + ">");
  if (inputs.empty()) {
    ADD_FAILURE() << "unexpected input box: " << title.toStdString();
    return std::nullopt;
  }
  return Pop(inputs);
}

std::optional<QString> ScriptedPrompts::OpenFile(QWidget*, const ide::FileDialogRequest& r) {
  log.push_back("[" + r.title + "] open");
  fileRequests.push_back(r);
  if (openFiles.empty()) {
    ADD_FAILURE() << "unexpected open dialog: " << r.title.toStdString();
    return std::nullopt;
  }
  return Pop(openFiles);
}

std::optional<QString> ScriptedPrompts::SaveFile(QWidget*, const ide::FileDialogRequest& r) {
  log.push_back("[" + r.title + "] save");
  fileRequests.push_back(r);
  if (saveFiles.empty()) {
    ADD_FAILURE() << "unexpected save dialog: " << r.title.toStdString();
    return std::nullopt;
  }
  return Pop(saveFiles);
}

std::optional<QFont> ScriptedPrompts::ChooseFont(QWidget*, const QFont& initial, QColor& color) {
  log.push_back("[Schriftart]");
  if (!font) {
    ADD_FAILURE() << "unexpected font dialog";
    return std::nullopt;
  }
  return font(initial, color);
}

bool ScriptedPrompts::PrinterSetup(QWidget*, QPrinter& printer) {
  log.push_back("[Druckereinrichtung]");
  return setup ? setup(printer) : true;
}

std::optional<ide::PrintChoice> ScriptedPrompts::PrintDialog(QWidget*, QPrinter& printer,
                                                             const ide::PrintRequest& r) {
  log.push_back(QString("[Drucken] selection=") + (r.selectionAvailable ? "1" : "0"));
  if (!print) {
    ADD_FAILURE() << "unexpected print dialog";
    return std::nullopt;
  }
  return print(printer, r);
}

void IdeTest::SetUp() {
  if (const char* v = std::getenv("TILMOR_WINDIR")) oldWindir_ = v;
  char tmpl[] = "/tmp/tilmed_test_XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  dir_ = tmpl;
  fs::create_directories(dir_ + "/win");
  ASSERT_NE(getcwd(oldCwd_, sizeof oldCwd_), nullptr);
  ASSERT_EQ(chdir(dir_.c_str()), 0);
  setenv("TILMOR_WINDIR", (dir_ + "/win").c_str(), 1);
  setenv("TILMOR_REFERENCE", (SourceDir() + "/docs/reference").c_str(), 1);
  ide::SetPrompts(&prompts_);
  ide::SetLaunchHook([this](const std::string& line) {
    launched_.push_back(line);
    return launchResult_;
  });
}

void IdeTest::TearDown() {
  if (frame_) {
    for (ide::EditorWindow* e : frame_->Editors()) {
      e->setModified(false);
      e->SetCloseConfirmed(true);
    }
    frame_.reset();
  }
  QApplication::processEvents();
  ide::SetPrompts(nullptr);
  ide::SetLaunchHook({});
  EXPECT_EQ(chdir(oldCwd_), 0);
  if (oldWindir_)
    setenv("TILMOR_WINDIR", oldWindir_->c_str(), 1);
  else
    unsetenv("TILMOR_WINDIR");
  std::error_code ec;
  fs::remove_all(dir_, ec);
}

ide::FrameWindow& IdeTest::Frame(const QStringList& arguments, bool start) {
  frame_ = std::make_unique<ide::FrameWindow>(BinDir());
  frame_->show();
  if (start) frame_->Start(arguments);
  return *frame_;
}

std::string IdeTest::Write(const std::string& name, const std::string& bytes) {
  std::string path = Path(name);
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream f(path, std::ios::binary);
  f << bytes;
  return path;
}

std::string IdeTest::Read(const std::string& name) const {
  std::ifstream f(name.empty() || name[0] != '/' ? Path(name) : name, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

void IdeTest::ExpectAllAnswersUsed() {
  EXPECT_TRUE(prompts_.questions.empty());
  EXPECT_TRUE(prompts_.inputs.empty());
  EXPECT_TRUE(prompts_.openFiles.empty());
  EXPECT_TRUE(prompts_.saveFiles.empty());
}

}  // namespace idetest
