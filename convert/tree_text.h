#pragma once
// The type-tree operations that need the tree's format: the text of the
// value or of a subfield, the units text of a node, reading text back, and
// the bounds of a node as text.
#include <string>
#include <string_view>

#include "typetree/type_tree_item.h"

namespace vornfmt {

// FormatValues of the root's format; false when the type has no format.
bool FormatText(CTypeTreeItem& root, std::u16string& out, int16_t sub);

// ParseValues of the root's format; false when the type has no format.
bool ParseText(CTypeTreeItem& root, std::u16string_view text, int16_t sub);

// The units of `node`: the language string the format's item for the node
// names (when its units index is positive), else the node's own units
// reference from the type file.
std::u16string GetUnitsText(CTypeTreeItemBase& node);

// The bounds of `node` (typetree/bounds.h) as text, each through the
// format's item for the node ("%.15g" of the bound when the item cannot
// show a number). False when the type has no format or no bounds.
bool GetBoundsText(CTypeTreeItemBase& node, std::u16string& minimum, std::u16string& maximum);

}  // namespace vornfmt
