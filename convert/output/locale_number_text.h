#pragma once
// Numbers as display text in the user's numeric locale: the few fixed printf
// formats the formatter uses ("%.15g", "%d", "%u", "%x", "%c"), written with
// the separators of LC_NUMERIC (which the engine sets to the user's), and the
// matching readers for typed text. (VARIANT conversions have rules of their
// own: platform/automation/number_text.h.)
#include <cstdint>
#include <string>
#include <string_view>

namespace vornfmt {

// Truncation toward zero to a signed 32-bit integer; a number outside that
// range (and NaN) gives -2147483648, as the x86 conversion instruction does.
int32_t Truncated(double value);

std::u16string RealText(double value);         // "%.15g"
void AppendRealText(std::u16string& out, double value);  // RealText written straight onto `out`
std::u16string DecimalText(int32_t value);     // "%d"
std::u16string UnsignedText(uint32_t value);   // "%u"
std::u16string HexText(int32_t value);         // "%x": lower case, negatives as 32-bit two's complement
std::u16string CharText(char16_t code);        // "%c": one code unit; code 0 gives the empty text

// The longest leading part of `text` that reads as a decimal floating-point
// number -- white space, sign, digits with the locale's decimal separator,
// exponent -- as the runtime's floating reader takes it (no hexadecimal
// floats, no "inf" or "nan"). `used` is the number of code units it covers,
// 0 when there is no number (the value is then 0).
double ReadLeadingReal(std::u16string_view text, size_t& used);

// The longest leading part of `text` that reads as a decimal floating-point
// number as a format file writes it: optional sign, digits with '.' as the
// separator, exponent -- whatever the locale. 0 when there is none.
double ReadFormatNumber(std::u16string_view text);

// The leading part of `text` read as an integer in `base` (10 or 16): white
// space, a sign and, for base 16, "0x" are allowed; the value saturates at
// the signed 32-bit limits, as the runtime's long reader does. 0 when there
// is no number. `used` as above.
int32_t ReadLeadingLong(std::u16string_view text, int base, size_t& used);

}  // namespace vornfmt
