#pragma once
// Moving a node's bits between the raw bytes and a small local buffer. Raw
// data is big-endian; bit offset k is bit 7 - (k mod 8) of byte k div 8. A
// node of 8 bits or more takes whole bytes (width div 8 of them); a narrower
// one takes `width` bits of one byte, right-aligned in the local buffer.
//
// Every function takes the raw buffer with its length and answers false,
// touching nothing, when the bits lie outside it.
#include <array>
#include <cstddef>
#include <cstdint>

namespace vornfmt {

class CTypeTreeItemBase;

inline constexpr size_t kRawBitsCapacity = 32;
using RawBits = std::array<uint8_t, kRawBitsCapacity>;

// A node's place in the raw data, both as signed 16-bit numbers.
struct BitSpan {
  int32_t offset = 0;
  int32_t width = 0;
};

// The span of 16-bit offset and width values as the node queries give them.
BitSpan MakeBitSpan(uint16_t bitOffset, uint16_t widthInBits);
// True when the span is well-formed and lies inside `length` bytes.
bool SpanFits(BitSpan span, size_t length);

bool ReadBits(const uint8_t* raw, size_t length, BitSpan span, RawBits& out);
bool WriteBits(uint8_t* raw, size_t length, BitSpan span, const RawBits& in);

// The same for a node, placed by its GetBitOffset and GetSize in bits.
bool GetRawBits(CTypeTreeItemBase& node, const uint8_t* raw, size_t length, RawBits& out);
bool PutRawBits(CTypeTreeItemBase& node, uint8_t* raw, size_t length, const RawBits& in);

}  // namespace vornfmt
