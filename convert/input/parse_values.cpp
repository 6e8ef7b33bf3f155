#include "convert/input/parse_values.h"

#include <algorithm>
#include <string>

#include "convert/input/parse_into.h"
#include "convert/output/evaluate_condition.h"

namespace vornfmt {
namespace {

bool ParseSubfield(const CAlternateFmt& format, std::u16string_view text, CTypeTreeItem& root, int16_t sub) {
  CTypeTreeItemBase* node = root.GetSubfield(sub);
  if (!node) return false;
  const CFmtStringItem* item = format.FindItemOrArrayItem(node->GetName());
  return item && ParseInto(*item, text, root, node);
}

bool ParseWholeType(const CAlternateFmt& format, std::u16string_view text, CTypeTreeItem& root) {
  const TrialPatterns& trials = format.Trials();
  if (trials.TooMany()) return false;
  const uint64_t count = std::min(trials.PatternCount(), trials.LeafListCount());
  LeafList chosen;
  for (uint64_t k = 0; k < count; ++k) {
    CFmt scanner(trials.Pattern(k), text);
    if (!MatchText(format, scanner, root)) continue;
    chosen.clear();
    ChosenLeaves(format, root, chosen);
    if (chosen == trials.Leaves(k)) return true;
  }
  return false;
}

bool MatchItems(const CBracketsObject& node, CFmt& scanner, CTypeTreeItem& root) {
  bool result = true;
  char16_t letter = 0;
  std::u16string conversion, field;
  int32_t mismatch = 0;
  for (const auto& item : node.Items()) {
    if (item->Kind() == ConversionKind::Literal) continue;
    scanner.NextInputField(letter, conversion, field, mismatch);
    if (mismatch != 0) return false;
    if (!ParseInto(*item, field, root)) result = false;
  }
  return result;
}

}  // namespace

bool ParseValues(const CAlternateFmt& format, std::u16string_view text, CTypeTreeItem& root, int16_t sub) {
  if (static_cast<uint16_t>(sub) != 0xFFFF) return ParseSubfield(format, text, root, sub);
  return ParseWholeType(format, text, root);
}

bool MatchText(const CBracketsObject& node, CFmt& scanner, CTypeTreeItem& root) {
  switch (node.Kind()) {
    case BracketKind::Items: return MatchItems(node, scanner, root);
    case BracketKind::Group: {
      bool all = true;
      for (const auto& child : node.Children())
        if (!MatchText(*child, scanner, root)) all = false;
      return all;
    }
    case BracketKind::Conditional: {
      const CBracketsObject* branch = EvaluateCondition(node, root) ? node.ThenBranch() : node.ElseBranch();
      return branch ? MatchText(*branch, scanner, root) : true;
    }
  }
  return false;
}

void ChosenLeaves(const CBracketsObject& node, CTypeTreeItem& root, LeafList& out) {
  switch (node.Kind()) {
    case BracketKind::Items: out.push_back(&node); break;
    case BracketKind::Group:
      for (const auto& child : node.Children()) ChosenLeaves(*child, root, out);
      break;
    case BracketKind::Conditional: {
      const CBracketsObject* branch = EvaluateCondition(node, root) ? node.ThenBranch() : node.ElseBranch();
      if (branch) ChosenLeaves(*branch, root, out);
      break;
    }
  }
}

}  // namespace vornfmt
