// Reading a compiled program file back into a line table: the header's
// signature and key are checked, every record is unscrambled and decoded
// into the text of the line it stands for.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "loader.h"

namespace tilmor::tmc {

struct ReadResult {
  bool ok = false;
  int error = 0;  // 905: not a compiled program; 906: damaged
  uint8_t key = 0;
  LineTable lines;
};

// Never reads outside `bytes`; any inconsistency gives 906.
ReadResult ReadProgram(std::string_view bytes);

// The unscrambled contents of the records; false when a record runs past
// the end of the data or the count exceeds the line limit.
bool SplitRecords(std::string_view body, uint8_t key, std::vector<std::string>& contents);

// Decodes record n (1-based) of `contents`; false when it is inconsistent.
// Blanks are put back between command word and parameters and after a CASE
// condition; a user function, whose name the file does not keep, is called
// "FN" followed by the line of its definition.
bool DecodeRecord(const std::vector<std::string>& contents, int n, std::string& line);

}  // namespace tilmor::tmc
