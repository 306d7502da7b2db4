// Scan targets of the control keywords. The line table never changes after
// loading, so what a forward scan or a search from the top would find is
// computed once per starting line and reused; the keywords still evaluate
// ELSEIF conditions in order and raise a missing target's error when the
// scan would have run out.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "loader.h"

namespace tilmor {

struct IfScan {
  std::vector<int> elseIfs;  // ELSEIF lines at nesting 0, in order
  int end = -1;              // the ELSE or ENDIF that ends the scan; -1 none
};

class ScanIndex {
 public:
  void Attach(const LineTable* lines);

  const IfScan& IfFalse(int from);
  int EndifFrom(int from);    // for ELSE/ELSEIF reached by execution
  int WendFrom(int from);     // for a false WHILE
  int EndprocFrom(int from);  // for PROC reached by execution

  // First line whose upper-cased text begins with `label` (ending in ":").
  int LabelLine(const std::string& label);
  // First "PROC name" line.
  int ProcLine(const std::string& name);
  // First "DEF name(" line.
  int DefLine(const std::string& name);

  // The ELSEIF condition text of a line (from its 8th character).
  const std::string& ElseIfCondition(int line, bool operatorMode);

 private:
  enum Flag : unsigned {
    kIf = 1, kIfNot = 2, kEndif = 4, kElseIfBlank = 8, kElse = 16, kWhile = 32,
    kWhileNot = 64, kWend = 128, kEndWhile = 256, kProc = 512, kEndproc = 1024
  };
  void Classify();
  int Forward(int from, unsigned open, unsigned close, std::vector<int>& cache);

  const LineTable* lines_ = nullptr;
  std::vector<unsigned> flags_;
  std::vector<int> endif_, wend_, endproc_;  // -2: not computed
  std::vector<IfScan> ifScans_;
  std::vector<bool> ifDone_;
  std::unordered_map<std::string, int> labels_, procs_, defs_;
  std::vector<std::string> conditions_[2];
  std::vector<bool> conditionDone_[2];
};

}  // namespace tilmor
