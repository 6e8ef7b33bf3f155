#pragma once
// CMyString: the string class of the format subsystem, a UTF-16 string with
// the three operations that the compiler and the entry loader cut texts with.
// The operations also exist as free functions over string views, which is
// what the compiler itself uses (no copies of the texts it cuts).
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace vornfmt {

// If text[index] is '(', scans forward from a depth of 1, counting every '('
// up and every ')' down (also inside quotes), and answers the index where the
// depth returns to 0. Answers -1 when index is outside the text, the
// character there is not '(', or the text ends first.
std::ptrdiff_t FindMatchingParen(std::u16string_view text, std::ptrdiff_t index);

// The text after the first `open` and before the last `close`. With no
// `open` it starts at the beginning, with no `close` it runs to the end. When
// the last `close` stands before the first `open` the answer is empty.
std::u16string_view Between(std::u16string_view text, char16_t open, char16_t close);

// The text before the first `c`, or the whole text when there is none.
std::u16string_view Head(std::u16string_view text, char16_t c);

// Blank, tab, line feed, vertical tab, form feed and carriage return.
constexpr bool IsWhiteSpace(char16_t c) {
  return c == u' ' || (c >= u'\t' && c <= u'\r');
}

// The text without its leading white space.
std::u16string_view TrimLeft(std::u16string_view text);

class CMyString : public std::u16string {
 public:
  CMyString() = default;
  CMyString(std::u16string text) : std::u16string(std::move(text)) {}  // NOLINT: implicit by design
  CMyString(std::u16string_view text) : std::u16string(text) {}        // NOLINT
  CMyString(const char16_t* text) : std::u16string(text) {}            // NOLINT

  std::ptrdiff_t FindMatchingParen(std::ptrdiff_t index) const {
    return vornfmt::FindMatchingParen(*this, index);
  }
  CMyString Between(char16_t open, char16_t close) const {
    return CMyString(vornfmt::Between(*this, open, close));
  }
  CMyString Head(char16_t c) const { return CMyString(vornfmt::Head(*this, c)); }
};

}  // namespace vornfmt
