#include "odbc_session.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "messages.h"
#include "odbc_api.h"
#include "odbc_message.h"

namespace tilmor::odbc {
namespace {

constexpr int kFileMode = 2;
constexpr int kWindowMode = 0;
constexpr SQLSMALLINT kMessageBuffer = 240;
constexpr size_t kNameChars = 32;

// Drops the statement however the execution ends.
struct StatementGuard {
  const Api& api;
  SQLHSTMT stmt;
  ~StatementGuard() { api.FreeStmt(stmt, SQL_DROP); }
};

struct FileGuard {
  Output& out;
  ~FileGuard() { out.CloseFile(); }
};

struct Column {
  std::string name;
  int width = 0;
  std::unique_ptr<char[]> buffer;
  SQLLEN size = 0;  // bytes of the buffer
  SQLLEN length = 0;
};

int32_t Clamp32(SQLLEN n) {
  if (n > INT32_MAX) return INT32_MAX;
  if (n < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(n);
}

}  // namespace

bool Session::Open(const std::string& library) {
  Close();
  charset = Charset::FromEnvironment();
  if (!library_.Load(library)) return false;
  SQLHENV env = nullptr;
  if (!Succeeded(library_.api().AllocEnv(&env))) {
    library_.Unload();
    return false;
  }
  env_ = env;
  return true;
}

std::vector<std::string> Session::DataSources() {
  std::vector<std::string> names;
  const Api& a = library_.api();
  if (!env_ || !a.DataSources) return names;
  SQLCHAR name[SQL_MAX_DSN_LENGTH * 4 + 1];
  SQLCHAR description[1024];
  SQLSMALLINT nameLength = 0, descriptionLength = 0;
  SQLUSMALLINT direction = SQL_FETCH_FIRST;
  while (Succeeded(a.DataSources(env_, direction, name, sizeof name, &nameLength, description,
                                 sizeof description, &descriptionLength))) {
    names.push_back(charset.FromDriver(reinterpret_cast<const char*>(name)));
    direction = SQL_FETCH_NEXT;
  }
  return names;
}

bool Session::Connect(std::string_view connection) {
  if (!env_) return false;
  const Api& a = library_.api();
  SQLHDBC dbc = nullptr;
  if (!Succeeded(a.AllocConnect(env_, &dbc))) {
    Close();
    return false;
  }
  dbc_ = dbc;
  std::string text = charset.ToDriver(connection);
  SQLCHAR completed[256];
  SQLSMALLINT completedLength = 0;
  // No window to prompt in: the string must be complete.
  SQLRETURN rc = a.DriverConnect(dbc_, nullptr, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS, completed,
                                 sizeof completed, &completedLength, SQL_DRIVER_COMPLETE);
  if (!Succeeded(rc)) {
    Close();
    return false;
  }
  connected_ = true;
  return true;
}

void Session::Close() {
  const Api& a = library_.api();
  if (connected_) a.Disconnect(dbc_);
  connected_ = false;
  if (dbc_) a.FreeConnect(dbc_);
  dbc_ = nullptr;
  if (env_) a.FreeEnv(env_);
  env_ = nullptr;
  library_.Unload();
}

void Session::ReportError(void* stmt, Output& out) {
  SQLCHAR state[6] = {0};
  SQLINTEGER native = 0;
  SQLCHAR message[kMessageBuffer] = {0};
  SQLSMALLINT length = 0;
  std::string text;
  if (Succeeded(library_.api().Error(env_, dbc_, stmt, state, &native, message, kMessageBuffer, &length))) {
    const char* m = reinterpret_cast<const char*>(message);
    text = charset.FromDriver(std::string_view(m, strnlen(m, kMessageBuffer - 1)), length >= kMessageBuffer);
  }
  out.Error(ShownMessage(text));
}

Session::Status Session::Execute(std::string_view sql, int mode, Output& out) {
  rowCount = 0;
  if (!connected_) return Status::Failed;
  const Api& a = library_.api();
  SQLHSTMT stmt = nullptr;
  if (!Succeeded(a.AllocStmt(dbc_, &stmt))) {
    ReportError(SQL_NULL_HSTMT, out);
    rowCount = -1;
    return Status::Failed;
  }
  StatementGuard guard{a, stmt};
  std::string text = charset.ToDriver(sql);
  SQLRETURN rc = a.ExecDirect(stmt, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS);
  // A notice (success with information) and "no rows" are no failures.
  if (!Succeeded(rc) && rc != SQL_NO_DATA) {
    ReportError(stmt, out);
    rowCount = -1;
    return Status::Failed;
  }
  SQLSMALLINT columns = 0;
  if (!Succeeded(a.NumResultCols(stmt, &columns))) {
    ReportError(stmt, out);
    rowCount = -1;
    return Status::Failed;
  }
  if (columns > 0) {
    Status s = ExecuteResult(stmt, columns, mode, out);
    if (s != Status::Done) return s;
  } else {
    SQLLEN n = -1;
    if (!Succeeded(a.RowCount(stmt, &n))) n = -1;
    rowCount = Clamp32(n);
    if (n < 1) {
      if (mode == kWindowMode) out.Line(MessageText(505));
      a.Transact(env_, dbc_, SQL_COMMIT);
      rowCount = 0;
    } else if (mode == kWindowMode) {
      out.Line(std::to_string(n) + MessageText(504));
    }
  }
  if (mode == kWindowMode) out.Line("");
  return Status::Done;
}

Session::Status Session::ExecuteResult(void* stmt, int count, int mode, Output& out) {
  const Api& a = library_.api();
  if (mode == kFileMode && !out.OpenFile()) return Status::NoFile;
  std::unique_ptr<FileGuard> file(mode == kFileMode ? new FileGuard{out} : nullptr);
  const bool delimited = mode == kFileMode;

  std::vector<Column> cols(static_cast<size_t>(count));
  std::vector<int> widths;
  for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(count); ++i) {
    Column& c = cols[i - 1];
    SQLCHAR name[kNameChars * 4 + 1] = {0};
    SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
    SQLULEN size = 0;
    if (!Succeeded(a.DescribeCol(stmt, i, name, sizeof name, &nameLength, &type, &size, &digits, &nullable))) {
      ReportError(stmt, out);
      rowCount = -1;
      return Status::Failed;
    }
    c.name = charset.FromDriver(reinterpret_cast<const char*>(name), nameLength >= static_cast<SQLSMALLINT>(sizeof name));
    if (c.name.size() > kNameChars) c.name.resize(kNameChars);
    c.width = DisplayWidth(type, size, c.name.size());
    widths.push_back(c.width);
    size_t bytes = BufferChars(type, size, c.width) * charset.maxBytesPerChar() + 1;
    c.buffer.reset(new char[bytes]);
    c.size = static_cast<SQLLEN>(bytes);
    if (!Succeeded(a.BindCol(stmt, i, SQL_C_CHAR, c.buffer.get(), c.size, &c.length))) {
      ReportError(stmt, out);
      rowCount = -1;
      return Status::Failed;
    }
  }

  std::string line;
  for (const Column& c : cols) {
    if (delimited)
      AppendField(line, c.name, format);
    else
      AppendCell(line, c.name, c.width, format);
  }
  out.Line(line);
  if (!delimited) out.Line(DashLine(widths));

  std::string value;
  SQLRETURN rc;
  while (Succeeded(rc = a.Fetch(stmt))) {
    line.clear();
    for (Column& c : cols) {
      value.clear();
      if (c.length == SQL_NULL_DATA) {
        value = format.nullText;
      } else {
        size_t have = strnlen(c.buffer.get(), static_cast<size_t>(c.size - 1));
        bool cut = c.length == SQL_NO_TOTAL || c.length > static_cast<SQLLEN>(have);
        charset.AppendFromDriver(value, std::string_view(c.buffer.get(), have), cut);
      }
      if (delimited)
        AppendField(line, value, format);
      else
        AppendCell(line, value, c.width, format);
    }
    out.Line(line);
    if (rowCount < INT32_MAX) ++rowCount;
    if ((rowCount & 63) == 0) out.Poll();
  }
  if (rc != SQL_NO_DATA) {
    // The rows stopped on an error, not at their end.
    ReportError(stmt, out);
    rowCount = -1;
  }
  return Status::Done;
}

}  // namespace tilmor::odbc
