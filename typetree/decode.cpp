// Decoding: raw bytes into the value slots.
#include <bit>

#include "typetree/codec.h"
#include "typetree/leaf_facts.h"

namespace vornfmt {
namespace {

uint32_t BigEndian32(const RawBits& x) {
  return (uint32_t{x[0]} << 24) | (uint32_t{x[1]} << 16) | (uint32_t{x[2]} << 8) | uint32_t{x[3]};
}

// The raw number of a converted kind, before scaling.
long double RawNumber(int32_t kind, const RawBits& x) {
  switch (kind) {
    case kKindUnsignedChar:
    case kKindUnsignedShort: return x[0];
    case kKindSignedLong: return static_cast<int16_t>((x[0] << 8) | x[1]);
    case kKindUnsignedLong: return static_cast<uint16_t>((x[0] << 8) | x[1]);
    case kKindSignedQuad: return static_cast<int32_t>(BigEndian32(x));
    case kKindFloat: return std::bit_cast<float>(BigEndian32(x));
    default: return static_cast<int8_t>(x[0]);  // char, signed short, enum, bitfield
  }
}

bool DecodeLeaf(CTypeTreeItemBase& node, const uint8_t* raw, size_t length) {
  const LeafFacts* facts = FactsOf(node);
  if (!facts) return false;
  RawBits x{};
  if (!ReadBits(raw, length, facts->span, x)) return false;
  const long double v = RawNumber(node.kind, x);
  if (!IsScaledKind(node.kind)) {
    node.value.Store(static_cast<double>(v));
    return true;
  }
  node.value.Store(static_cast<double>(ToEngineering(v, facts->details)));
  return true;
}

}  // namespace

bool Decode(CTypeTreeItemBase& node, const uint8_t* raw, size_t length) {
  if (IsConvertedKind(node.kind)) return DecodeLeaf(node, raw, length);
  for (const auto& child : node.Children()) Decode(*child, raw, length);
  return FactsOf(node) != nullptr;  // the node can be selected
}

}  // namespace vornfmt
