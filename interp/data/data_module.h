// Files, databases and devices: registers their commands, functions and
// system variables.
#pragma once

namespace tilmor {

void RegisterDataModule();
// Closes every file slot and forgets the slots' names, for the end of a run.
void CloseDataFiles();

}  // namespace tilmor
