// The editor's tests: a fixture with its own Windows directory and current
// directory, scripted answers for every modal question, and a recorder of
// the programs started.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QStringList>
#include <ostream>
#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "frame.h"
#include "prompts.h"

// Readable Qt strings in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) {
  *os << "{";
  for (const QString& s : l) *os << "\n  \"" << s.toStdString() << "\"";
  *os << "}";
}
QT_END_NAMESPACE

namespace idetest {

// Answers in order of asking; every question is logged as "[TITLE] TEXT".
// A question without a prepared answer fails the test and is cancelled.
class ScriptedPrompts : public ide::Prompts {
 public:
  std::deque<ide::Answer> questions;
  std::deque<std::optional<QString>> inputs;
  std::deque<std::optional<QString>> openFiles;
  std::deque<std::optional<QString>> saveFiles;
  std::function<std::optional<ide::PrintChoice>(QPrinter&, const ide::PrintRequest&)> print;
  std::function<bool(QPrinter&)> setup;  // the printer set-up; none: accepted unchanged
  std::function<std::optional<QFont>(const QFont&, QColor&)> font;
  std::vector<QString> log;
  std::vector<ide::FileDialogRequest> fileRequests;

  ide::Answer Question(QWidget*, const QString& title, const QString& text) override;
  void Information(QWidget*, const QString& title, const QString& text) override;
  void Error(QWidget*, const QString& title, const QString& text) override;
  std::optional<QString> Input(QWidget*, const QString& title, const QString& prompt,
                               const QString& preset) override;
  std::optional<QString> OpenFile(QWidget*, const ide::FileDialogRequest& r) override;
  std::optional<QString> SaveFile(QWidget*, const ide::FileDialogRequest& r) override;
  std::optional<QFont> ChooseFont(QWidget*, const QFont& initial, QColor& color) override;
  bool PrinterSetup(QWidget*, QPrinter&) override;
  std::optional<ide::PrintChoice> PrintDialog(QWidget*, QPrinter& printer, const ide::PrintRequest& r) override;
};

class IdeTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A frame whose programs lie in the build's bin directory.
  ide::FrameWindow& Frame(const QStringList& arguments = {}, bool start = true);
  // Writes a file under the scratch directory (bytes as given); returns its path.
  std::string Write(const std::string& name, const std::string& bytes);
  std::string Read(const std::string& name) const;
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  std::string IniText() const { return Read("win/TILMED32.INI"); }
  // Whether the scripted dialogs were all used.
  void ExpectAllAnswersUsed();

  std::string dir_;
  ScriptedPrompts prompts_;
  std::vector<std::string> launched_;
  uint32_t launchResult_ = 33;
  std::unique_ptr<ide::FrameWindow> frame_;

 private:
  char oldCwd_[4096] = {};
  std::optional<std::string> oldWindir_;
};

// The build's bin directory (with "/").
std::string BinDir();
std::string SourceDir();

}  // namespace idetest
