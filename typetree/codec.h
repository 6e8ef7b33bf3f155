#pragma once
// The raw-data codec: moves values between a raw buffer and the value slots
// of a node and its subtree, with the scaling, rounding and limit tests of the
// type file, and answers the enumeration and resolution questions of a node.
//
// The raw buffer comes with its length; a node whose bits lie outside it is
// neither read nor written (its result is false). Child offsets are absolute,
// so the same buffer serves every node of a tree.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/variant_fwd.h"
#include "typetree/type_tree_item_base.h"

namespace vornfmt {

// Fills the value slots of `node` and everything below it, scaled to
// engineering units. False when `node` cannot be selected in the library or
// its bits lie outside the buffer; a failed child does not fail its parent.
bool Decode(CTypeTreeItemBase& node, const uint8_t* raw, size_t length);

// Writes the value slots of `node` and everything below it into `raw`. False
// when a slot is not set, a node cannot be selected or lies outside the
// buffer, or a limit breaks and the limit-breach handler does not put it
// right (limit_breach.h); `value` only travels on to that handler. Siblings
// of a failed node are still written.
bool Encode(CTypeTreeItemBase& node, uint8_t* raw, size_t length, VARIANT* value);

// a x 10^b for scalars and bitfields; 0 for other kinds or when the node
// cannot be selected.
double GetResolution(CTypeTreeItemBase& node);

// The node's enumeration set; false when it has none.
bool GetEnumSet(CTypeTreeItemBase& node, int32_t& set);
// The member name of `value` (the set's last member for a value no member has).
std::u16string EnumNameByValue(CTypeTreeItemBase& node, int32_t value);
bool EnumValueByName(CTypeTreeItemBase& node, std::u16string_view name, int8_t& value);
// Appends every member name, in the type file's order.
void EnumNames(CTypeTreeItemBase& node, std::vector<std::u16string>& names);

}  // namespace vornfmt
