#include "format/format_index.h"

namespace vornfmt {

FormatIndex::FormatIndex(const CBracketsObject& format) : trials_(format) { Add(format); }

void FormatIndex::Add(const CBracketsObject& node) {
  for (const auto& item : node.Items()) items_.try_emplace(item->Name(), item.get());
  if (node.Kind() == BracketKind::Conditional) {
    if (node.ThenBranch()) Add(*node.ThenBranch());
    if (node.ElseBranch()) Add(*node.ElseBranch());
  }
  for (const auto& child : node.Children()) Add(*child);
}

const CFmtStringItem* FormatIndex::Find(std::u16string_view name) const {
  const auto found = items_.find(name);
  return found == items_.end() ? nullptr : found->second;
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

const CFmtStringItem& DefaultItem() {
  static const CFmtStringItem item(u"", ScalingPart{}, u"", ConversionKind::Float);
  return item;
}

}  // namespace vornfmt
