// The character set text has on the driver's side of the boundary: UTF-8
// (SQLite's and PostgreSQL's drivers on Linux) or Windows-1252 itself.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tilmor::odbc {

class Charset {
 public:
  enum class Kind { Utf8, Cp1252 };

  Charset() = default;
  explicit Charset(Kind kind) : kind_(kind) {}
  // $TILMOR_ODBC_CHARSET: "WINDOWS-1252" (also "CP1252", "1252", "LATIN1",
  // "ISO-8859-1") leaves the bytes as they are; unset or anything else is UTF-8.
  static Charset FromEnvironment();
  static Charset Named(std::string_view name);

  Kind kind() const { return kind_; }
  // The most bytes one character of the program's text takes on the driver's side.
  size_t maxBytesPerChar() const { return kind_ == Kind::Utf8 ? 4 : 1; }

  // Windows-1252 to the driver's text.
  std::string ToDriver(std::string_view text) const;
  // The driver's text, appended as Windows-1252 to `out`. `cut`: the driver
  // cut the value to its buffer, so a character split at the end is dropped.
  void AppendFromDriver(std::string& out, std::string_view text, bool cut = false) const;
  std::string FromDriver(std::string_view text, bool cut = false) const {
    std::string out;
    AppendFromDriver(out, text, cut);
    return out;
  }

 private:
  Kind kind_ = Kind::Utf8;
};

// The length of `text` without a UTF-8 sequence left incomplete at its end.
size_t WithoutSplitCharacter(std::string_view text);

}  // namespace tilmor::odbc
