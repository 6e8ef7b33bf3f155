#include "format/scaling_part.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string>
#include <system_error>

#include "format/cmy_string.h"

namespace vornfmt {
namespace {

// A cursor over the argument text, reading like scanf.
class ScanCursor {
 public:
  explicit ScanCursor(std::u16string_view text) : text_(text) {}

  bool Literal(char16_t c) {
    if (pos_ >= text_.size() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }

  bool Float(float& out) {
    SkipWhiteSpace();
    const std::string ascii = AsciiRun();
    const char* begin = ascii.data();
    const char* end = ascii.data() + ascii.size();
    const bool negative = begin != end && *begin == '-';
    if (begin != end && (*begin == '-' || *begin == '+')) ++begin;
    if (begin != end && (*begin == '-' || *begin == '+')) return false;  // "+-1": from_chars would take it
    float value = 0.0f;
    const auto [ptr, ec] = std::from_chars(begin, end, value, std::chars_format::general);
    if (ec == std::errc::invalid_argument) return false;
    if (ec == std::errc::result_out_of_range) value = OutOfRange(std::string_view(begin, ptr - begin));
    out = negative ? -value : value;
    pos_ += static_cast<std::size_t>(ptr - ascii.data());
    return true;
  }

  bool Int(std::int32_t& out) {
    SkipWhiteSpace();
    const std::string ascii = AsciiRun();
    const char* begin = ascii.data();
    const char* end = ascii.data() + ascii.size();
    bool negative = false;
    if (begin != end && (*begin == '-' || *begin == '+')) negative = *begin++ == '-';
    std::uint64_t magnitude = 0;
    const char* digits = begin;
    for (; begin != end && *begin >= '0' && *begin <= '9'; ++begin) {
      if (magnitude < (std::uint64_t{1} << 40)) magnitude = magnitude * 10 + static_cast<unsigned>(*begin - '0');
    }
    if (begin == digits) return false;
    out = Saturate(negative, magnitude);
    pos_ += static_cast<std::size_t>(begin - ascii.data());
    return true;
  }

 private:
  void SkipWhiteSpace() {
    while (pos_ < text_.size() && IsWhiteSpace(text_[pos_])) ++pos_;
  }

  // The ASCII characters from the cursor on, up to the first one that cannot
  // be part of a number (so a long argument is not copied as a whole).
  std::string AsciiRun() const {
    std::string out;
    for (std::size_t i = pos_; i < text_.size(); ++i) {
      const char16_t c = text_[i];
      const bool number_char = (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') ||
                               (c >= u'A' && c <= u'Z') || c == u'.' || c == u'+' || c == u'-' ||
                               c == u'(' || c == u')' || c == u'_';
      if (!number_char) break;
      out.push_back(static_cast<char>(c));
    }
    return out;
  }

  // A decimal number that from_chars found out of range: an infinity when
  // its magnitude is large, else 0.
  static float OutOfRange(std::string_view number) {
    long exponent = 0;
    const std::size_t e = number.find_first_of("eE");
    if (e != std::string_view::npos) {
      std::string_view exp = number.substr(e + 1);
      const bool negative = !exp.empty() && exp[0] == '-';
      if (!exp.empty() && (exp[0] == '-' || exp[0] == '+')) exp.remove_prefix(1);
      for (char c : exp) {
        if (c < '0' || c > '9') break;
        if (exponent < 100000) exponent = exponent * 10 + (c - '0');
      }
      if (negative) exponent = -exponent;
    }
    const std::string_view mantissa = number.substr(0, e);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first_digit = mantissa.find_first_of("123456789");
    if (first_digit == std::string_view::npos) return 0.0f;
    const long position = first_digit < point ? static_cast<long>(point - first_digit)
                                              : -static_cast<long>(first_digit - point - 1);
    return position + exponent > 0 ? std::numeric_limits<float>::infinity() : 0.0f;
  }

  static std::int32_t Saturate(bool negative, std::uint64_t magnitude) {
    constexpr std::uint64_t kMax = std::numeric_limits<std::int32_t>::max();
    if (negative) {
      return magnitude > kMax ? std::numeric_limits<std::int32_t>::min()
                              : -static_cast<std::int32_t>(magnitude);
    }
    return magnitude > kMax ? std::numeric_limits<std::int32_t>::max()
                            : static_cast<std::int32_t>(magnitude);
  }

  std::u16string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

ScalingPart ReadScalingPart(std::u16string_view argument) {
  ScalingPart part;
  const std::size_t star = argument.rfind(u'*');
  if (star == std::u16string_view::npos) return part;
  ScanCursor cursor(argument.substr(star));
  if (!cursor.Literal(u'*') || !cursor.Float(part.scale)) return part;
  if (!cursor.Literal(u'+') || !cursor.Float(part.offset)) return part;
  if (!cursor.Literal(u'(') || !cursor.Int(part.units_scope)) return part;
  if (!cursor.Literal(u':') || !cursor.Int(part.units_index)) return part;
  return part;
}

}  // namespace vornfmt
