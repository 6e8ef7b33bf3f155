#pragma once
// Formatting through a compiled format: the text of the whole value or of
// one subfield, the scaled number of a subfield, the text of a bound.
#include <string>
#include <string_view>

#include "format/alternate_fmt.h"
#include "typetree/type_tree_item.h"

namespace vornfmt {

// sub -1 (0xFFFF): the text of the whole value; always succeeds. Any other
// sub: the value text of that subfield through the item named like it (or
// like its array, the part of the name before '['). False, `out` untouched,
// when the subfield or the item does not exist.
bool FormatValues(const CAlternateFmt& format, std::u16string& out, CTypeTreeItem& root, int16_t sub);

// The scaled number of `node` through the item named exactly like it; 0.0
// for a null node or when no item is named so.
double GetNumber(const CAlternateFmt& format, CTypeTreeItemBase* node);

// The text of `number` through the item called `name`, or through the
// default item ("%.15g") when there is none.
bool FormatBound(const CAlternateFmt& format, std::u16string_view name, double number, std::u16string& out);

}  // namespace vornfmt
