// Number formatting and number reading as the language does them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tilmor {

// Decimal, right-aligned in `width` (no padding when 0 or too small).
std::string FormatInteger(int64_t v, int width);
// Fixed point with `decimals` places, right-aligned in `width`; halves
// round away from zero. Cut to 255 characters.
std::string FormatFloat(double v, int width, int decimals);

// Reads a whole number the way Pascal's Val does: leading blanks, a sign,
// decimal digits or "$" and hexadecimal digits. `ok` is false when the text
// does not end after the number; the value is then what was read up to the
// offending character (0 when nothing was).
int32_t ReadWhole(std::string_view s, bool* ok = nullptr);
// Reads a floating-point number; the whole text must be the number.
bool ReadFloat(std::string_view s, double& out);

// Float to a 32-bit whole number: truncated toward zero, 0 when out of range.
int32_t TruncToInt32(double v);

}  // namespace tilmor
