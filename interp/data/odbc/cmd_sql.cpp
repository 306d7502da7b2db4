#include "cmd_sql.h"

#include "argreader.h"
#include "commands.h"
#include "control.h"
#include "dialogs.h"
#include "dialogstate.h"
#include "errors.h"
#include "fnargs.h"
#include "functions.h"
#include "interrupt.h"
#include "messages.h"
#include "odbc_session.h"
#include "startup.h"
#include "sysvars.h"
#include "text_file.h"
#include "winpath.h"

namespace tilmor {
namespace {

using odbc::Session;

constexpr int kNotConnected = 500;
constexpr int kInitFailed = 501;
constexpr int kErrorTitle = 503;
constexpr int kNoResultFile = 506;
constexpr int kResultTooBig = 507;
constexpr int kWriteError = 303;

// Never destroyed: nothing of ODBC runs while the process exits; the end of
// the run has closed the connection before.
Session& TheSession() {
  static Session* session = new Session;
  return *session;
}

// The driver's message in a box titled "ODBC-Fehler", owned by the window
// that has the focus.
void ShowOdbcError(std::string_view text) {
  std::string t(text);
  MessageBoxA(GetFocus(), t.c_str(), MessageText(kErrorTitle).c_str(), MB_ICONERROR);
}

class WindowOutput : public odbc::Output {
 public:
  explicit WindowOutput(Interp& in) : in_(in) {}
  void Line(std::string_view line) override {
    text_.assign(line);
    text_ += '\n';
    in_.text->Write(text_);
  }
  void Error(std::string_view text) override { ShowOdbcError(text); }
  void Poll() override { win::EndIfInterrupted(); }

 private:
  Interp& in_;
  std::string text_;
};

class ItemListOutput : public odbc::Output {
 public:
  explicit ItemListOutput(Interp& in) : in_(in) {}
  void Line(std::string_view line) override {
    if (!in_.items.Add(std::string(line))) Warning(in_, kResultTooBig);
  }
  void Error(std::string_view text) override { ShowOdbcError(text); }
  void Poll() override { win::EndIfInterrupted(); }

 private:
  Interp& in_;
};

// "SQL.DAT" in the current directory, lines ending in CR LF, written in
// large blocks. A failed write is told after the statement (failed()):
// closing must not raise anything.
class FileOutput : public odbc::Output {
 public:
  bool OpenFile() override {
    std::string host = win::HostPath("SQL.DAT");
    return !host.empty() && file_.OpenWrite(host) == 0;
  }
  void CloseFile() override {
    Flush();
    file_.Close();
  }
  void Line(std::string_view line) override {
    buffer_.append(line);
    buffer_ += "\r\n";
    if (buffer_.size() >= kBlock) Flush();
  }
  void Error(std::string_view text) override { ShowOdbcError(text); }
  void Poll() override { win::EndIfInterrupted(); }
  bool failed() const { return failed_; }

 private:
  static constexpr size_t kBlock = 1 << 16;
  void Flush() {
    if (!failed_ && !buffer_.empty() && file_.Write(buffer_) != 0) failed_ = true;
    buffer_.clear();
  }
  TextFile file_;
  std::string buffer_;
  bool failed_ = false;
};

// Modes other than 0, 1 and 2 run the statement and show nothing.
class NoOutput : public odbc::Output {
 public:
  void Line(std::string_view) override {}
  void Error(std::string_view text) override { ShowOdbcError(text); }
  void Poll() override { win::EndIfInterrupted(); }
};

// An empty connection string: the user chooses one of the data sources the
// driver manager knows; "" when he cancels.
std::string ChooseDataSource(Session& s) {
  std::vector<std::string> names = s.DataSources();
  int i = ChooseFromList("Datenquelle ausw\xE4hlen", names);
  if (i < 0 || i >= static_cast<int>(names.size())) return "";
  return "DSN=" + names[static_cast<size_t>(i)];
}

void FnSqlInit(Interp& in) {
  std::string connection = ReadText(in, ')');
  SetResultLong(in, kInteger, 0);
  Session& s = TheSession();
  // One connection at a time: opening closes the old one.
  if (!s.Open(odbc::DriverManagerName())) {
    RuntimeError(in, kInitFailed);
    return SetResultLong(in, kInteger, 0);
  }
  if (connection.empty()) {
    connection = ChooseDataSource(s);
    if (connection.empty()) {
      s.Close();
      return SetResultLong(in, kInteger, 0);
    }
  }
  SetResultLong(in, kInteger, s.Connect(connection) ? 1 : 0);
}

void CmdSqlExec(Interp& in, int) {
  ReadArg(in, ',', kText);
  std::string sql = in.res.text;
  ReadArg(in, ' ', kAny);
  int32_t mode = in.res.ival;
  Session& s = TheSession();
  s.rowCount = 0;
  if (!s.connected()) {
    RuntimeError(in, kNotConnected);
    return;
  }
  Session::Status status;
  switch (mode) {
    case 0: {
      WindowOutput out(in);
      status = s.Execute(sql, mode, out);
      break;
    }
    case 1: {
      ItemListOutput out(in);
      status = s.Execute(sql, mode, out);
      break;
    }
    case 2: {
      FileOutput out;
      status = s.Execute(sql, mode, out);
      if (out.failed()) Warning(in, kWriteError, "SQL.DAT");
      break;
    }
    default: {
      NoOutput out;
      status = s.Execute(sql, mode, out);
      break;
    }
  }
  if (status == Session::Status::NoFile) RuntimeError(in, kNoResultFile);
}

void CmdSqlSetDel(Interp& in, int) {
  ReadArg(in, ' ', kAny);
  TheSession().format.SetDelimiters(ResultText(in));
}

void CmdSqlSetNull(Interp& in, int) {
  ReadArg(in, ' ', kAny);
  TheSession().format.nullText = ResultText(in);
}

void CmdSqlDone(Interp& in, int) {
  Session& s = TheSession();
  if (!s.connected()) {
    RuntimeError(in, kNotConnected);
    return;
  }
  s.Close();
}

}  // namespace

void CloseOdbc() {
  Session& s = TheSession();
  s.Close();
  s.rowCount = 0;
  s.format = odbc::Format{};
}

void RegisterOdbcModule() {
  RegisterFunction("SQLINIT", FnSqlInit);
  RegisterCommand("SQLEXEC", CmdSqlExec);
  RegisterCommand("SQLSETDEL", CmdSqlSetDel);
  RegisterCommand("SQLSETNULL", CmdSqlSetNull);
  RegisterCommand("SQLDONE", CmdSqlDone);
  RegisterSystemVariable("&SQLCOUNT", [](Interp& in) { in.res.lval = TheSession().rowCount; });
  AtProgramEnd(CloseOdbc);
}

}  // namespace tilmor
