// How the arguments of a text that stays put read, remembered from the
// first time they were read: where each argument ends, what kind it is,
// its literal value or the variable, system variable or function it names.
// Only what follows from the text alone is kept; values are read anew
// every time, so a later read behaves exactly as reading the text again.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <memory>
#include <vector>

#include "fastcall.h"


namespace tilmor {

struct Interp;
using FunctionHandler = void (*)(Interp&);
using SysVarHandler = void (*)(Interp&);

struct ArgDecode {
  enum Kind : uint8_t {
    kCall,       // a function call; `text` is its name
    kQuoted,     // a quoted string; `text` is its value
    kWhole,      // a number literal without "."
    kFloat,      // a number literal with "."
    kNotNumber,  // warning 214; `text` is the argument
    kVariable,   // `text` is the name, `id` its name id
    kSystem,     // a system variable; `text` is its name
    kNoParen,    // a call without "(": error 213
  };
  // The key: where the argument starts, the separator and the expected type.
  uint16_t at = 0;
  char c = ' ';
  uint8_t t = 0;

  Kind kind = kQuoted;
  char varKind = 0;      // '$', '!', '&', '%' or '#' for kVariable
  uint16_t adv = 0;      // characters the read takes off the front
  char sep = ' ';
  bool eoa = false;
  std::string text;
  int32_t whole = 0;
  double real = 0.0;
  int id = -1;
  FunctionHandler fn = nullptr;  // a built-in with a handler
  bool builtin = false;          // a built-in name (with or without handler)
  SysVarHandler sys = nullptr;
  // A call that can be evaluated as a tree; decoded on its first replay.
  bool fastTried = false;
  std::unique_ptr<FastCall> fast;
};

// A name a command cuts off the front itself (LET's target, INC's variable).
struct NameDecode {
  uint16_t at = 0;
  uint16_t len = 0;
  std::string name;  // trimmed, upper case
  int id = -1;
};

struct DecodedText {
  std::vector<NameDecode> names;
  std::unique_ptr<std::vector<NameDecode>> list;  // a DECLARE list
  uint32_t listAt = 0;
  static constexpr size_t kMaxArgs = 64;
  // Entries never move: a read in progress keeps pointing at its own.
  std::vector<std::unique_ptr<ArgDecode>> args;
  uint32_t cursor = 0;  // where the next read is expected

  // The decode of the read at `at` with c and t, or nullptr.
  ArgDecode* Find(uint32_t at, char c, int t) {
    size_t n = args.size();
    if (cursor < n) {
      ArgDecode& d = *args[cursor];
      if (d.at == at && d.c == c && d.t == t) {
        ++cursor;
        return &d;
      }
    }
    for (size_t i = 0; i < n; ++i) {
      ArgDecode& d = *args[i];
      if (d.at == at && d.c == c && d.t == t) {
        cursor = static_cast<uint32_t>(i + 1);
        return &d;
      }
    }
    return nullptr;
  }
};

// What reading the front of `p` (its front trimmed) with separator c and
// expected type t does, as far as the text alone decides it.
void DecodeArgument(std::string_view p, char c, int t, ArgDecode& d);

// Fast paths off (TILMOR_NOFAST) or checked against the text on every read
// (TILMOR_SHADOW).
extern const bool g_fastPaths;
extern const bool g_shadowChecks;
inline bool FastPathsOn() { return g_fastPaths; }
inline bool ShadowChecks() { return g_shadowChecks; }

}  // namespace tilmor
