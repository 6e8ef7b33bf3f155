// Per-node layout queries: VARIANT type, size and bit offset.
#include "typetree/library_access.h"
#include "typetree/type_tree_item_base.h"
#include "typetree/variant_type.h"

namespace vornfmt {
namespace {

uint16_t UnscaledVariantType(int32_t kind) {
  switch (kind) {
    case kKindChar:
    case kKindSignedShort: return vt::kI1;
    case kKindUnsignedChar:
    case kKindUnsignedShort:
    case kKindBitfield: return vt::kUI1;
    case kKindSignedLong: return vt::kI2;
    case kKindUnsignedLong: return vt::kUI2;
    default: return vt::kI4;  // signed quad
  }
}

// Multiplier, exponent and offset of a scalar or bitfield node just selected.
LdrfResult ReadScale(LdrfHandle tree, int32_t kind, int16_t& a, int16_t& b, int16_t& c) {
  if (kind == kKindBitfield)
    return Lib().LdrfGetBitfieldDetails(tree, nullptr, nullptr, nullptr, nullptr, nullptr, &a, &b, &c);
  return Lib().LdrfGetScalarDetails(tree, nullptr, nullptr, &a, &b, &c);
}

}  // namespace

uint16_t CTypeTreeItemBase::GetVariantType() {
  const LdrfHandle tree = SelectNode();
  if (tree == 0) return vt::kEmpty;
  if (kind == kKindFloat) return vt::kR4;
  if (!IsScaledKind(kind)) return vt::kBstr;
  int16_t a = 0, b = 0, c = 0;
  {
    ResourceGuard guard(ResourceLock());
    if (!TreeCallSucceeded(ReadScale(tree, kind, a, b, c))) return vt::kEmpty;
  }
  const bool unscaled = a == 1 && b == 0 && c == 0;
  return unscaled ? UnscaledVariantType(kind) : vt::kR4;
}

bool CTypeTreeItemBase::BitfieldPlacement(uint8_t& width, uint8_t& bit) {
  const LdrfHandle tree = SelectNode();
  if (tree == 0) return false;
  ResourceGuard guard(ResourceLock());
  return TreeCallSucceeded(
      Lib().LdrfGetBitfieldDetails(tree, &width, &bit, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
}

uint16_t CTypeTreeItemBase::BitfieldSize(bool inBytes) {
  uint8_t width = 0, bit = 0;
  const LdrfHandle tree = SelectNode();
  if (tree == 0) return 0;
  {
    ResourceGuard guard(ResourceLock());
    Lib().LdrfGetBitfieldDetails(tree, &width, &bit, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  }
  return inBytes ? size : width;
}

uint16_t CTypeTreeItemBase::GetBitOffset() {
  uint32_t own = 0;
  if ((kind >= kKindChar && kind <= kKindEnum) || kind == kKindFloat || kind == kKindSignedQuad ||
      kind == kKindReference) {
    own = byteOffset * 8u;
  } else if (kind == kKindBitfield) {
    uint8_t width = 0, bit = 0;
    own = byteOffset * 8u + (BitfieldPlacement(width, bit) ? bit : 0u);
  }
  if (parent) own += parent->GetBitOffset();
  return static_cast<uint16_t>(own);
}

}  // namespace vornfmt
