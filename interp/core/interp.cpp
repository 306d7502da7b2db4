#include "interp.h"

#include "chars.h"
#include "messages.h"

namespace tilmor {

const PreparedLine& Interp::Prepared(int line, bool operatorMode) {
  auto& cache = prepared_[operatorMode ? 1 : 0];
  auto& valid = preparedValid_[operatorMode ? 1 : 0];
  size_t n = static_cast<size_t>(lines.count()) + 1;
  if (cache.size() != n || valid.size() != n) {
    cache.assign(n, PreparedLine{});
    valid.assign(n, 0);
  }
  size_t i = static_cast<size_t>(line);
  if (!valid[i]) {
    cache[i] = PrepareLine(lines[line], operatorMode);
    valid[i] = 1;
  }
  return cache[i];
}

std::string Interp::DisplayText() const {
  std::string s = MessageText(801);
  s += PadLeft(std::to_string(cur), 6);
  s += ": \r\n";
  if (cur >= 1 && cur <= lines.count()) s += Trim(lines[cur]);
  return s;
}

}  // namespace tilmor
