#include "convert/output/locale_number_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "platform/code_page.h"
#include "platform/hex_digit.h"
#include "platform/numeric_locale.h"

namespace vornfmt {
namespace {

constexpr bool IsSpace(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }
constexpr bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

size_t SkipDigits(std::u16string_view text, size_t at) {
  while (at < text.size() && IsDigit(text[at])) ++at;
  return at;
}

// End of the decimal number starting at `at` (after white space), or `at`
// itself when there is none.
size_t ScanReal(std::u16string_view text, size_t at, std::u16string_view separator) {
  size_t i = at;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
  const size_t integerEnd = SkipDigits(text, i);
  size_t end = integerEnd;
  size_t digits = integerEnd - i;
  if (text.substr(end).starts_with(separator)) {
    const size_t fractionEnd = SkipDigits(text, end + separator.size());
    digits += fractionEnd - (end + separator.size());
    if (digits > 0) end = fractionEnd;
  }
  if (digits == 0) return at;
  if (end < text.size() && (text[end] == u'e' || text[end] == u'E')) {
    size_t e = end + 1;
    if (e < text.size() && (text[e] == u'+' || text[e] == u'-')) ++e;
    const size_t exponentEnd = SkipDigits(text, e);
    if (exponentEnd > e) end = exponentEnd;
  }
  return end;
}

// `written` with its '.' replaced by the locale's separator.
void AppendWithSeparator(std::u16string& out, std::string_view written, std::string_view separator) {
  for (char c : written) {
    if (c == '.') out += codepage::Utf8ToUtf16(separator);
    else out.push_back(static_cast<char16_t>(c));
  }
}

}  // namespace

int32_t Truncated(double value) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

void AppendRealText(std::u16string& out, double value) {
  // to_chars writes exactly what "%.15g" writes in the C locale, without the
  // cost of printf; only the decimal separator is the locale's.
  char text[64];
  const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15);
  if (written.ec != std::errc()) return;
  const char* separator = LocaleDecimalPoint();
  if (separator[0] != '.' || separator[1] != 0)
    return AppendWithSeparator(out, std::string_view(text, written.ptr), separator);
  // Widened in one step: appending character by character checks the
  // string's capacity for each of them.
  char16_t wide[64];
  const size_t length = static_cast<size_t>(written.ptr - text);
  for (size_t i = 0; i < length; ++i) wide[i] = static_cast<char16_t>(text[i]);
  out.append(wide, length);
}

std::u16string RealText(double value) {
  std::u16string out;
  AppendRealText(out, value);
  return out;
}

// Integers as printf's "%d", "%u" and "%x" write them (no locale plays a
// part there), through to_chars.
template <class Integer>
std::u16string IntegerText(Integer value, int base) {
  char text[16];
  const auto written = std::to_chars(text, text + sizeof text, value, base);
  return std::u16string(text, written.ptr);
}

std::u16string DecimalText(int32_t value) { return IntegerText(value, 10); }

std::u16string UnsignedText(uint32_t value) { return IntegerText(value, 10); }

std::u16string HexText(int32_t value) { return IntegerText(static_cast<uint32_t>(value), 16); }

std::u16string CharText(char16_t code) { return code == 0 ? std::u16string() : std::u16string(1, code); }

namespace {

// A plain decimal number (sign, digits, one '.' separator, exponent) read
// by to_chars' counterpart; false when it lies outside the double's range,
// where the runtime reader's own answer is wanted.
bool ReadPlainDecimal(const char* text, size_t length, double& value) {
  if (length > 0 && text[0] == '+') ++text, --length;
  const auto [stop, error] = std::from_chars(text, text + length, value);
  return error == std::errc() && stop == text + length;
}

}  // namespace

double ReadFormatNumber(std::u16string_view text) {
  const size_t end = ScanReal(text, 0, u".");
  char narrow[128];
  if (end == 0 || end >= sizeof narrow) return 0.0;
  for (size_t i = 0; i < end; ++i) narrow[i] = static_cast<char>(text[i]);
  double value = 0.0;
  if (ReadPlainDecimal(narrow, end, value)) return value;
  // Beyond the double's range: an exponent below it reads as zero, one above as infinity.
  const std::string_view written(narrow, end);
  const size_t e = written.find_first_of("eE");
  const double magnitude = e != std::string_view::npos && written.substr(e + 1).starts_with('-') ? 0.0 : HUGE_VAL;
  return text[0] == u'-' ? -magnitude : magnitude;
}

double ReadLeadingReal(std::u16string_view text, size_t& used) {
  size_t start = 0;
  while (start < text.size() && IsSpace(text[start])) ++start;
  const char* point = LocaleDecimalPoint();
  const bool asciiPoint = point[0] != 0 && static_cast<unsigned char>(point[0]) < 0x80 && point[1] == 0;
  const char16_t asciiSeparator = static_cast<char16_t>(point[0]);
  const std::u16string wideSeparator = asciiPoint ? std::u16string() : codepage::Utf8ToUtf16(point);
  const std::u16string_view separator = asciiPoint ? std::u16string_view(&asciiSeparator, 1) : wideSeparator;
  const size_t end = ScanReal(text, start, separator);
  if (end == start) {
    used = 0;
    return 0.0;
  }
  used = end;
  // The number part is plain ASCII apart from the separator, which the
  // runtime reader expects in the locale's own (UTF-8) form.
  if (!asciiPoint) return std::strtod(codepage::Utf16ToUtf8(text.substr(start, end - start)).c_str(), nullptr);
  char narrow[128];
  const size_t n = end - start;
  if (n >= sizeof narrow) return std::strtod(codepage::Utf16ToUtf8(text.substr(start, n)).c_str(), nullptr);
  char plain[128];
  for (size_t i = 0; i < n; ++i) {
    narrow[i] = static_cast<char>(text[start + i]);
    plain[i] = narrow[i] == point[0] ? '.' : narrow[i];
  }
  narrow[n] = 0;
  double value = 0.0;
  if (ReadPlainDecimal(plain, n, value)) return value;
  return std::strtod(narrow, nullptr);
}

int32_t ReadLeadingLong(std::u16string_view text, int base, size_t& used) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  if (base == 16 && i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X') &&
      HexDigit(text.size() > i + 2 ? text[i + 2] : u'\0') >= 0)
    i += 2;
  int64_t magnitude = 0;
  const size_t first = i;
  for (; i < text.size(); ++i) {
    const int digit = base == 16 ? HexDigit(text[i]) : (IsDigit(text[i]) ? text[i] - u'0' : -1);
    if (digit < 0) break;
    if (magnitude <= (int64_t{1} << 32)) magnitude = magnitude * base + digit;
  }
  if (i == first) {
    used = 0;
    return 0;
  }
  used = i;
  const int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

}  // namespace vornfmt
