// Area-variable arguments, shared by the area commands and functions and by
// the file commands that read into or write from areas.
#pragma once

#include <string>

#include "interp.h"

namespace tilmor {

// The area variable named before the first ","; the rest stays to be read.
std::string TakeAreaName(Interp& in);
// The last area variable of that name; 121 for a name not ending in "#",
// 215 when there is none (nullptr then).
Area* FindArea(Interp& in, const std::string& name);
// As FindArea, and 243 (nullptr) when it has no block.
Area* DimensionedArea(Interp& in, const std::string& name);

// The dimensioned area whose block holds byte `address` as programs see it
// (DLL arguments are such numbers); nullptr when none does.
Area* AreaContaining(Interp& in, uint32_t address);

}  // namespace tilmor
