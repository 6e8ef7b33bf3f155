// The bit arithmetic of the raw buffer: big-endian, bits counted from the
// most significant bit of byte 0, never outside the buffer.
#include "typetree/raw_bits.h"

#include <gtest/gtest.h>

#include <vector>

#include "typetree/pow10.h"

namespace vornfmt::test {
namespace {

struct ReadCase {
  const char* what;
  std::vector<uint8_t> raw;
  BitSpan span;
  std::vector<uint8_t> expected;
};

TEST(ReadBitsTable, ExtractsTheSpan) {
  const ReadCase rows[] = {
      {"ThreeBitsAtFive", {0x5A}, {5, 3}, {0x02}},
      {"TopBit", {0x80}, {0, 1}, {0x01}},
      {"FiveBitsAtZero", {0xA5}, {0, 5}, {0x14}},
      {"SevenBitsAtOneOfSecondByte", {0x00, 0x7F}, {9, 7}, {0x7F}},
      {"WholeByte", {0x11, 0xFE}, {8, 8}, {0xFE}},
      {"TwoBytesAtOffsetTwo", {0, 0, 0xFF, 0xFE}, {16, 16}, {0xFF, 0xFE}},
      {"WidthNotAMultipleOfEightLosesItsTail", {0xAB, 0xCD}, {0, 12}, {0xAB, 0x00}},
      {"FourBytes", {0x80, 0, 0, 1}, {0, 32}, {0x80, 0, 0, 1}},
  };
  for (const ReadCase& c : rows) {
    SCOPED_TRACE(&c - rows);
    RawBits out{};
    ASSERT_TRUE(ReadBits(c.raw.data(), c.raw.size(), c.span, out));
    for (size_t i = 0; i < c.expected.size(); ++i) EXPECT_EQ(out[i], c.expected[i]) << i;
  }
}

struct WriteCase {
  const char* what;
  std::vector<uint8_t> before;
  BitSpan span;
  std::vector<uint8_t> in;
  std::vector<uint8_t> after;
};

TEST(WriteBitsTable, ChangesOnlyTheSpan) {
  const WriteCase rows[] = {
      {"TwoIntoThreeBitsAtFive", {0xFF}, {5, 3}, {2}, {0xFA}},
      {"ValueWiderThanTheFieldIsMasked", {0x00}, {5, 3}, {0xFF}, {0x07}},
      {"ClearsInsideAField", {0xFF, 0xFF}, {10, 4}, {0}, {0xFF, 0xC3}},
      {"WholeBytesAtOffset", {1, 2, 3, 4}, {16, 16}, {0xAA, 0xBB}, {1, 2, 0xAA, 0xBB}},
      {"OnlyWholeBytesOfAnOddWidth", {0, 0}, {0, 12}, {0xAB, 0xCD}, {0xAB, 0x00}},
  };
  for (const WriteCase& c : rows) {
    SCOPED_TRACE(&c - rows);
    std::vector<uint8_t> raw = c.before;
    RawBits in{};
    std::copy(c.in.begin(), c.in.end(), in.begin());
    ASSERT_TRUE(WriteBits(raw.data(), raw.size(), c.span, in));
    EXPECT_EQ(raw, c.after);
  }
}

TEST(RawBitsBounds, SpansOutsideTheBufferAreRefusedAndNothingIsTouched) {
  const struct {
    BitSpan span;
    size_t length;
  } table[] = {{{8, 8}, 1}, {{0, 16}, 1}, {{24, 1}, 3}, {{-1, 8}, 8}, {{0, 0}, 8}, {{0, -8}, 8},
               {{6, 3}, 8}, {{0, 8 * 33}, 64}, {{0, 8}, 0}};
  for (const auto& row : table) {
    std::vector<uint8_t> raw(row.length + 1, 0x5C);
    RawBits bits{};
    bits.fill(0xEE);
    EXPECT_FALSE(ReadBits(raw.data(), row.length, row.span, bits)) << row.span.offset << "/" << row.span.width;
    EXPECT_EQ(bits[0], 0xEE);
    EXPECT_FALSE(WriteBits(raw.data(), row.length, row.span, bits)) << row.span.offset << "/" << row.span.width;
    EXPECT_EQ(raw, std::vector<uint8_t>(row.length + 1, 0x5C));
  }
}

TEST(RawBitsBounds, TheLastByteOfTheBufferCanBeUsed) {
  std::vector<uint8_t> raw = {0, 0, 0x0F};
  RawBits bits{};
  EXPECT_TRUE(ReadBits(raw.data(), raw.size(), {20, 4}, bits));
  EXPECT_EQ(bits[0], 0x0F);
  EXPECT_TRUE(ReadBits(raw.data(), raw.size(), {8, 16}, bits));
  EXPECT_FALSE(ReadBits(nullptr, 4, {0, 8}, bits));
}

TEST(RawBitsBounds, SixteenBitPlacesBeyond32767AreNegative) {
  EXPECT_EQ(MakeBitSpan(0x8000, 8).offset, -32768);
  EXPECT_EQ(MakeBitSpan(16, 0xFFF8).width, -8);
  EXPECT_FALSE(SpanFits(MakeBitSpan(0x8000, 8), 65536));
}

TEST(Pow10, ComputesPositiveAndNegativeExponents) {
  const struct {
    int32_t b;
    long double expected;
  } table[] = {{0, 1.0L}, {1, 10.0L}, {2, 100.0L}, {3, 1000.0L}, {9, 1e9L}, {-1, 1.0L / 10.0L},
               {-2, 1.0L / 100.0L}, {-3, 1.0L / 1000.0L}, {15, 1e15L}};
  for (const auto& row : table) EXPECT_EQ(Pow10(row.b), row.expected) << row.b;
  EXPECT_EQ(Pow10(-32768), 1.0L / Pow10(32768));
}

}  // namespace
}  // namespace vornfmt::test
