// The open print job of STARTPRINT: ended by ENDPRINT, and by a runtime
// error or the end of the run while it is open.
#pragma once

#include "interp.h"

namespace tilmor {

// Ends an open print job (page, document, printer context) and gives the
// drawing commands their window contexts back; nothing without a job.
void EndPrintJob(Interp& in);

void RegisterPrintCommands();

}  // namespace tilmor
