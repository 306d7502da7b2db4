// Splitting MCI command strings into words and reading their numbers.
#include "mci_parse.h"

#include <cctype>
#include <climits>

#include "ascii.h"

namespace win {

std::string MciWords::PeekLower() const { return Done() ? std::string() : AsciiLower(words[at]); }

std::string MciWords::Take() { return Done() ? std::string() : words[at++]; }

MCIERROR MciWords::TakeNumber(unsigned* value) {
  if (Done()) return MCIERR_MISSING_PARAMETER;
  const std::string& w = words[at];
  unsigned long long v = 0;
  if (w.empty()) return MCIERR_BAD_INTEGER;
  for (char c : w) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return MCIERR_BAD_INTEGER;
    v = v * 10 + static_cast<unsigned>(c - '0');
    if (v > UINT_MAX) return MCIERR_BAD_INTEGER;
  }
  ++at;
  *value = static_cast<unsigned>(v);
  return 0;
}

MCIERROR SplitMciCommand(std::string_view command, MciWords* out) {
  out->words.clear();
  out->at = 0;
  size_t i = 0;
  while (i < command.size()) {
    unsigned char c = static_cast<unsigned char>(command[i]);
    if (c <= ' ') {
      ++i;
      continue;
    }
    std::string word;
    if (c == '"') {
      size_t close = command.find('"', i + 1);
      if (close == std::string_view::npos) return MCIERR_NO_CLOSING_QUOTE;
      word = command.substr(i + 1, close - i - 1);
      i = close + 1;
    } else {
      while (i < command.size() && static_cast<unsigned char>(command[i]) > ' ') word += command[i++];
    }
    out->words.push_back(std::move(word));
  }
  return 0;
}

}  // namespace win
