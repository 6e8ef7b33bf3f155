#pragma once
// Storing typed text and plain numbers into value slots through one format
// item: the reverse of item_value.h. Storing means value = the number, set.
#include <string_view>

#include "convert/output/resolved_items.h"
#include "format/alternate_fmt.h"
#include "typetree/type_tree_item.h"

namespace vornfmt {

// Reads `field` by the item's kind and stores (x - offset) / scale (scale
// and offset widened from single precision) into the field the item names:
//   Float, Decimal  the leading decimal number (0 when none; fractions kept);
//                   answers false when anything follows it, blanks included,
//                   but stores it all the same;
//   Hex             the leading hexadecimal integer ("0x" and sign allowed,
//                   saturating at 32 bits); what follows is ignored;
//   Char            the low 8 bits of the first code unit (0 when empty);
//   EnumName        the member's value, 0 for a name that is no member;
//   Other, Literal  0.
// String items store without scale or offset and answer true: the low 8 bits
// of the first code unit into the named field, or, when the item names an
// array of characters (element fields name[0], name[1], ...), one code unit
// per element, 0 past the end of the text.
//
// When the item's name finds no field (an array element read through the
// item named like its array), the number goes to `fallback`; without one
// nothing is stored and the answer is false.
bool ParseInto(const CFmtStringItem& item, std::u16string_view field, CTypeTreeItem& root,
               CTypeTreeItemBase* fallback = nullptr);

// ParseInto through the fields found for the item once (resolved_items.h)
// instead of by name; there is no fallback.
bool ParseInto(const CFmtStringItem& item, std::u16string_view field, CTypeTreeItem& root,
               const ResolvedItem& found);

// Stores `number` into `node`: (number - offset) / scale for Float, Hex and
// Decimal items, unchanged for the other kinds. Always succeeds.
bool StoreNumber(const CFmtStringItem& item, CTypeTreeItemBase& node, double number);

// StoreNumber through the item named exactly like `node`, or through the
// default item (the number unchanged). Always succeeds.
bool SetNumber(const CAlternateFmt& format, CTypeTreeItemBase& node, double number);

}  // namespace vornfmt
