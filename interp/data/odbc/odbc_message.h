// The text of a driver's message as the error box shows it.
#pragma once

#include <string>
#include <string_view>

namespace tilmor::odbc {

// What follows the message's last "]" (the names of driver manager and
// driver in brackets go); the whole message when it has no "]".
std::string ShownMessage(std::string_view message);

}  // namespace tilmor::odbc
