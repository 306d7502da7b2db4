// The entry points of the ODBC driver manager, called through pointers that
// are resolved by name when a program connects; nothing of ODBC is linked in.
#pragma once

#include <sql.h>
#include <sqlext.h>

namespace tilmor::odbc {

struct Api {
  decltype(&::SQLRowCount) RowCount = nullptr;
  decltype(&::SQLAllocEnv) AllocEnv = nullptr;
  decltype(&::SQLError) Error = nullptr;
  decltype(&::SQLDescribeCol) DescribeCol = nullptr;
  decltype(&::SQLBindCol) BindCol = nullptr;
  decltype(&::SQLFreeEnv) FreeEnv = nullptr;
  decltype(&::SQLAllocConnect) AllocConnect = nullptr;
  decltype(&::SQLAllocStmt) AllocStmt = nullptr;
  decltype(&::SQLFreeConnect) FreeConnect = nullptr;
  decltype(&::SQLExecDirect) ExecDirect = nullptr;
  decltype(&::SQLFetch) Fetch = nullptr;
  decltype(&::SQLDisconnect) Disconnect = nullptr;
  decltype(&::SQLTransact) Transact = nullptr;
  decltype(&::SQLFreeStmt) FreeStmt = nullptr;
  decltype(&::SQLNumResultCols) NumResultCols = nullptr;
  decltype(&::SQLDriverConnect) DriverConnect = nullptr;
  // Lists the data sources for the chooser; may be missing.
  decltype(&::SQLDataSources) DataSources = nullptr;
};

inline bool Succeeded(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

}  // namespace tilmor::odbc
