// The compiled program file (.tmc): a 32-byte header, then one record per
// line of the line table (a length byte and the line content, every content
// byte combined with the file's key by exclusive or). Command words and the
// names of functions and system variables become one-byte codes; blanks
// outside strings are dropped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "loader.h"
#include "prepare.h"

namespace tilmor::tmc {

constexpr size_t kHeaderSize = 32;
constexpr size_t kRandomOffset = 19;  // header positions 20 to 30
constexpr size_t kRandomCount = 11;
constexpr size_t kMaxContent = 255;
// Header positions 2 to 18.
constexpr std::string_view kSignature = "ZEL-TILMOR3 DATEI";
constexpr size_t kSignatureOffset = 1;

// Special bytes of a line's content.
enum : unsigned char {
  kNoOp = 39,       // REM, TRACEON, TRACEOFF, $O+, $O-, empty line
  kCallForm = 64,   // "@" line; also the mark before a function code
  kCase = 129,
  kCaseNot = 130,
  kDef = 131,
  kEndif = 132,
  kLabel = 254,
  kUserRef = 255,   // followed by a line number, low byte first
};

// The three code tables; -1 or nullptr when a name or code has no entry.
// Two command names share 120 and 138; the code gives the first of them.
int CommandCode(std::string_view name);
const char* CommandName(int code);
int FunctionCode(std::string_view name);
const char* FunctionName(int code);
// System-variable names include their type character ("%HDC2").
int SystemVariableCode(std::string_view name);
const char* SystemVariableName(int code);

// `randomBytes` are the eleven header bytes of a protected file; nullptr
// gives the blanks of an unprotected one.
std::string MakeHeader(const uint8_t* randomBytes);
// Blanks at positions 21 and 22 give 0; otherwise their bitwise or.
uint8_t KeyOf(std::string_view header);
// Eleven bytes from the system's random source whose key is not 0, so that
// a protected file is always scrambled.
void DrawProtectionBytes(uint8_t out[kRandomCount]);

// The length byte and the scrambled content; content holds at most 255 bytes.
std::string MakeRecord(std::string_view content, uint8_t key);

// Encodes prepared lines. Procedure calls and user functions refer to the
// first PROC or DEF line of that name, which must not lie below the line.
class Encoder {
 public:
  explicit Encoder(const LineTable& lines);

  // The content of line n; false with the compile error's box title. Lines
  // are encoded in order, so that a procedure call finds its PROC record.
  bool EncodeLine(int n, const PreparedLine& prep, std::string& content, std::string& error);

 private:
  bool EncodeStatement(int n, const std::string& cmd, const std::string& param, std::string& out,
                       std::string& error) const;
  bool EncodeText(int n, std::string_view text, std::string& out, std::string& error) const;
  int FirstLine(const std::unordered_map<std::string, int>& index, const std::string& name,
                int n) const;

  std::unordered_map<std::string, int> procs_;  // upper-cased name -> first PROC line
  std::unordered_map<std::string, int> defs_;   // name without "@" -> first DEF line
  // Lines already encoded as PROC records: only those can be called, since
  // the runtime finds the name in the record.
  std::vector<char> procRecords_;
};

// The compiler's command word is cut to 32 characters.
constexpr size_t kCompilerWordMax = 32;
// The box title of an unterminated string (no number in the message table).
constexpr const char* kStringEndMissing = "String-Ende fehlt!";

}  // namespace tilmor::tmc
