#include "typetree/leaf_details.h"

#include "typetree/library_access.h"
#include "typetree/pow10.h"
#include "typetree/type_tree_item_base.h"

namespace vornfmt {

bool SelectLeaf(CTypeTreeItemBase& node, LeafDetails& d) {
  const LdrfHandle tree = node.SelectNode();
  if (tree == 0) return false;
  d.tree = tree;
  ResourceGuard guard(ResourceLock());
  if (node.kind == kKindBitfield)
    d.result = Lib().LdrfGetBitfieldDetails(tree, &d.width, &d.bit, nullptr, &d.minimum, &d.maximum, &d.multiplier,
                                            &d.exponent, &d.offset);
  else if (IsScalarKind(node.kind))
    d.result = Lib().LdrfGetScalarDetails(tree, &d.minimum, &d.maximum, &d.multiplier, &d.exponent, &d.offset);
  return true;
}

BitSpan LeafSpan(CTypeTreeItemBase& node, const LeafDetails& d) {
  const bool bitfield = node.kind == kKindBitfield;
  uint32_t offset = node.byteOffset * 8u + (bitfield && TreeCallSucceeded(d.result) ? d.bit : 0u);
  if (CTypeTreeItemBase* parent = node.Parent()) offset += parent->GetBitOffset();
  const uint32_t width = bitfield ? d.width : node.size * 8u;
  return MakeBitSpan(static_cast<uint16_t>(offset), static_cast<uint16_t>(width));
}

long double StepOf(const LeafDetails& d) { return TimesPow10(d.multiplier, d.exponent); }

long double ToEngineering(long double raw, const LeafDetails& d) {
  return TimesPow10((raw + d.offset) * d.multiplier, d.exponent);
}

long double ToRaw(long double value, const LeafDetails& d) {
  return DividedByPow10(value, d.exponent) / d.multiplier - d.offset;
}

}  // namespace vornfmt
