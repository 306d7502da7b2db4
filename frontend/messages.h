// The numbered message table shared by the interpreter and the compiler.
#pragma once

#include <string>

namespace tilmor {

// The text of message n; "UNERWARTETER FEHLER!" for a number not in the table.
std::string MessageText(int n);
bool HasMessage(int n);

}  // namespace tilmor
