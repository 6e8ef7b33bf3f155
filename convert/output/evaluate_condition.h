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

}  // namespace vornfmt
