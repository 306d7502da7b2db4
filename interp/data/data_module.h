// Files, databases and devices: registers their commands, functions and
// system variables.
#pragma once

namespace tilmor {

void RegisterDataModule();

}  // namespace tilmor
