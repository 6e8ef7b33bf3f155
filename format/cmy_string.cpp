#include "format/cmy_string.h"

namespace vornfmt {

std::ptrdiff_t FindMatchingParen(std::u16string_view text, std::ptrdiff_t index) {
  if (index < 0 || static_cast<std::size_t>(index) >= text.size() || text[index] != u'(') return -1;
  std::size_t depth = 1;
  for (std::size_t i = static_cast<std::size_t>(index) + 1; i < text.size(); ++i) {
    if (text[i] == u'(') {
      ++depth;
    } else if (text[i] == u')' && --depth == 0) {
      return static_cast<std::ptrdiff_t>(i);
    }
  }
  return -1;
}

std::u16string_view Between(std::u16string_view text, char16_t open, char16_t close) {
  const std::size_t first_open = text.find(open);
  const std::size_t last_close = text.rfind(close);
  const std::size_t begin = first_open == std::u16string_view::npos ? 0 : first_open + 1;
  const std::size_t end = last_close == std::u16string_view::npos ? text.size() : last_close;
  if (end <= begin) return {};
  return text.substr(begin, end - begin);
}

std::u16string_view Head(std::u16string_view text, char16_t c) {
  return text.substr(0, text.find(c));
}

std::u16string_view TrimLeft(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsWhiteSpace(text[i])) ++i;
  return text.substr(i);
}

}  // namespace vornfmt
