#include "builtins.h"

#include "cmd_sql.h"
#include "commands.h"
#include "data_module.h"
#include "dbase_module.h"
#include "dialogstate.h"
#include "drawing.h"
#include "printjob.h"
#include "mainwindow.h"
#include "startup.h"
#include "sysvars_core.h"

namespace tilmor {

void RegisterBuiltins() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterCoreCommands();
  RegisterCoreSystemVariables();
  RegisterArrayFunctions();
  RegisterAreaFunctions();
  RegisterArithmeticFunctions();
  RegisterStringFunctions();
  RegisterMathFunctions();
  RegisterPasswordFunction();
  RegisterSystemFunctions();
  RegisterDateTimeFunctions();
  RegisterCharsetFunctions();
  RegisterWindowCommands();
  RegisterMenuCommands();
  RegisterEventFunctions();
  RegisterStandardDialogs();
  RegisterItemListWindows();
  RegisterCreateFunctions();
  RegisterControlFunctions();
  RegisterControlCommands();
  RegisterSendKeys();
  RegisterDrawingTools();
  RegisterDrawingShapes();
  RegisterColorFunctions();
  RegisterCursorCommands();
  RegisterBitmapCommands();
  RegisterIconCommands();
  RegisterPrintCommands();
  RegisterDataModule();
  RegisterDbaseModule();
  // Texts of tables are converted from and to OEM while FONT 1 is chosen.
  SetDbaseFontQuery([](const Interp&) { return MW().font; });
  AtProgramEnd(CloseAllTables);
  RegisterOdbcModule();
}

}  // namespace tilmor
