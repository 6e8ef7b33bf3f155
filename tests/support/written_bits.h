#pragma once
// Which bits of a type's raw bytes the codec writes: the spans of every
// converted field, as a bit mask over the bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "typetree/type_kind.h"
#include "typetree/type_tree_item.h"

namespace vornfmt::test {

using Mask = std::vector<uint8_t>;

inline void MarkSpan(CTypeTreeItemBase& node, Mask& mask) {
  const int offset = static_cast<int16_t>(node.GetBitOffset());
  const int width = static_cast<int16_t>(node.GetSize(false));
  const int bits = width >= 8 ? width / 8 * 8 : width;
  for (int bit = offset; bit < offset + bits; ++bit)
    if (bit >= 0 && static_cast<size_t>(bit / 8) < mask.size()) mask[size_t(bit / 8)] |= uint8_t(0x80 >> (bit % 8));
}

// The bits of every converted field, or of subfield `only` alone.
inline Mask WrittenBits(CTypeTreeItem& root, size_t length, int16_t only = -2) {
  Mask mask(length, 0);
  for (int16_t i = 0; i < root.GetSubfieldCount(); ++i)
    if ((only == -2 || only == i) && IsConvertedKind(root.GetSubfield(i)->kind)) MarkSpan(*root.GetSubfield(i), mask);
  if (root.GetSubfieldCount() == 0 && IsConvertedKind(root.kind)) MarkSpan(root, mask);
  return mask;
}

// `original` where the mask is set, `other` elsewhere.
inline uint8_t Blend(uint8_t original, uint8_t other, uint8_t mask) {
  return static_cast<uint8_t>((original & mask) | (other & ~mask));
}

}  // namespace vornfmt::test
