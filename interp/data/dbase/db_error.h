// The pending table error: an internal number and its detail text, shared
// by every table, memo file and index of the process.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tilmor::dbase {

// Internal numbers the engine sets besides operating-system error codes.
enum : int {
  kErrRange = 100,        // record outside the table, index page I/O
  kErrNotDbase = 157,     // not a dBase III table, damaged header
  kErrNumericKey = 501,   // a numeric key that is no number
  kErrFormula = 601,      // key formula element
  kErrFieldRead = 602,
  kErrFieldNumberRead = 603,
  kErrFieldWrite = 604,
  kErrFieldNumberWrite = 605,
  kErrMemoNumber = 620,   // a memo field that holds no block number
  kErrDefinitionFile = 800,
  kErrDuplicateField = 801,
  kErrFieldLength = 802,
  kErrDecimals = 803,
  kErrFieldName = 804,    // empty field name in a structure definition
  kErrTooManyFields = 805,
  kErrIndexFile = 901,
  kErrIndexField = 902,
  kErrEndOfFile = 38,     // a read ran past the end of its file
};

class DbError {
 public:
  int number() const { return number_; }
  // ": " followed by the detail, or empty.
  const std::string& text() const { return text_; }
  bool pending() const { return number_ != 0; }

  // Table operations replace what is pending.
  void Set(int number, std::string_view detail);
  // The file layer keeps an error that is already pending.
  void SetIfNone(int number, std::string_view detail) {
    if (!pending()) Set(number, detail);
  }
  void Clear() {
    number_ = 0;
    text_.clear();
  }

 private:
  int number_ = 0;
  std::string text_;
};

// The message of the error table that shows an internal number, and the
// text that follows the message.
struct ErrorMessage {
  int message = 0;
  std::string extra;
};
ErrorMessage MessageFor(int number, const std::string& text);

// A POSIX errno as the operating-system error code the messages report.
int SystemErrorCode(int err);

}  // namespace tilmor::dbase
