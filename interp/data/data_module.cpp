#include "data_module.h"

namespace tilmor {

void RegisterDataModule() {}

}  // namespace tilmor
