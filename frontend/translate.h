// Operator mode: a purely textual infix-to-prefix translation. Each
// parenthesis level may hold one binary operator; there is no precedence.
#pragma once

#include <string>
#include <string_view>

namespace tilmor {

std::string TranslateInfix(std::string_view line);

}  // namespace tilmor
