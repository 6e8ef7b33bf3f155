// Encoding: value slots into raw bytes, with the limit tests.
#include <bit>
#include <cmath>
#include <limits>

#include "typetree/codec.h"
#include "typetree/leaf_facts.h"
#include "typetree/library_access.h"
#include "typetree/limit_breach.h"

namespace vornfmt {
namespace {

struct EncodeTarget {
  uint8_t* raw;
  size_t length;
  VARIANT* value;
};

bool Breach(CTypeTreeItemBase& node, const EncodeTarget& t) {
  return ReportLimitBreach(node, t.raw, t.length, t.value, kMessageDataExceedsBounds);
}

void PutBigEndian32(uint32_t n, RawBits& y) {
  y[0] = static_cast<uint8_t>(n >> 24);
  y[1] = static_cast<uint8_t>(n >> 16);
  y[2] = static_cast<uint8_t>(n >> 8);
  y[3] = static_cast<uint8_t>(n);
}

// The integer n of the raw step nearest to `r`, half-way cases away from zero.
// `r` lies within signed 32-bit limits, so n fits.
int64_t RoundHalfAway(long double r) {
  return static_cast<int64_t>(r > 0 ? std::trunc(r + 0.5L) : std::trunc(r - 0.5L));
}

void PutInteger(int32_t kind, int64_t n, RawBits& y) {
  const auto bits = static_cast<uint32_t>(n);
  if (kind == kKindSignedLong || kind == kKindUnsignedLong) {
    y[0] = static_cast<uint8_t>(bits >> 8);
    y[1] = static_cast<uint8_t>(bits);
  } else if (kind == kKindSignedQuad) {
    PutBigEndian32(bits, y);
  } else {
    y[0] = static_cast<uint8_t>(bits);
  }
}

// How far R may lie beyond a raw limit and still be at it: a double holds a
// decimal value only to within one unit in its last place, about
// |limit + c| x epsilon raw steps at the limit. Without it the largest value
// a type shows could not be written back: 327.67 is stored as
// 327.670000000000016, which gives R = 32767.0000000000016 against a raw
// maximum of 32767. The slack depends on the limit alone, so it stays far
// below one step whatever the value.
long double RepresentationSlack(int32_t limit, const LeafDetails& d) {
  return 2.0L * std::fabs(static_cast<long double>(limit) + d.offset) * std::numeric_limits<double>::epsilon();
}

// Raw value R = V / (a x 10^b) - c, tested against the raw limits before and
// after rounding. A value that is not a number breaks the limits.
bool EncodeScaled(CTypeTreeItemBase& node, const EncodeTarget& t) {
  const LeafFacts* facts = FactsOf(node);
  if (!facts) return false;
  const LeafDetails& d = facts->details;
  const long double r = ToRaw(node.value.value, d);
  const bool within =
      r >= d.minimum - RepresentationSlack(d.minimum, d) && r <= d.maximum + RepresentationSlack(d.maximum, d);
  if (!within) return Breach(node, t);
  const int64_t n = RoundHalfAway(r);
  if (n < d.minimum || n > d.maximum) return Breach(node, t);
  RawBits y{};
  PutInteger(node.kind, n, y);
  return WriteBits(t.raw, t.length, facts->span, y);
}

// Narrowing to single precision; values beyond its range become infinite.
float ToSingle(double v) {
  constexpr double kOverflow = 0x1.ffffffp127;  // half a step above the largest single
  if (std::isnan(v)) return std::numeric_limits<float>::quiet_NaN();
  if (v >= kOverflow) return std::numeric_limits<float>::infinity();
  if (v <= -kOverflow) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(v);
}

bool EncodeFloat(CTypeTreeItemBase& node, const EncodeTarget& t) {
  const LeafFacts* facts = FactsOf(node);
  if (!facts) return false;
  const float v = ToSingle(node.value.value);
  if (!(v >= facts->floatMinimum && v <= facts->floatMaximum)) return Breach(node, t);
  RawBits y{};
  PutBigEndian32(std::bit_cast<uint32_t>(v), y);
  return WriteBits(t.raw, t.length, facts->span, y);
}

// Enumerations are not scaled or tested: the low 8 bits of the value
// truncated toward zero. A value that is not finite has no such bits and is
// treated as a broken limit.
bool EncodeEnum(CTypeTreeItemBase& node, const EncodeTarget& t) {
  const double v = node.value.value;
  if (!std::isfinite(v)) return Breach(node, t);
  long double low = std::fmod(std::trunc(static_cast<long double>(v)), 256.0L);
  if (low < 0) low += 256.0L;
  RawBits y{};
  y[0] = static_cast<uint8_t>(low);
  return WriteBits(t.raw, t.length, LeafSpan(node, LeafDetails{}), y);
}

// Double floats are never written; a value set into one is still tested
// against its limits, so that an out-of-range value is reported.
bool EncodeDoubleFloat(CTypeTreeItemBase& node, const EncodeTarget& t) {
  if (!node.value.IsSet()) return true;
  const LdrfHandle tree = node.SelectNode();
  if (tree == 0) return false;
  double minimum = 0, maximum = 0;
  {
    ResourceGuard guard(ResourceLock());
    Lib().LdrfGetDoubleFloatDetails(tree, &minimum, &maximum);
  }
  const double v = node.value.value;
  return (v >= minimum && v <= maximum) ? true : Breach(node, t);
}

bool EncodeNode(CTypeTreeItemBase& node, const EncodeTarget& t) {
  if (IsContainerKind(node.kind)) {
    bool result = true;
    for (const auto& child : node.Children())
      if (!EncodeNode(*child, t)) result = false;
    return result;
  }
  if (IsConvertedKind(node.kind) && !node.value.IsSet()) return false;
  if (IsScaledKind(node.kind)) return EncodeScaled(node, t);
  switch (node.kind) {
    case kKindFloat: return EncodeFloat(node, t);
    case kKindEnum: return EncodeEnum(node, t);
    case kKindDoubleFloat: return EncodeDoubleFloat(node, t);
    default: return true;  // unsigned quad and unknown kinds: nothing to write
  }
}

}  // namespace

bool Encode(CTypeTreeItemBase& node, uint8_t* raw, size_t length, VARIANT* value) {
  return EncodeNode(node, EncodeTarget{raw, length, value});
}

}  // namespace vornfmt
