#include "odbc_message.h"

namespace tilmor::odbc {

std::string ShownMessage(std::string_view message) {
  size_t last = message.rfind(']');
  if (last == std::string_view::npos) return std::string(message);
  return std::string(message.substr(last + 1));
}

}  // namespace tilmor::odbc
