// Reading and writing number text.
//
// Accepted text (the rules oleaut32 applies with its standard parse flags,
// as far as they matter here):
//   blanks* [sign | '('] blanks* number blanks* [sign | ')'] blanks*
// - blanks: space, tab, CR, LF, VT, FF and U+00A0, any number, also between
//   a leading sign and the digits ("- 5").
// - a sign may lead or trail ("5-" is -5) but not both; "(5)" is -5.
// - number: decimal digits with at most one decimal separator (".5" and
//   "5." are numbers) and an optional exponent "e" / "E" [sign] digits; an
//   "e" without digits is not consumed, so the text is no number.
// - the thousands separator of the locale is skipped anywhere after the
//   first digit of the integer part; its grouping is not checked ("1,2,3" is
//   123 where ',' separates thousands). In locales where '.' separates
//   thousands and ',' decimals, "1.5" therefore reads as 15, as it does on
//   Windows. The C locale has no thousands separator.
// - "&H" hexadecimal and "&O" octal digits (either case), unsigned, without
//   a sign or parentheses (a sign is refused here; whether Windows accepts
//   one is not pinned down).
// Anything else anywhere in the text makes it no number; so does empty text.
#include "platform/automation/emulation/number_text.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <locale.h>

#include "platform/automation/emulation/utf_text.h"

namespace vornfmt::automation {

namespace {

constexpr size_t kMaxDigits = 40;  // more than a double or a 64-bit integer needs
constexpr int64_t kExponentCap = 1'000'000;

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\u00A0';
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

std::u16string Decode(const char* text) {
  if (text == nullptr) return {};
  std::u16string out;
  for (const char* p = text; *p != 0; ++p) {
    if (static_cast<unsigned char>(*p) >= 0x80) return FromUtf8(text);
    out.push_back(static_cast<char16_t>(*p));
  }
  return out;
}

class Reader {
 public:
  explicit Reader(std::u16string_view text) : text_(text) {}
  bool AtEnd() const { return pos_ >= text_.size(); }
  char16_t Peek() const { return AtEnd() ? 0 : text_[pos_]; }
  char16_t PeekAt(size_t ahead) const { return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : 0; }
  void Skip(size_t n = 1) { pos_ += n; }
  void SkipBlanks() {
    while (!AtEnd() && IsBlank(text_[pos_])) ++pos_;
  }
  bool Take(std::u16string_view s) {
    if (s.empty() || text_.substr(pos_, s.size()) != s) return false;
    pos_ += s.size();
    return true;
  }

 private:
  std::u16string_view text_;
  size_t pos_ = 0;
};

bool ReadRadix(Reader& in, ParsedNumber& number) {
  const char16_t kind = in.PeekAt(1);
  const int shift = (kind == u'H' || kind == u'h') ? 4 : (kind == u'O' || kind == u'o') ? 3 : 0;
  if (shift == 0) return false;
  in.Skip(2);
  int count = 0;
  for (;; in.Skip()) {
    const char16_t c = in.Peek();
    int digit;
    if (c >= u'0' && c <= u'9') digit = c - u'0';
    else if (shift == 4 && c >= u'a' && c <= u'f') digit = c - u'a' + 10;
    else if (shift == 4 && c >= u'A' && c <= u'F') digit = c - u'A' + 10;
    else break;
    if (digit >= (1 << shift)) break;
    if (number.radixValue >> (64 - shift)) number.radixTooBig = true;
    number.radixValue = (number.radixValue << shift) | static_cast<uint64_t>(digit);
    ++count;
  }
  number.radix = true;
  return count > 0;
}

void AddDigit(ParsedNumber& number, char16_t c, bool fraction) {
  if (number.digits.empty() && c == u'0') {
    if (fraction) --number.exponent;  // a leading zero after the separator
    return;
  }
  if (number.digits.size() < kMaxDigits) {
    number.digits.push_back(static_cast<char>(c));
    if (fraction) --number.exponent;
  } else {
    if (c != u'0') number.sticky = true;
    if (!fraction) ++number.exponent;
  }
}

bool ReadDecimal(Reader& in, const NumericSeparators& separators, ParsedNumber& number) {
  bool anyDigit = false;
  while (true) {
    const char16_t c = in.Peek();
    if (IsDigit(c)) {
      AddDigit(number, c, false);
      anyDigit = true;
      in.Skip();
    } else if (anyDigit && !separators.thousands.empty() && separators.thousands != separators.decimal &&
               in.Take(separators.thousands)) {
      // grouping is not checked
    } else {
      break;
    }
  }
  if (in.Take(separators.decimal)) {
    while (IsDigit(in.Peek())) {
      AddDigit(number, in.Peek(), true);
      anyDigit = true;
      in.Skip();
    }
  }
  if (!anyDigit) return false;
  const char16_t e = in.Peek();
  if (e == u'e' || e == u'E') {
    size_t signWidth = 0;
    bool negativeExponent = false;
    if (in.PeekAt(1) == u'+' || in.PeekAt(1) == u'-') {
      signWidth = 1;
      negativeExponent = in.PeekAt(1) == u'-';
    }
    if (IsDigit(in.PeekAt(1 + signWidth))) {
      in.Skip(1 + signWidth);
      int64_t exponent = 0;
      while (IsDigit(in.Peek())) {
        if (exponent < kExponentCap) exponent = exponent * 10 + (in.Peek() - u'0');
        in.Skip();
      }
      number.exponent += negativeExponent ? -exponent : exponent;
    }
  }
  if (number.digits.empty()) number.exponent = 0;
  return true;
}

}  // namespace

NumericSeparators CurrentSeparators() {
  NumericSeparators separators;
  const lconv* conv = localeconv();
  if (conv != nullptr) {
    std::u16string decimal = Decode(conv->decimal_point);
    if (!decimal.empty()) separators.decimal = std::move(decimal);
    separators.thousands = Decode(conv->thousands_sep);
  }
  return separators;
}

bool ParseNumber(std::u16string_view text, const NumericSeparators& separators, ParsedNumber& number) {
  number = ParsedNumber{};
  Reader in(text);
  in.SkipBlanks();
  bool leadingSign = false;
  bool parenthesis = false;
  if (in.Peek() == u'+' || in.Peek() == u'-') {
    number.negative = in.Peek() == u'-';
    leadingSign = true;
    in.Skip();
  } else if (in.Peek() == u'(') {
    parenthesis = true;
    in.Skip();
  }
  in.SkipBlanks();
  if (in.Peek() == u'&') {
    if (leadingSign || parenthesis || !ReadRadix(in, number)) return false;
  } else if (!ReadDecimal(in, separators, number)) {
    return false;
  }
  in.SkipBlanks();
  if (parenthesis) {
    if (in.Peek() != u')') return false;
    in.Skip();
    number.negative = true;
  } else if (!leadingSign && !number.radix && (in.Peek() == u'+' || in.Peek() == u'-')) {
    number.negative = in.Peek() == u'-';
    in.Skip();
  }
  in.SkipBlanks();
  return in.AtEnd();
}

bool RoundParsed(const ParsedNumber& number, int extraDigits, uint64_t& magnitude) {
  magnitude = 0;
  if (number.digits.empty()) return true;
  const int64_t count = static_cast<int64_t>(number.digits.size());
  const int64_t exponent = number.exponent + extraDigits;
  // Digits before the rounding point.
  const int64_t whole = count + exponent;
  if (whole > 20) return false;
  unsigned __int128 value = 0;
  for (int64_t i = 0; i < whole; ++i) {
    value = value * 10 + (i < count ? number.digits[static_cast<size_t>(i)] - '0' : 0);
  }
  if (whole < count) {
    // First dropped digit and whether anything non-zero follows it.
    int first = 0;
    bool rest = number.sticky;
    for (int64_t i = whole < 0 ? 0 : whole; i < count; ++i) {
      const int digit = number.digits[static_cast<size_t>(i)] - '0';
      if (i == whole) first = digit;
      else if (digit != 0) rest = true;
    }
    if (first > 5 || (first == 5 && (rest || (value & 1)))) ++value;
  }
  if (value > UINT64_MAX) return false;
  magnitude = static_cast<uint64_t>(value);
  return true;
}

bool ParsedToDouble(const ParsedNumber& number, double& value) {
  if (number.radix) {
    value = static_cast<double>(number.radixValue);
    return !number.radixTooBig;
  }
  if (number.digits.empty()) {
    value = number.negative ? -0.0 : 0.0;
    return true;
  }
  std::string text = number.digits;
  // A trailing non-zero digit stands for the dropped ones, so that a value
  // exactly between two doubles is not taken for a tie.
  if (number.sticky) {
    text.push_back('1');
  }
  const int64_t exponent = number.exponent - (number.sticky ? 1 : 0);
  text += 'e';
  text += std::to_string(exponent);
  double parsed = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    if (static_cast<int64_t>(number.digits.size()) + number.exponent > 0) return false;
    parsed = 0.0;
  } else if (error != std::errc{} || std::isinf(parsed)) {
    return false;
  }
  value = number.negative ? -parsed : parsed;
  return true;
}

double RoundHalfEven(double value) {
  if (!std::isfinite(value)) return value;
  const double floor = std::floor(value);
  const double fraction = value - floor;
  if (fraction > 0.5) return floor + 1.0;
  if (fraction < 0.5) return floor;
  return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

std::u16string FormatReal(double value, int precision, const NumericSeparators& separators) {
  char buffer[64];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
  if (error != std::errc{}) return u"0";
  std::string_view text(buffer, static_cast<size_t>(end - buffer));
  if (text == "-0") text = "0";
  std::u16string out;
  out.reserve(text.size() + separators.decimal.size());
  for (char c : text) {
    if (c == '.') {
      for (char16_t d : separators.decimal) out.push_back(d);
    } else {
      out.push_back(static_cast<char16_t>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c));
    }
  }
  return out;
}

std::u16string FormatSigned(int64_t value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::u16string(buffer, result.ptr);
}

std::u16string FormatUnsigned(uint64_t value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::u16string(buffer, result.ptr);
}

std::u16string FormatCurrency(int64_t value, const NumericSeparators& separators) {
  const bool negative = value < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  std::u16string out = negative ? u"-" : u"";
  out += FormatUnsigned(magnitude / 10000);
  uint64_t fraction = magnitude % 10000;
  if (fraction != 0) {
    std::u16string digits = FormatUnsigned(fraction);
    digits.insert(0, 4 - digits.size(), u'0');
    while (digits.back() == u'0') digits.pop_back();
    out += separators.decimal;
    out += digits;
  }
  return out;
}

}  // namespace vornfmt::automation
