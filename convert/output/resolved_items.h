#pragma once
// What the items and conditions of a tree's own compiled format refer to in
// that tree, found by name once and kept on the tree: the field an item
// names, the element fields name[0], name[1], ... of a character array, and
// each condition read with its field. Formatting the same tree again costs
// no name look-up and builds no name text.
//
// Kept only for the format the tree selected itself (CTypeTreeItem::format),
// which lives as long as its catalog; dropped when the nodes are rebuilt, the
// tree selects another format or the catalog changes (CatalogEpoch).
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "convert/output/evaluate_condition.h"
#include "format/alternate_fmt.h"
#include "typetree/type_tree_item.h"

namespace vornfmt {

struct ResolvedItem {
  CTypeTreeItemBase* node = nullptr;  // the field named like the item
  // For a String item naming no field: the elements up to the first missing
  // one (at most kMaxArrayCharacters).
  std::vector<const CTypeTreeItemBase*> characters;
  bool alarmDescription = false;
};

class ResolvedItems {
 public:
  ResolvedItems(const CAlternateFmt& format, CTypeTreeItem& root);

  const ResolvedItem& Item(const CFmtStringItem& item);
  const ResolvedCondition& Condition(const CBracketsObject& node);
  bool Serves(const CAlternateFmt& format) const;

 private:
  const CAlternateFmt* format_;
  uint32_t epoch_;
  CTypeTreeItem& root_;
  std::unordered_map<const CFmtStringItem*, ResolvedItem> items_;
  std::unordered_map<const CBracketsObject*, ResolvedCondition> conditions_;
};

// The resolutions of `format` in `root`, kept on the root; null when
// `format` is not the root's own (then every call finds by name).
ResolvedItems* ResolvedItemsFor(const CAlternateFmt& format, CTypeTreeItem& root);

}  // namespace vornfmt
