#pragma once
// Number text as VariantChangeType reads and writes it. Separated from the
// conversion so that the reading and writing rules can be exercised with any
// separators, whatever locales the machine has.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/automation/emulation/automation_types.h"

namespace vornfmt::automation {

struct NumericSeparators {
  std::u16string decimal = u".";
  std::u16string thousands;  // empty: none accepted
};

// The separators of the current numeric locale (localeconv(): decimal_point
// and thousands_sep, decoded as UTF-8 when they are not plain ASCII).
NumericSeparators CurrentSeparators();

// A number read from text: value = digits x 10^exponent (negated when
// `negative`), or, for "&H" / "&O" text, the unsigned `radixValue`.
struct ParsedNumber {
  bool negative = false;
  std::string digits;     // significant decimal digits, no leading zeros; empty for zero
  int64_t exponent = 0;   // power of ten applied to `digits`
  bool sticky = false;    // non-zero digits beyond those kept in `digits`
  bool radix = false;     // "&H..." or "&O..."
  bool radixTooBig = false;
  uint64_t radixValue = 0;
};

// Reads the whole text (see number_text.cpp for the grammar). False when the
// text is not a number.
bool ParseNumber(std::u16string_view text, const NumericSeparators& separators, ParsedNumber& number);

// Rounds a parsed decimal number half to even at the integer (or, with
// `extraDigits` 4, at the 1/10000 currency unit). False when the magnitude
// reaches 2^64.
bool RoundParsed(const ParsedNumber& number, int extraDigits, uint64_t& magnitude);

// The nearest double; false (overflow) beyond the double range. Values too
// small for a double become 0.
bool ParsedToDouble(const ParsedNumber& number, double& value);

// Round half to even of a double.
double RoundHalfEven(double value);

// "%.*G" with `precision` significant digits (15 for doubles, 7 for floats),
// the locale's decimal separator, and never "-0".
std::u16string FormatReal(double value, int precision, const NumericSeparators& separators);
std::u16string FormatSigned(int64_t value);
std::u16string FormatUnsigned(uint64_t value);
// Currency: up to four decimals, trailing zeros dropped ("1.5", "-0.0009").
std::u16string FormatCurrency(int64_t value, const NumericSeparators& separators);

}  // namespace vornfmt::automation
