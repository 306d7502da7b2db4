// How a result set becomes lines of text: the display width of each column
// and the two layouts, padded columns for the window and the item list,
// delimited fields for the result file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tilmor::odbc {

// Lines of the window and the item list are short strings.
constexpr size_t kShortLine = 255;

// The display width of a column of SQL type `type` and column size `size`;
// a longer name widens it to the name's length.
int DisplayWidth(int type, uint64_t size, size_t nameLength);

// The characters a column's buffer must hold: at least its width, enough
// for any number's text, and a long value whole up to 65535 characters.
size_t BufferChars(int type, uint64_t size, int width);

// SQLSETDEL's and SQLSETNULL's settings.
struct Format {
  std::string separator = "|";  // none or one character
  std::string delimiter;        // none or one character
  std::string nullText = "NULL";

  // The first character becomes the separator, the second the delimiter.
  void SetDelimiters(std::string_view text) {
    separator = text.substr(0, text.size() >= 1 ? 1 : 0);
    delimiter = text.size() >= 2 ? text.substr(1, 1) : std::string_view();
  }
};

// The padded layout: the value padded with blanks or cut to `width`, then
// the separator; the line never grows beyond a short string.
void AppendCell(std::string& line, std::string_view value, int width, const Format& f);
// The delimited layout: delimiter, value, delimiter, separator.
void AppendField(std::string& line, std::string_view value, const Format& f);
// The line under the heading: width + 1 dashes per column.
std::string DashLine(const std::vector<int>& widths);

}  // namespace tilmor::odbc
