// Picture formatting of numbers, as @FORMAT$(picture, x) does it.
#pragma once

#include <string>
#include <string_view>

namespace tilmor {

// Formats `value` with a FormatFloat-style picture: 0 # . , E+ E- e+ e-,
// quoted text and up to three sections "positive;negative;zero". The
// decimal point is '.' and the thousands separator ',' whatever the locale.
// An empty picture gives the general format (15 significant digits).
// Cut to 255 characters.
std::string FormatPicture(std::string_view picture, double value);

}  // namespace tilmor
