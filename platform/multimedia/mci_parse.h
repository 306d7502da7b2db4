// The words of an MCI command string: split at blanks, double quotes
// around a word with blanks.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "mmsystem.h"

namespace win {

struct MciWords {
  std::vector<std::string> words;
  size_t at = 0;

  bool Done() const { return at >= words.size(); }
  // The next word in lower case, or "" at the end.
  std::string PeekLower() const;
  std::string Take();
  // The next word as a number of the current time format; MCIERR_BAD_INTEGER
  // or MCIERR_MISSING_PARAMETER when it is not one.
  MCIERROR TakeNumber(unsigned* value);
};

// MCIERR_NO_CLOSING_QUOTE for an open quote.
MCIERROR SplitMciCommand(std::string_view command, MciWords* out);

}  // namespace win
