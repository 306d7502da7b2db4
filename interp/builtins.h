// Fills the command, function and system-variable tables with every family
// this build has.
#pragma once

namespace tilmor {

void RegisterBuiltins();

}  // namespace tilmor
