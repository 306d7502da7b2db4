// ODBC for programs: @SQLINIT, SQLEXEC, SQLSETDEL, SQLSETNULL, SQLDONE and
// &SQLCOUNT over the one connection of the run.
#pragma once

namespace tilmor {

void RegisterOdbcModule();
// Disconnects and unloads the driver manager and resets the settings; for
// the end of a run, however it ends.
void CloseOdbc();

}  // namespace tilmor
