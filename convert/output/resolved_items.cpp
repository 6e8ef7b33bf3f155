#include "convert/output/resolved_items.h"

#include "catalog/formatter_engine.h"
#include "convert/output/locale_number_text.h"
#include "convert/output/render.h"

namespace vornfmt {

ResolvedItems::ResolvedItems(const CAlternateFmt& format, CTypeTreeItem& root)
    : format_(&format), epoch_(CatalogEpoch()), root_(root) {}

bool ResolvedItems::Serves(const CAlternateFmt& format) const {
  return format_ == &format && epoch_ == CatalogEpoch();
}

const ResolvedItem& ResolvedItems::Item(const CFmtStringItem& item) {
  const auto [place, added] = items_.try_emplace(&item);
  ResolvedItem& resolved = place->second;
  if (!added) return resolved;
  resolved.node = root_.FindItemByName(item.Name());
  resolved.alarmDescription = IsAlarmDescription(item, root_);
  if (resolved.node || item.Kind() != ConversionKind::String) return resolved;
  std::u16string element;
  for (int i = 0; i < kMaxArrayCharacters; ++i) {
    element = item.Name() + u'[' + DecimalText(i) + u']';
    CTypeTreeItemBase* node = root_.FindItemByName(element);
    if (!node) break;
    resolved.characters.push_back(node);
  }
  return resolved;
}

const ResolvedCondition& ResolvedItems::Condition(const CBracketsObject& node) {
  const auto [place, added] = conditions_.try_emplace(&node);
  if (added) place->second = ResolveCondition(node, root_);
  return place->second;
}

const KeptTrial* ResolvedItems::Trial(uint64_t k) {
  if (k >= kKeptTrials) return nullptr;
  if (trials_.size() <= k) trials_.resize(k + 1);
  std::unique_ptr<KeptTrial>& kept = trials_[k];
  if (!kept) {
    const TrialPatterns& trials = format_->Trials();
    kept.reset(new KeptTrial{MaskedFormat(trials.Pattern(k)), trials.Leaves(k)});
  }
  return kept.get();
}

ResolvedItems* ResolvedItemsFor(const CAlternateFmt& format, CTypeTreeItem& root) {
  if (&format != root.format) return nullptr;
  if (!root.resolvedItems || !root.resolvedItems->Serves(format))
    root.resolvedItems = {new ResolvedItems(format, root), [](ResolvedItems* gone) { delete gone; }};
  return root.resolvedItems.get();
}

}  // namespace vornfmt
