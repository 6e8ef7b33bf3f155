#include "format/split_conditional.h"

namespace vornfmt {

bool SplitConditional(std::u16string_view text, std::u16string& condition,
                      std::u16string& then_part, std::u16string& else_part) {
  const auto parts = detail::SplitConditionalWith(text, [text](std::size_t i) {
    const std::ptrdiff_t close = FindMatchingParen(text, static_cast<std::ptrdiff_t>(i));
    return close < 0 ? std::u16string_view::npos : static_cast<std::size_t>(close);
  });
  if (!parts) return false;
  condition.assign(parts->condition);
  then_part.assign(parts->then_part);
  else_part.assign(parts->else_part);
  return true;
}

}  // namespace vornfmt
