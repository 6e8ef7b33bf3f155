#pragma once
// TypeKind: the base-type code of a tree node as the resource library
// reports it. In these names short is 8 bits, long 16 bits, quad 32 bits.
#include <cstdint>
#include <string_view>

namespace vornfmt {

enum TypeKind : int32_t {
  kKindUnknown = 0,
  kKindChar = 1,
  kKindUnsignedChar = 2,
  kKindSignedShort = 3,
  kKindUnsignedShort = 4,
  kKindSignedLong = 5,
  kKindUnsignedLong = 6,
  kKindEnum = 7,
  kKindArray = 8,
  kKindStruct = 9,
  kKindUnion = 10,
  kKindBitfield = 11,
  kKindFloat = 12,
  kKindSignedQuad = 13,
  kKindReference = 14,
  kKindUnsignedQuad = 15,
  kKindDoubleFloat = 16,
};

// "char" ... "double float"; "unknown" for any code outside 1..16.
std::u16string_view KindName(int32_t kind);

// Arrays, structures, unions and references hold other nodes; every other
// code, 0 and unknown codes included, is a leaf (a subfield).
constexpr bool IsContainerKind(int32_t kind) {
  return kind == kKindArray || kind == kKindStruct || kind == kKindUnion || kind == kKindReference;
}
constexpr bool IsLeafKind(int32_t kind) { return !IsContainerKind(kind); }

// Integer kinds scaled by the library's multiplier, exponent and offset
// (bitfields are scaled too but described by another library call).
constexpr bool IsScalarKind(int32_t kind) {
  return (kind >= kKindChar && kind <= kKindUnsignedLong) || kind == kKindSignedQuad;
}
constexpr bool IsScaledKind(int32_t kind) { return IsScalarKind(kind) || kind == kKindBitfield; }

// Kinds whose value the codec moves between raw bytes and the value slot.
constexpr bool IsConvertedKind(int32_t kind) {
  return (kind >= kKindChar && kind <= kKindEnum) || (kind >= kKindBitfield && kind <= kKindSignedQuad);
}

}  // namespace vornfmt
