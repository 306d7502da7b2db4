// System variables of the interpreter core.
#pragma once

namespace tilmor {

void RegisterCoreSystemVariables();

}  // namespace tilmor
