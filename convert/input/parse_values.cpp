#include "convert/input/parse_values.h"

#include <algorithm>
#include <string>

#include "convert/input/parse_into.h"
#include "convert/output/evaluate_condition.h"
#include "convert/output/resolved_items.h"

namespace vornfmt {
namespace {

bool ParseSubfield(const CAlternateFmt& format, std::u16string_view text, CTypeTreeItem& root, int16_t sub) {
  CTypeTreeItemBase* node = root.GetSubfield(sub);
  if (!node) return false;
  const CFmtStringItem* item = format.FindItemOrArrayItem(node->GetName());
  return item && ParseInto(*item, text, root, node);
}

// Reads text back with the items and conditions found once (`resolved`) or,
// without, by name.
struct Reader {
  CTypeTreeItem& root;
  ResolvedItems* resolved;

  bool Condition(const CBracketsObject& node) const {
    return resolved ? Holds(resolved->Condition(node)) : EvaluateCondition(node, root);
  }

  bool Item(const CFmtStringItem& item, std::u16string_view field) const {
    return resolved ? ParseInto(item, field, root, resolved->Item(item)) : ParseInto(item, field, root);
  }

  bool MatchItems(const CBracketsObject& node, CFmt& scanner) const {
    bool result = true;
    char16_t letter = 0;
    std::u16string conversion, field;
    int32_t mismatch = 0;
    for (const auto& item : node.Items()) {
      if (item->Kind() == ConversionKind::Literal) continue;
      scanner.NextInputField(letter, conversion, field, mismatch);
      if (mismatch != 0) return false;
      if (!Item(*item, field)) result = false;
    }
    return result;
  }

  bool Match(const CBracketsObject& node, CFmt& scanner) const {
    switch (node.Kind()) {
      case BracketKind::Items: return MatchItems(node, scanner);
      case BracketKind::Group: {
        bool all = true;
        for (const auto& child : node.Children())
          if (!Match(*child, scanner)) all = false;
        return all;
      }
      case BracketKind::Conditional: {
        const CBracketsObject* branch = Condition(node) ? node.ThenBranch() : node.ElseBranch();
        return branch ? Match(*branch, scanner) : true;
      }
    }
    return false;
  }

  void Chosen(const CBracketsObject& node, LeafList& out) const {
    switch (node.Kind()) {
      case BracketKind::Items: out.push_back(&node); break;
      case BracketKind::Group:
        for (const auto& child : node.Children()) Chosen(*child, out);
        break;
      case BracketKind::Conditional: {
        const CBracketsObject* branch = Condition(node) ? node.ThenBranch() : node.ElseBranch();
        if (branch) Chosen(*branch, out);
        break;
      }
    }
  }

  // Whether the values select exactly `leaves` from `at` on, as ChosenLeaves
  // would list them; stops at the first difference, allocating nothing.
  bool Selects(const CBracketsObject& node, const LeafList& leaves, size_t& at) const {
    switch (node.Kind()) {
      case BracketKind::Items: return at < leaves.size() && leaves[at++] == &node;
      case BracketKind::Group:
        for (const auto& child : node.Children())
          if (!Selects(*child, leaves, at)) return false;
        return true;
      case BracketKind::Conditional: {
        const CBracketsObject* branch = Condition(node) ? node.ThenBranch() : node.ElseBranch();
        return !branch || Selects(*branch, leaves, at);
      }
    }
    return false;
  }

  // Trial k: its literal text matched, every field read and the values
  // select the branches it was made of.
  bool Accepts(const CAlternateFmt& format, CFmt& scanner, const LeafList& leaves) const {
    if (!Match(format, scanner)) return false;
    size_t at = 0;
    return Selects(format, leaves, at) && at == leaves.size();
  }
};

bool ParseWholeType(const CAlternateFmt& format, std::u16string_view text, CTypeTreeItem& root) {
  const TrialPatterns& trials = format.Trials();
  if (trials.TooMany()) return false;
  const uint64_t count = std::min(trials.PatternCount(), trials.LeafListCount());
  const Reader reader{root, ResolvedItemsFor(format, root)};
  for (uint64_t k = 0; k < count; ++k) {
    const KeptTrial* kept = reader.resolved ? reader.resolved->Trial(k) : nullptr;
    if (kept) {
      CFmt scanner(kept->pattern, text);
      if (reader.Accepts(format, scanner, kept->leaves)) return true;
    } else {
      CFmt scanner(trials.Pattern(k), text);
      if (reader.Accepts(format, scanner, trials.Leaves(k))) return true;
    }
  }
  return false;
}

}  // namespace

bool ParseValues(const CAlternateFmt& format, std::u16string_view text, CTypeTreeItem& root, int16_t sub) {
  if (static_cast<uint16_t>(sub) != 0xFFFF) return ParseSubfield(format, text, root, sub);
  return ParseWholeType(format, text, root);
}

bool MatchText(const CBracketsObject& node, CFmt& scanner, CTypeTreeItem& root) {
  return Reader{root, nullptr}.Match(node, scanner);
}

void ChosenLeaves(const CBracketsObject& node, CTypeTreeItem& root, LeafList& out) {
  Reader{root, nullptr}.Chosen(node, out);
}

}  // namespace vornfmt
