#include "odbc_layout.h"

#include <algorithm>

#include <sql.h>
#include <sqlext.h>

namespace tilmor::odbc {
namespace {

constexpr int64_t kWidestColumn = 65536;
constexpr size_t kLongValue = 65535;
constexpr size_t kNumberText = 64;

bool IsLong(int type) {
  return type == SQL_LONGVARCHAR || type == SQL_LONGVARBINARY || type == SQL_WLONGVARCHAR;
}

}  // namespace

int DisplayWidth(int type, uint64_t size, size_t nameLength) {
  int64_t c = static_cast<int64_t>(std::min<uint64_t>(size, kWidestColumn));
  int64_t w;
  switch (type) {
    case SQL_NUMERIC:
    case SQL_DECIMAL: w = c + 2; break;
    case SQL_INTEGER: w = 11; break;
    case SQL_SMALLINT: w = 6; break;
    case SQL_FLOAT:
    case SQL_DOUBLE: w = 22; break;
    case SQL_REAL: w = 13; break;
    case SQL_DATE: w = 10; break;
    case SQL_TIME: w = 8; break;
    case SQL_TIMESTAMP: w = 23; break;
    case SQL_BIT: w = 1; break;
    case SQL_TINYINT: w = 4; break;
    case SQL_BIGINT: w = 20; break;
    case SQL_BINARY:
    case SQL_VARBINARY: w = 2 * c; break;
    case SQL_LONGVARCHAR: w = 50; break;
    default: w = c + 1; break;
  }
  return static_cast<int>(std::max<int64_t>(w, static_cast<int64_t>(std::min<size_t>(nameLength, kWidestColumn))));
}

size_t BufferChars(int type, uint64_t size, int width) {
  if (IsLong(type) || size == 0 || size > kLongValue) return kLongValue;
  return std::max({static_cast<size_t>(width), static_cast<size_t>(size), kNumberText});
}

void AppendCell(std::string& line, std::string_view value, int width, const Format& f) {
  if (line.size() >= kShortLine) return;
  size_t w = static_cast<size_t>(std::max(width, 0));
  size_t room = kShortLine - line.size();
  size_t take = std::min({value.size(), w, room});
  line.append(value.substr(0, take));
  size_t pad = std::min(w, room) - take;
  line.append(pad, ' ');
  if (line.size() < kShortLine) line += f.separator;
}

void AppendField(std::string& line, std::string_view value, const Format& f) {
  line += f.delimiter;
  line += value;
  line += f.delimiter;
  line += f.separator;
}

std::string DashLine(const std::vector<int>& widths) {
  std::string line;
  for (int w : widths) {
    if (line.size() >= kShortLine) break;
    line.append(std::min(static_cast<size_t>(w) + 1, kShortLine - line.size()), '-');
  }
  return line;
}

}  // namespace tilmor::odbc
