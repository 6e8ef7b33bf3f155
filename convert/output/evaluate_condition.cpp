#include "convert/output/evaluate_condition.h"

#include <array>
#include <string>
#include <string_view>

#include "convert/output/locale_number_text.h"
#include "format/cmy_string.h"

namespace vornfmt {
namespace {

struct Operator {
  std::u16string_view text;
  Comparison comparison;
};

constexpr std::array<Operator, 6> kOperators{{{u"==", Comparison::Equal},
                                              {u"!=", Comparison::NotEqual},
                                              {u">=", Comparison::AtLeast},
                                              {u"<=", Comparison::AtMost},
                                              {u">", Comparison::Greater},
                                              {u"<", Comparison::Less}}};

std::u16string WithoutBlanks(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char16_t c : text)
    if (c != u' ') out.push_back(c);
  return out;
}

bool Compare(double value, Comparison comparison, double number) {
  switch (comparison) {
    case Comparison::Equal: return value == number;
    case Comparison::NotEqual: return value != number;
    case Comparison::AtLeast: return value >= number;
    case Comparison::AtMost: return value <= number;
    case Comparison::Greater: return value > number;
    case Comparison::Less: return value < number;
    case Comparison::None: break;
  }
  return false;
}

}  // namespace

ResolvedCondition ResolveCondition(const CBracketsObject& node, CTypeTreeItem& root) {
  const std::u16string condition = WithoutBlanks(Between(node.Condition(), u'(', u')'));
  for (const Operator& op : kOperators) {
    const size_t at = condition.find(op.text);
    if (at == std::u16string::npos) continue;
    const std::u16string_view text(condition);
    // The number belongs to the format file, which writes '.' in every
    // locale; read in the user's locale, 327.665 would be 327 under a
    // decimal comma.
    return {root.FindItemByName(text.substr(0, at)), op.comparison,
            ReadFormatNumber(text.substr(at + op.text.size()))};
  }
  return {};
}

bool Holds(const ResolvedCondition& c) {
  if (c.comparison == Comparison::None || !c.field || !c.field->value.IsSet()) return false;
  return Compare(c.field->value.value, c.comparison, c.number);
}

bool EvaluateCondition(const CBracketsObject& node, CTypeTreeItem& root) {
  return Holds(ResolveCondition(node, root));
}

}  // namespace vornfmt
