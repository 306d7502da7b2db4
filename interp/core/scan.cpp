#include "scan.h"

#include "chars.h"
#include "prepare.h"

namespace tilmor {

void ScanIndex::Attach(const LineTable* lines) {
  lines_ = lines;
  size_t n = static_cast<size_t>(lines->count()) + 1;
  endif_.assign(n, -2);
  wend_.assign(n, -2);
  endproc_.assign(n, -2);
  ifScans_.assign(n, IfScan{});
  ifDone_.assign(n, false);
  for (int m = 0; m < 2; ++m) {
    conditions_[m].assign(n, std::string());
    conditionDone_[m].assign(n, false);
  }
  Classify();
}

void ScanIndex::Classify() {
  const int count = lines_->count();
  flags_.assign(static_cast<size_t>(count) + 1, 0);
  labels_.clear();
  procs_.clear();
  defs_.clear();
  for (int n = 1; n <= count; ++n) {
    std::string u = UpperCase(TrimView((*lines_)[n]));
    auto starts = [&u](std::string_view p) { return u.compare(0, p.size(), p) == 0; };
    unsigned f = 0;
    if (starts("IF ")) f |= kIf;
    if (starts("IFNOT ")) f |= kIfNot;
    if (starts("ENDIF")) f |= kEndif;
    if (starts("ELSEIF ")) f |= kElseIfBlank;
    if (starts("ELSE")) f |= kElse;
    if (starts("WHILE ")) f |= kWhile;
    if (starts("WHILENOT ")) f |= kWhileNot;
    if (starts("WEND")) f |= kWend;
    if (starts("ENDWHILE")) f |= kEndWhile;
    if (starts("PROC ")) {
      f |= kProc;
      procs_.emplace(Trim(std::string_view(u).substr(5)), n);
    }
    if (starts("ENDPROC")) f |= kEndproc;
    if (starts("DEF ")) {
      std::string_view rest = std::string_view(u).substr(4);
      size_t p = rest.find('(');
      std::string name = Trim(rest.substr(0, p));
      if (!name.empty() && name[0] == '@') name.erase(0, 1);
      defs_.emplace(std::move(name), n);
    }
    size_t colon = u.find(':');
    if (colon != std::string::npos) labels_.emplace(u.substr(0, colon + 1), n);
    flags_[static_cast<size_t>(n)] = f;
  }
}

int ScanIndex::Forward(int from, unsigned open, unsigned close, std::vector<int>& cache) {
  int& slot = cache[static_cast<size_t>(from)];
  if (slot != -2) return slot;
  int counter = 0;
  slot = -1;
  for (int n = from + 1; n <= lines_->count(); ++n) {
    unsigned f = flags_[static_cast<size_t>(n)];
    if (f & open) {
      ++counter;
    } else if (f & close) {
      if (counter == 0) {
        slot = n;
        break;
      }
      --counter;
    }
  }
  return slot;
}

const IfScan& ScanIndex::IfFalse(int from) {
  IfScan& scan = ifScans_[static_cast<size_t>(from)];
  if (ifDone_[static_cast<size_t>(from)]) return scan;
  ifDone_[static_cast<size_t>(from)] = true;
  int counter = 0;
  for (int n = from + 1; n <= lines_->count(); ++n) {
    unsigned f = flags_[static_cast<size_t>(n)];
    if (f & (kIf | kIfNot)) {
      ++counter;
    } else if (f & kEndif) {
      if (counter == 0) {
        scan.end = n;
        break;
      }
      --counter;
    } else if ((f & kElseIfBlank) && counter == 0) {
      scan.elseIfs.push_back(n);
    } else if ((f & kElse) && counter == 0) {
      scan.end = n;
      break;
    }
  }
  return scan;
}

int ScanIndex::EndifFrom(int from) { return Forward(from, kIf | kIfNot, kEndif, endif_); }
int ScanIndex::WendFrom(int from) { return Forward(from, kWhile | kWhileNot, kWend | kEndWhile, wend_); }
int ScanIndex::EndprocFrom(int from) { return Forward(from, kProc, kEndproc, endproc_); }

int ScanIndex::LabelLine(const std::string& label) {
  if (label.find(':') == label.size() - 1) {
    auto it = labels_.find(label);
    return it == labels_.end() ? -1 : it->second;
  }
  // A label holding a colon of its own: compare line by line.
  for (int n = 1; n <= lines_->count(); ++n)
    if (StartsWithUpper((*lines_)[n], label)) return n;
  return -1;
}

int ScanIndex::ProcLine(const std::string& name) {
  auto it = procs_.find(name);
  return it == procs_.end() ? -1 : it->second;
}

int ScanIndex::DefLine(const std::string& name) {
  auto it = defs_.find(name);
  return it == defs_.end() ? -1 : it->second;
}

const std::string& ScanIndex::ElseIfCondition(int line, bool operatorMode) {
  int m = operatorMode ? 1 : 0;
  size_t i = static_cast<size_t>(line);
  if (!conditionDone_[m][i]) {
    std::string_view stored = (*lines_)[line];
    conditions_[m][i] = TranslateIfNeeded(stored.size() > 7 ? stored.substr(7) : std::string_view(), operatorMode);
    conditionDone_[m][i] = true;
  }
  return conditions_[m][i];
}

}  // namespace tilmor
