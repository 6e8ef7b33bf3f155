#include "convert/find_item.h"

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

namespace vornfmt {
namespace {

struct ViewHash {
  size_t operator()(std::u16string_view text) const { return std::hash<std::u16string_view>{}(text); }
};

// Name -> first item, for one compiled format. The keys are views of the
// items' own names, which live as long as the format.
class ItemIndex : public CTypeTreeItem::FormatCache {
 public:
  explicit ItemIndex(const CBracketsObject& format) : format_(&format) { Add(format); }

  bool IsFor(const CBracketsObject& format) const { return format_ == &format; }

  const TrialPatterns& Trials() {
    if (!trials_) trials_ = std::make_unique<TrialPatterns>(*format_);
    return *trials_;
  }

  const CFmtStringItem* Find(std::u16string_view name) const {
    const auto found = items_.find(name);
    return found == items_.end() ? nullptr : found->second;
  }

 private:
  // The order of FindItem's walk; the first item of a name wins.
  void Add(const CBracketsObject& node) {
    for (const auto& item : node.Items()) items_.try_emplace(item->Name(), item.get());
    if (node.Kind() == BracketKind::Conditional) {
      if (node.ThenBranch()) Add(*node.ThenBranch());
      if (node.ElseBranch()) Add(*node.ElseBranch());
    }
    for (const auto& child : node.Children()) Add(*child);
  }

  const CBracketsObject* format_;
  std::unordered_map<std::u16string_view, const CFmtStringItem*, ViewHash> items_;
  std::unique_ptr<TrialPatterns> trials_;  // counted on the first whole-type parse
};

ItemIndex& IndexFor(const CBracketsObject& format, CTypeTreeItem& root) {
  auto* index = dynamic_cast<ItemIndex*>(root.formatCache.get());
  if (!index || !index->IsFor(format)) {
    auto fresh = std::make_unique<ItemIndex>(format);
    index = fresh.get();
    root.formatCache = std::move(fresh);
  }
  return *index;
}

}  // namespace

const CFmtStringItem& DefaultItem() {
  static const CFmtStringItem item(u"", ScalingPart{}, u"", ConversionKind::Float);
  return item;
}

const CFmtStringItem* FindItem(const CBracketsObject& node, std::u16string_view name) {
  for (const auto& item : node.Items())
    if (item->Name() == name) return item.get();
  if (node.Kind() == BracketKind::Conditional) {
    for (const CBracketsObject* branch : {node.ThenBranch(), node.ElseBranch()})
      if (branch)
        if (const CFmtStringItem* found = FindItem(*branch, name)) return found;
  }
  for (const auto& child : node.Children())
    if (const CFmtStringItem* found = FindItem(*child, name)) return found;
  return nullptr;
}

const CFmtStringItem* FindItem(const CBracketsObject& format, std::u16string_view name, CTypeTreeItem& root) {
  return IndexFor(format, root).Find(name);
}

const TrialPatterns& TrialPatternsFor(const CBracketsObject& format, CTypeTreeItem& root) {
  return IndexFor(format, root).Trials();
}

const CFmtStringItem* FindItemOrArrayItem(const CBracketsObject& format, std::u16string_view name,
                                          CTypeTreeItem& root) {
  if (const CFmtStringItem* item = FindItem(format, name, root)) return item;
  const size_t bracket = name.find(u'[');
  return bracket == std::u16string_view::npos ? nullptr : FindItem(format, name.substr(0, bracket), root);
}

}  // namespace vornfmt
