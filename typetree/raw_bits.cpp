#include "typetree/raw_bits.h"

#include <cstring>

#include "typetree/type_tree_item_base.h"

namespace vornfmt {
namespace {

struct BytePlace {
  size_t first = 0;  // raw byte
  size_t count = 0;  // whole bytes, or 0 for a part of one byte
  int shift = 0;     // for a part: bits right of it in its byte
  uint8_t mask = 0;  // for a part: its width's mask
};

bool Place(BitSpan span, size_t length, BytePlace& place) {
  if (span.offset < 0 || span.width <= 0) return false;
  place.first = static_cast<size_t>(span.offset / 8);
  if (span.width >= 8) {
    place.count = static_cast<size_t>(span.width / 8);
    return place.count <= kRawBitsCapacity && place.first < length && place.count <= length - place.first;
  }
  place.shift = 8 - span.offset % 8 - span.width;
  place.mask = static_cast<uint8_t>((1u << span.width) - 1u);
  return place.shift >= 0 && place.first < length;
}

}  // namespace

BitSpan MakeBitSpan(uint16_t bitOffset, uint16_t widthInBits) {
  return BitSpan{static_cast<int16_t>(bitOffset), static_cast<int16_t>(widthInBits)};
}

bool SpanFits(BitSpan span, size_t length) {
  BytePlace place;
  return Place(span, length, place);
}

bool ReadBits(const uint8_t* raw, size_t length, BitSpan span, RawBits& out) {
  BytePlace place;
  if (!raw || !Place(span, length, place)) return false;
  const uint8_t* from = raw + place.first;
  // The usual widths copied with fixed sizes, which compile to plain moves
  // instead of a call.
  switch (place.count) {
    case 0: out[0] = static_cast<uint8_t>((*from >> place.shift) & place.mask); break;
    case 1: out[0] = *from; break;
    case 2: std::memcpy(out.data(), from, 2); break;
    case 4: std::memcpy(out.data(), from, 4); break;
    default: std::memcpy(out.data(), from, place.count); break;
  }
  return true;
}

bool WriteBits(uint8_t* raw, size_t length, BitSpan span, const RawBits& in) {
  BytePlace place;
  if (!raw || !Place(span, length, place)) return false;
  if (place.count > 0) {
    std::memcpy(raw + place.first, in.data(), place.count);
  } else {
    const uint8_t kept = static_cast<uint8_t>(raw[place.first] & ~(place.mask << place.shift));
    raw[place.first] = static_cast<uint8_t>(kept | ((in[0] & place.mask) << place.shift));
  }
  return true;
}

bool GetRawBits(CTypeTreeItemBase& node, const uint8_t* raw, size_t length, RawBits& out) {
  const uint16_t width = node.GetSize(false);
  return ReadBits(raw, length, MakeBitSpan(node.GetBitOffset(), width), out);
}

bool PutRawBits(CTypeTreeItemBase& node, uint8_t* raw, size_t length, const RawBits& in) {
  const uint16_t width = node.GetSize(false);
  return WriteBits(raw, length, MakeBitSpan(node.GetBitOffset(), width), in);
}

}  // namespace vornfmt
