#include "interp.h"

#include "chars.h"
#include "messages.h"

namespace tilmor {

void Interp::Prepare(int line, bool operatorMode, LineCode& c) {
  c.prep = PrepareLine(lines[line], operatorMode);
  int p = FindTop('\'', c.prep.param);
  if (p > 0) c.stripped = Trim(std::string_view(c.prep.param).substr(0, static_cast<size_t>(p - 1)));
  c.prepared = true;
}

Interp::DefCode& Interp::Def(int line) {
  size_t n = static_cast<size_t>(lines.count()) + 1;
  if (defs_.size() != n) defs_.resize(n);
  auto& d = defs_[static_cast<size_t>(line)];
  if (!d) {
    d = std::make_unique<DefCode>();
    const std::string& def = lines[line];
    size_t open = def.find('(');
    d->text = open == std::string::npos ? std::string(")") : Trim(std::string_view(def).substr(open + 1));
  }
  return *d;
}

std::string Interp::DisplayText() const {
  std::string s = MessageText(801);
  s += PadLeft(std::to_string(cur), 6);
  s += ": \r\n";
  if (cur >= 1 && cur <= lines.count()) s += Trim(lines[cur]);
  return s;
}

}  // namespace tilmor
