#pragma once
// Finding the item of a compiled format that shows a given value name.
//
// The answer is always the first item named so in a depth-first walk: the
// node's own items in order, then (for a Conditional) the then-branch and the
// else-branch, then each child in order. For the format in use by a tree the
// walk is done once: its result is kept as a name index in the tree's root
// (CTypeTreeItem::formatCache), so formatting a type of many fields costs a
// hash look-up per field, not a walk per field.
#include <string_view>

#include "convert/trial_patterns.h"
#include "format/brackets_object.h"
#include "typetree/type_tree_item.h"

namespace vornfmt {

// The item used when none is named like a value: kind Float, scale 1.0,
// offset 0.0, empty piece and name.
const CFmtStringItem& DefaultItem();

// The first item named `name` (exact, case-sensitive) below `node`, by the
// walk above; null when there is none.
const CFmtStringItem* FindItem(const CBracketsObject& node, std::u16string_view name);

// The same answer for `format` from the name index kept in `root` (built on
// first use, rebuilt when the root's format changes).
const CFmtStringItem* FindItem(const CBracketsObject& format, std::u16string_view name, CTypeTreeItem& root);

// The trial patterns of `format` (trial_patterns.h), kept beside the name
// index in `root` so that a whole-type parse does not count them anew.
const TrialPatterns& TrialPatternsFor(const CBracketsObject& format, CTypeTreeItem& root);

// FindItem of `name`, else -- when `name` holds a '[' -- FindItem of the part
// before the first '[', so that one item serves every element of an array.
const CFmtStringItem* FindItemOrArrayItem(const CBracketsObject& format, std::u16string_view name,
                                          CTypeTreeItem& root);

}  // namespace vornfmt
