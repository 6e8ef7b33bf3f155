#pragma once
// Splitting a conditional: `(condition) ? (then) : (else)`, blanks allowed
// around '?' and ':'. Text after the else-part is ignored.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "format/cmy_string.h"

namespace vornfmt {

// Answers false unless the text (after its leading white space) is a
// conditional; else gives the three groups, each with its parentheses.
bool SplitConditional(std::u16string_view text, std::u16string& condition,
                      std::u16string& then_part, std::u16string& else_part);

namespace detail {

struct ConditionalParts {
  std::u16string_view condition;
  std::u16string_view then_part;
  std::u16string_view else_part;
};

// The splitting itself. `partner(i)` answers the index of the ')' matching
// the '(' at text[i], or npos; the compiler passes a precomputed table, the
// public function FindMatchingParen.
template <class Partner>
std::optional<ConditionalParts> SplitConditionalWith(std::u16string_view text, Partner&& partner) {
  constexpr std::size_t npos = std::u16string_view::npos;
  const std::size_t lead = text.size() - TrimLeft(text).size();
  std::size_t pos = lead;
  // One group starting at `pos`: [pos, close]. Advances pos past it.
  auto group = [&](std::u16string_view& out) {
    if (pos >= text.size() || text[pos] != u'(') return false;
    const std::size_t close = partner(pos);
    if (close == npos || close <= pos) return false;
    out = text.substr(pos, close + 1 - pos);
    pos = close + 1;
    return true;
  };
  // Skips blanks and requires `c`, then skips blanks again.
  auto separator = [&](char16_t c) {
    while (pos < text.size() && text[pos] == u' ') ++pos;
    if (pos >= text.size() || text[pos] != c) return false;
    ++pos;
    while (pos < text.size() && text[pos] == u' ') ++pos;
    return pos < text.size();
  };
  ConditionalParts parts;
  if (!group(parts.condition) || !separator(u'?') || !group(parts.then_part) ||
      !separator(u':') || !group(parts.else_part)) {
    return std::nullopt;
  }
  return parts;
}

}  // namespace detail
}  // namespace vornfmt
