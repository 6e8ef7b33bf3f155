#pragma once
// What the items and conditions of a tree's own compiled format refer to in
// that tree, found by name once and kept on the tree: the field an item
// names, the element fields name[0], name[1], ... of a character array, and
// each condition read with its field. Formatting the same tree again costs
// no name look-up and builds no name text.
//
// A whole-type parse reads text back through the same tree and format: the
// first trial patterns, masked for splitting, and their leaf lists are kept
// too, so a parse builds neither again.
//
// Kept only for the format the tree selected itself (CTypeTreeItem::format),
// which lives as long as its catalog; dropped when the nodes are rebuilt, the
// tree selects another format or the catalog changes (CatalogEpoch).
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "convert/output/evaluate_condition.h"
#include "format/alternate_fmt.h"
#include "format/fmt_splitter.h"
#include "format/trial_patterns.h"
#include "typetree/type_tree_item.h"

namespace vornfmt {

struct ResolvedItem {
  CTypeTreeItemBase* node = nullptr;  // the field named like the item
  // For a String item naming no field: the elements up to the first missing
  // one (at most kMaxArrayCharacters).
  std::vector<CTypeTreeItemBase*> characters;
  bool alarmDescription = false;
};

// Trial pattern number k of a whole-type parse (trial_patterns.h).
struct KeptTrial {
  MaskedFormat pattern;
  LeafList leaves;
};

// Patterns past this number are built per parse as before: a format with
// many conditionals would otherwise keep thousands of texts per tree.
inline constexpr uint64_t kKeptTrials = 16;

class ResolvedItems {
 public:
  ResolvedItems(const CAlternateFmt& format, CTypeTreeItem& root);

  const ResolvedItem& Item(const CFmtStringItem& item);
  const ResolvedCondition& Condition(const CBracketsObject& node);
  // Null for k at or past kKeptTrials.
  const KeptTrial* Trial(uint64_t k);
  bool Serves(const CAlternateFmt& format) const;

 private:
  const CAlternateFmt* format_;
  uint32_t epoch_;
  CTypeTreeItem& root_;
  std::unordered_map<const CFmtStringItem*, ResolvedItem> items_;
  std::unordered_map<const CBracketsObject*, ResolvedCondition> conditions_;
  std::vector<std::unique_ptr<KeptTrial>> trials_;
};

// The resolutions of `format` in `root`, kept on the root; null when
// `format` is not the root's own (then every call finds by name).
ResolvedItems* ResolvedItemsFor(const CAlternateFmt& format, CTypeTreeItem& root);

}  // namespace vornfmt
