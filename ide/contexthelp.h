// The word context help asks for: the one around the cursor of a line.
#pragma once

#include <string>

namespace ide {

// `line` is the cursor's line (only its first 255 characters count),
// `column` the 0-based cursor column. From the character before the column
// the scan moves left over characters above blank that are no delimiter,
// then collects to the right up to a character at or below blank or a
// delimiter: ()+-*/\^,.;:<>=?[]{}|_, the double quote and "@".
std::string ContextWord(const std::string& line, int column);

}  // namespace ide
