// The one ODBC connection of a run: the driver manager, its environment and
// connection, and the execution of statements into lines of text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "odbc_charset.h"
#include "odbc_layout.h"
#include "odbc_library.h"

namespace tilmor::odbc {

// Where a statement's lines go. Modes: 0 the window, 1 the item list, 2 the
// result file; the session chooses the layout and the lines by mode.
class Output {
 public:
  virtual ~Output() = default;
  // Mode 2: makes the result file; false when it cannot be made.
  virtual bool OpenFile() { return true; }
  // Also called while an exception passes (a program's end): must not throw.
  virtual void CloseFile() {}
  // One line, Windows-1252, without its end.
  virtual void Line(std::string_view line) = 0;
  // A call failed: the driver's message as the box shows it.
  virtual void Error(std::string_view text) = 0;
  // Called every few rows of a long result, to let a request to end through.
  virtual void Poll() {}
};

class Session {
 public:
  enum class Status { Done, Failed, NoFile };

  Session() = default;
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  ~Session() { Close(); }

  // Loads the driver manager and makes the environment; false, with
  // nothing left, when either fails (Library::failure tells why).
  bool Open(const std::string& library);
  // The names of the data sources the driver manager knows, in its order.
  std::vector<std::string> DataSources();
  // Connects the open environment; on failure everything is let go again.
  bool Connect(std::string_view connection);
  // Disconnects, frees the handles and unloads the driver manager.
  void Close();

  bool open() const { return env_ != nullptr; }
  bool connected() const { return connected_; }
  const Library& library() const { return library_; }

  // Executes one statement (Windows-1252) while connected. The row count
  // is the rows delivered or changed, -1 after a failure.
  Status Execute(std::string_view sql, int mode, Output& out);

  int32_t rowCount = 0;
  Format format;
  Charset charset;

 private:
  // Handles are ODBC's SQLHENV, SQLHDBC and SQLHSTMT.
  void ReportError(void* stmt, Output& out);
  Status ExecuteResult(void* stmt, int columns, int mode, Output& out);

  Library library_;
  void* env_ = nullptr;
  void* dbc_ = nullptr;
  bool connected_ = false;
};

}  // namespace tilmor::odbc
