// The process-wide interpreter state: everything a run owns, from start-up
// to the end of the process.
#pragma once

#include <array>
#include <memory>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "decode.h"
#include "itemlist.h"
#include "lazytext.h"
#include "loader.h"
#include "paramtext.h"
#include "prepare.h"
#include "scan.h"
#include "variables.h"
#include "wintypes.h"

namespace tilmor {

// Result types of the argument reader.
enum : int { kNone = 0, kString = 1, kInteger = 2, kLong = 3, kFloat = 4 };
// Expected types.
enum : int { kAny = 0, kText = 1, kNumber = 2, kRawText = 9 };

struct ArgResult {
  int type = kNone;
  LazyText text;
  int32_t ival = 0;
  int32_t lval = 0;
  double fval = 0.0;
  char sep = ' ';
  bool eoa = false;  // a parameter-list read found no further argument
};

struct ParamSlot {
  LazyText text;
  int32_t ival = 0;
  int32_t lval = 0;
  double fval = 0.0;
};

// The four arrays; size -1 until dimensioned, elements 0..size.
struct Arrays {
  std::vector<int32_t> ints, longs;
  std::vector<double> floats;
  std::vector<std::string> strings;
  int32_t intSize = -1, longSize = -1, floatSize = -1, stringSize = -1;
};

constexpr int kMaxLoops = 10;
constexpr int kMaxGosub = 50;
constexpr int kMaxCalls = 150;
// Function calls nested inside each other (a recursive DEF runs into it).
constexpr int kMaxEvalDepth = 1000;

// A GOSUB or procedure call: the calling line and the variable counts.
struct CallFrame {
  int32_t line = 0;
  int32_t ints = 0, longs = 0, strings = 0, floats = 0;
  int32_t pcount = 0;  // the caller's %PCOUNT
};

// Where PRINT and the other text commands write.
class TextOutput {
 public:
  virtual ~TextOutput() = default;
  virtual void Write(std::string_view text) = 0;
};

// What the window procedures record; read by system variables and waits.
struct EventRecord {
  uint8_t lastChar = 0;     // 0: none; a character 0 is stored as 1
  std::string keyQueue;     // at most 64 characters, for line input
  int32_t lastKeyDown = 0;  // %SCANKEY
  int32_t key = 0;          // %KEY
  int32_t mouseX = 0, mouseY = 0;
  bool leftDown = false, rightDown = false;
  bool childLeft = false, childRight = false;
  HWND focus = 0;
  int16_t menuItem = 0;
  bool paint = false, timer = false, input = false;
  int32_t lastMessage = 0;
  bool help = false;
  bool waitInput = false;  // F1 counts as help only inside WAITINPUT
  HWND ddeWin = 0;
  UINT timerId = 0;
  HWND timerOwner = 0;
  HWND modeless = 0;  // the current modeless dialog
};

// Thrown to end the process from anywhere inside a run: the teardown runs
// and the process exits with `code`.
struct ProgramEnd {
  int code;
};

constexpr int kExitNormal = 0;
constexpr int kExitRuntimeError = 3;
constexpr int kExitAborted = 255;

// How a stored line's command word is executed; found once per line.
struct LineDispatch {
  enum Kind : uint8_t {
    // from kCall on, the line is a statement to execute
    kNone, kOpSwitch, kLabel, kCase, kCaseNot, kNoOp, kCall, kKeyword, kCommand, kProcedure
  };
  Kind kind = kNone;
  int keyword = 0;
  const void* command = nullptr;  // the command table entry
  bool comment = false;           // the parameter text holds a comment
};

struct Interp {
  // The program.
  LineTable lines;
  int32_t cur = 0;       // current line; the loop increments it first
  int32_t lastLine = 0;  // line count
  uint64_t linesExecuted = 0;  // reported by TILMOR_STATS
  std::vector<std::string> args;  // [0] the interpreter, [1..] its parameters

  // The current line.
  CommandWord cmd;
  ParamText param;
  bool handled = false;
  bool stop = false;
  bool trace = false;
  bool opMode = false;

  ArgResult res;

  // Number formatting.
  int32_t decimals = 6;
  int32_t numWidth = 0;
  int32_t strWidth = 0;

  // Errors.
  int32_t errorLevel = 1;
  int32_t errorState = 0;
  int32_t lastError = 0;

  Variables vars;
  Arrays arrays;
  std::array<ParamSlot, 13> slots{};
  int32_t pcount = 0;  // parameters passed to the current procedure
  int32_t evalDepth = 0;  // function calls in progress

  // Writes slot k; inside GuardSlots the old value is kept to be put back.
  ParamSlot& WriteSlot(int k) {
    ParamSlot& s = slots[static_cast<size_t>(k)];
    if (slotGuards_ > 0) slotLog_.emplace_back(k, s);
    return s;
  }
  // Reads an argument while the slots stay as they are: whatever a nested
  // call writes into them is undone afterwards.
  template <typename F>
  void GuardSlots(F read) {
    size_t mark = slotLog_.size();
    ++slotGuards_;
    struct Undo {
      Interp& in;
      size_t mark;
      ~Undo() {
        --in.slotGuards_;
        while (in.slotLog_.size() > mark) {
          in.slots[static_cast<size_t>(in.slotLog_.back().first)] = std::move(in.slotLog_.back().second);
          in.slotLog_.pop_back();
        }
      }
    } undo{*this, mark};
    read();
  }

  // Control flow.
  ScanIndex scan;
  std::array<int32_t, kMaxLoops + 1> loops{};  // 1..10
  int32_t loopDepth = 0;
  std::array<CallFrame, kMaxCalls + 1> frames{};  // 1..150
  int32_t callDepth = 0;

  ItemList items;
  bool trueColor = false;  // SETTRUECOLOR: colours are COLORREF values

  EventRecord events;
  HWND mainWindow = 0;
  TextOutput* text = nullptr;

  // What is kept of each stored line, per operator mode; the line table
  // never changes, so each line is prepared and classified once.
  struct LineCode {
    PreparedLine prep;
    bool prepared = false;
    LineDispatch dispatch;
    std::string stripped;      // the parameter text without its comment
    DecodedText dec;           // how prep.param reads
    DecodedText strippedDec;   // how stripped reads
    DecodedText conditionDec;  // how the line's ELSEIF condition reads
    std::shared_ptr<struct CaseStatement> caseStatement;  // behind a CASE
  };
  LineCode& Code(int line, bool operatorMode) {
    LineCode* base = codeBase_[operatorMode ? 1 : 0];
    if (!base) [[unlikely]]
      base = MakeCode(operatorMode);
    LineCode& c = base[line];
    if (!c.prepared) [[unlikely]]
      Prepare(line, operatorMode, c);
    return c;
  }
  // Forgets the prepared lines, for a line table that was replaced.
  void ForgetPrepared() {
    for (auto& v : code_) v.clear();
    codeBase_[0] = codeBase_[1] = nullptr;
    defs_.clear();
  }
  // A DEF line: the text after its name's "(" (count, ")" and body).
  struct DefCode {
    std::string text;
    DecodedText dec;
  };
  DefCode& Def(int line);
  // "Zeile", the line number in 6 columns, ": ", a line break, the line.
  std::string DisplayText() const;

 private:
  void Prepare(int line, bool operatorMode, LineCode& c);
  LineCode* MakeCode(bool operatorMode) {
    auto& v = code_[operatorMode ? 1 : 0];
    v = std::vector<LineCode>(static_cast<size_t>(lines.count()) + 1);
    return codeBase_[operatorMode ? 1 : 0] = v.data();
  }
  LineCode* codeBase_[2] = {nullptr, nullptr};

  std::vector<LineCode> code_[2];
  std::vector<std::unique_ptr<DefCode>> defs_;
  std::vector<std::pair<int, ParamSlot>> slotLog_;
  int slotGuards_ = 0;
};

}  // namespace tilmor
