#pragma once
// Deciding the condition of a Conditional format node, such as (x>=10),
// against the values a tree holds at the moment of the call.
#include "format/brackets_object.h"
#include "typetree/type_tree_item.h"

namespace vornfmt {

// The condition text is read anew at every call: blanks are dropped, the
// operator is the first of "==", "!=", ">=", "<=", ">", "<" found in the text
// (in this order, at its first occurrence); the left side names a field of
// `root` (or the type itself), the right side is read as a number (its
// leading numeric part, 0 when there is none). The doubles are compared as
// they stand, without tolerance.
//
// False -- so the else-branch is taken -- when the text has none of the
// operators, when the field does not exist and when its value is not set.
bool EvaluateCondition(const CBracketsObject& node, CTypeTreeItem& root);

enum class Comparison { None, Equal, NotEqual, AtLeast, AtMost, Greater, Less };

// A condition read and its field found once, for formatting the same tree
// through the same format again (resolved_items.h).
struct ResolvedCondition {
  const CTypeTreeItemBase* field = nullptr;  // null when the tree has none
  Comparison comparison = Comparison::None;  // None when the text has no operator
  double number = 0.0;
};

ResolvedCondition ResolveCondition(const CBracketsObject& node, CTypeTreeItem& root);
// What EvaluateCondition answers, from the condition resolved before and the
// field's value now.
bool Holds(const ResolvedCondition& condition);

}  // namespace vornfmt
