// Decoding and encoding: every kind signed and unsigned, scaling with
// negative multipliers and offsets, rounding, limits, unset slots,
// enumerations, buffers that are too short.
#include "typetree/codec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/scripted_library.h"
#include "tests/support/test_catalog.h"
#include "typetree/limit_breach.h"
#include "typetree/type_tree_item.h"

namespace vornfmt::test {
namespace {

class Codec : public testing::Test {
 protected:
  CTypeTreeItem& Load(const char16_t* type) { return types.Load(type); }
  TestCatalog types{"typetree", false};
};


TEST_F(Codec, DecodesEveryKindToTheEngineeringValue) {
  const std::tuple<const char16_t*, Bytes, double> rows[] = {
      // char, enum signed; 8-bit short, 16-bit long signed and unsigned
      {u"UNVT_char", {0xFF}, -1}, {u"UNVT_uchar", {0xFF}, 255}, {u"UNVT_sshort", {0x80}, -128},
      {u"UNVT_ushort", {0x80}, 128}, {u"UNVT_slong", {0xFF, 0xFE}, -2}, {u"UNVT_ulong", {0xFF, 0xFE}, 65534},
      {u"UNVT_enum", {0xFF}, -1}, {u"UNVT_quad", {0x80, 0, 0, 0}, -2147483648.0},
      {u"UNVT_quad", {0x7F, 0xFF, 0xFF, 0xFF}, 2147483647.0}, {u"UNVT_float", {0xC0, 0x20, 0, 0}, -2.5},
      {u"UNVT_tenths", {0xFF, 0xFE}, -0.2}, {u"UNVT_negated", {0x00, 0x07}, -7},
      {u"UNVT_shifted", {0xFF, 0xF6}, -100},  // offset, then multiplier, then exponent
      {u"UNVT_hundredths", {0xFF, 0xFF}, 655.35}, {u"UNVT_shifted_bits", {0x28}, 300},
      {u"UNVT_wrapping", {0x7F, 0xFF, 0xFF, 0xFF}, 4294967294.0},  // quad times multiplier beyond 32 bits
      {u"UNVT_uquad", Bytes(8, 0x11), NAN}, {u"UNVT_double", Bytes(8, 0x11), NAN},  // NaN: not decoded
  };
  for (const auto& [type, raw, expected] : rows) {
    SCOPED_TRACE(Narrow(type));
    CTypeTreeItem& root = Load(type);
    ASSERT_TRUE(Decode(root, raw.data(), raw.size()));
    EXPECT_EQ(root.value.IsSet(), !std::isnan(expected));
    if (!root.value.IsSet()) continue;
    EXPECT_DOUBLE_EQ(root.value.value, expected);
  }
}

// Every subfield holds 42 before; containers get no value; a field outside
// a short buffer is not decoded.
TEST_F(Codec, DecodesSubfieldsAtAbsoluteOffsets) {
  const std::tuple<const char16_t*, Bytes, std::vector<double>> rows[] = {
      {u"UNVT_bits", {0x5A, 0x3C, 0xFE}, {11, 2, -15, -2}},  // lead 01011, tail 010, down 1111 times -1, signed8 -2
      {u"UNVT_outer", {9, 1, 2, 0xFF, 0xFE, 2}, {9, 1, 2, -0.2, 2}},
      {u"UNVT_padded", {1, 2, 3}, {1, 2, 42}},  // v needs bytes 2 and 3
  };
  for (const auto& [type, raw, expected] : rows) {
    SCOPED_TRACE(Narrow(type));
    CTypeTreeItem& root = Load(type);
    for (CTypeTreeItemBase* node : root.Subfields()) node->value.Store(42);
    EXPECT_TRUE(Decode(root, raw.data(), raw.size()));
    EXPECT_FALSE(root.value.IsSet());
    ASSERT_EQ(root.Subfields().size(), expected.size());
    for (int16_t i = 0; i < root.GetSubfieldCount(); ++i)
      EXPECT_DOUBLE_EQ(root.GetSubfield(i)->value.value, expected[size_t(i)]) << i;
  }
  CTypeTreeItemBase& v = *Load(u"UNVT_padded").GetSubfield(2);
  EXPECT_EQ(std::tuple(Decode(v, Bytes{1, 2, 3}.data(), 3), Decode(v, nullptr, 0)), std::tuple(false, false));
}

TEST_F(Codec, ANodeThatCannotBeSelectedIsNotDecoded) {
  CTypeTreeItem& root = Load(u"UNVT_padded");
  const Bytes raw = {1, 2, 3, 4};
  TheScript().failFinds = true;
  EXPECT_FALSE(Decode(*root.GetSubfield(0), raw.data(), raw.size()));
  EXPECT_FALSE(root.GetSubfield(0)->value.IsSet());
  EXPECT_TRUE(Decode(root, raw.data(), raw.size()));  // the root itself is still selected
  EXPECT_FALSE(root.GetSubfield(1)->value.IsSet());
}


TEST_F(Codec, EncodesWithinTheLimitsAndRefusesBeyond) {
  const struct {
    const char16_t* type;
    double value;
    Bytes expected;  // the bytes after encoding into 0xA5 bytes; empty: refused, untouched
    int16_t sub = -1;  // the subfield encoded alone
  } rows[] = {
      // min - 1, min, max, max + 1 of every integer kind with its natural range
      {u"UNVT_char", -129, {}}, {u"UNVT_char", -128, {0x80}}, {u"UNVT_char", 127, {0x7F}}, {u"UNVT_char", 128, {}},
      {u"UNVT_uchar", -1, {}}, {u"UNVT_uchar", 0, {0x00}}, {u"UNVT_uchar", 255, {0xFF}}, {u"UNVT_uchar", 256, {}},
      {u"UNVT_sshort", -128, {0x80}}, {u"UNVT_sshort", 128, {}}, {u"UNVT_ushort", 255, {0xFF}},
      {u"UNVT_ushort", -1, {}}, {u"UNVT_slong", -32769, {}}, {u"UNVT_slong", -32768, {0x80, 0x00}},
      {u"UNVT_slong", 32767, {0x7F, 0xFF}}, {u"UNVT_slong", 32768, {}}, {u"UNVT_ulong", -1, {}},
      {u"UNVT_ulong", 65535, {0xFF, 0xFF}}, {u"UNVT_ulong", 65536, {}}, {u"UNVT_quad", -2147483649.0, {}},
      {u"UNVT_quad", -2147483648.0, {0x80, 0, 0, 0}}, {u"UNVT_quad", 2147483647.0, {0x7F, 0xFF, 0xFF, 0xFF}},
      {u"UNVT_quad", 2147483648.0, {}},
      // limits of the type file, before and after rounding
      {u"UNVT_percent", -1, {}}, {u"UNVT_percent", 0, {0}}, {u"UNVT_percent", 100, {100}},
      {u"UNVT_percent", 101, {}}, {u"UNVT_percent", 100.4, {}}, {u"UNVT_percent", 99.6, {100}},
      // 655.35 is the double 655.350000000000023: R misses the raw maximum
      // by less than the double's own error, so the shown maximum is written.
      {u"UNVT_hundredths", 655.35, {0xFF, 0xFF}}, {u"UNVT_hundredths", 655.3500001, {}},
      {u"UNVT_percent", -0.4, {}}, {u"UNVT_percent", std::nan(""), {}}, {u"UNVT_hundredths", HUGE_VAL, {}},
      {u"UNVT_hundredths", 1e300, {}},
      // rounding half away from zero
      {u"UNVT_tenths", 0.25, {0x00, 0x03}}, {u"UNVT_tenths", -0.25, {0xFF, 0xFD}}, {u"UNVT_tenths", 0.04, {0, 0}},
      {u"UNVT_tenths", -100, {0xFC, 0x18}}, {u"UNVT_tenths", -100.01, {}},
      // negative multipliers and offsets
      {u"UNVT_negated", 0, {0, 0}}, {u"UNVT_negated", -100, {0, 100}}, {u"UNVT_negated", -101, {}},
      {u"UNVT_negated", 1, {}}, {u"UNVT_shifted", -100, {0xFF, 0xF6}}, {u"UNVT_shifted", 300, {0x00, 0x0A}},
      {u"UNVT_shifted", -120, {}}, {u"UNVT_shifted", 320, {}},
      {u"UNVT_shifted", 90, {0xFF, 0xFF}},  // the negative half rounds down
      {u"UNVT_shifted_bits", 120, {0x85}},
      // floats: the type file's limits; no rounding
      {u"UNVT_float", 3.4028234663852886e38, {0x7F, 0x7F, 0xFF, 0xFF}}, {u"UNVT_float", 1e39, {}},
      {u"UNVT_float", std::nan(""), {}}, {u"UNVT_float_narrow", -10.5001, {}},
      {u"UNVT_float_narrow", -10.5, {0xC1, 0x28, 0, 0}}, {u"UNVT_float_narrow", 10.5, {0x41, 0x28, 0, 0}},
      {u"UNVT_float_narrow", 10.5001, {}},
      // enumerations: truncated toward zero, low 8 bits, no limits
      {u"UNVT_enum", 2.9, {0x02}}, {u"UNVT_enum", -1.9, {0xFF}}, {u"UNVT_enum", 300, {0x2C}},
      {u"UNVT_enum", std::numeric_limits<double>::infinity(), {}},
      // a bitfield alone: its width (tail: 3 bits, 0..7); the other bits of its byte are kept
      {u"UNVT_bits", -1, {}, 1}, {u"UNVT_bits", 0, {0xA0}, 1}, {u"UNVT_bits", 7, {0xA7}, 1}, {u"UNVT_bits", 8, {}, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(Narrow(row.type) + " " + testing::PrintToString(row.value));
    CTypeTreeItemBase& node = *Load(row.type).GetSubfield(row.sub);
    node.value.Store(row.value);
    Bytes raw(node.GetSize(true), 0xA5);
    const bool accepted = !row.expected.empty();
    EXPECT_EQ(Encode(node, raw.data(), raw.size(), nullptr), accepted);
    EXPECT_EQ(raw, accepted ? row.expected : Bytes(raw.size(), 0xA5));
  }
}

// A field alone writing only its bits is checked over the standard catalog (standard_property_test.cpp).
TEST_F(Codec, BitfieldsKeepTheOtherBitsOfTheirByte) {
  CTypeTreeItem& root = Load(u"UNVT_bits");
  Bytes raw = {0xFF, 0xFF, 0x00};
  const std::vector<double> values = {0, 2, -5, -128};
  for (int16_t i = 0; i < 4; ++i) root.GetSubfield(i)->value.Store(values[size_t(i)]);
  ASSERT_TRUE(Encode(root, raw.data(), raw.size(), nullptr));
  EXPECT_EQ(raw, (Bytes{0x02, 0xD7, 0x80}));
}

// An unset slot is refused but its siblings are written; nodes outside the
// buffer are not written.
TEST_F(Codec, UnsetSlotsAndShortBuffersAreRefused) {
  CTypeTreeItem& root = Load(u"UNVT_padded");
  root.GetSubfield(0)->value.Store(1);
  root.GetSubfield(2)->value.Store(-0.2);
  Bytes raw = {0xA5, 0xA5, 0xA5, 0xA5};
  EXPECT_FALSE(Encode(root, raw.data(), raw.size(), nullptr));
  EXPECT_EQ(raw, (Bytes{0x01, 0xA5, 0xFF, 0xFE}));
  for (CTypeTreeItemBase* node : root.Subfields()) node->value.Store(3);
  raw = {0xA5, 0xA5, 0xA5, 0x77};
  EXPECT_FALSE(Encode(root, raw.data(), 3, nullptr));
  EXPECT_EQ(raw, (Bytes{0x03, 0x03, 0xA5, 0x77}));
}

TEST_F(Codec, DoubleAndUnsignedQuadWriteNothing) {
  CTypeTreeItem& dbl = Load(u"UNVT_double");
  CTypeTreeItem& uquad = Load(u"UNVT_uquad");
  Bytes raw(8, 0xA5);
  EXPECT_TRUE(Encode(dbl, raw.data(), raw.size(), nullptr));  // nothing set, nothing to write
  dbl.value.Store(4.5);
  EXPECT_TRUE(Encode(dbl, raw.data(), raw.size(), nullptr));
  dbl.value.Store(5.5);  // beyond the type file's limit 5
  EXPECT_FALSE(Encode(dbl, raw.data(), raw.size(), nullptr));
  uquad.value.Store(1);
  EXPECT_TRUE(Encode(uquad, raw.data(), raw.size(), nullptr));
  EXPECT_EQ(raw, Bytes(8, 0xA5));
}


// Not for unset slots or values within the limits; called with message 101
// beyond them, and its answer is the result (a correction writes the bytes
// itself).
TEST_F(Codec, TheLimitBreachHandlerIsCalledBeyondTheLimitsAndDecidesTheResult) {
  static struct {
    int calls = 0;
    uint32_t message = 0;
    CTypeTreeItemBase* node = nullptr;
    VARIANT* value = nullptr;
    bool answer = false;
  } breach;
  const LimitBreachHandler previous = SetLimitBreachHandler(
      [](CTypeTreeItemBase& node, uint8_t* raw, size_t length, VARIANT* value, uint32_t message) {
        breach = {breach.calls + 1, message, &node, value, breach.answer};
        if (breach.answer && length > 0) raw[0] = 0x42;
        return breach.answer;
      });
  CTypeTreeItem& root = Load(u"UNVT_percent");
  Bytes raw = {0};
  EXPECT_FALSE(Encode(root, raw.data(), raw.size(), nullptr));
  root.value.Store(100);
  EXPECT_TRUE(Encode(root, raw.data(), raw.size(), nullptr));
  EXPECT_EQ(breach.calls, 0);
  root.value.Store(101);
  auto* context = reinterpret_cast<VARIANT*>(&raw);
  EXPECT_FALSE(Encode(root, raw.data(), raw.size(), context));
  EXPECT_EQ(std::tuple(breach.calls, breach.message, breach.node, breach.value),
            std::tuple(1, kMessageDataExceedsBounds, static_cast<CTypeTreeItemBase*>(&root), context));
  breach.answer = true;
  EXPECT_TRUE(Encode(root, raw.data(), raw.size(), context));
  EXPECT_EQ(raw[0], 0x42);
  SetLimitBreachHandler(previous);
}


TEST_F(Codec, EnumerationNamesAndValues) {
  CTypeTreeItem& root = Load(u"UNVT_enum");
  int32_t set = 0;
  ASSERT_TRUE(GetEnumSet(root, set));
  EXPECT_EQ(set, 1);
  EXPECT_EQ(EnumNameByValue(root, 1), u"beta");  // the fallbacks are CTypeFile's, tested with it
  int8_t value = 0;
  EXPECT_TRUE(EnumValueByName(root, u"gamma", value));
  EXPECT_EQ(value, 2);
  std::vector<std::u16string> names = {u"before"};
  EnumNames(root, names);
  EXPECT_EQ(names, (std::vector<std::u16string>{u"before", u"alpha", u"beta", u"gamma"}));
  // A field beside a reference uses its own set.
  EXPECT_EQ(EnumNameByValue(*Load(u"UNVT_outer").GetSubfield(4), 0), u"alpha");
  // A node without a set answers nothing.
  CTypeTreeItem& plain = Load(u"UNVT_uchar");
  EXPECT_FALSE(GetEnumSet(plain, set));
  EXPECT_EQ(EnumNameByValue(plain, 1), u"");
  value = 5;
  EXPECT_FALSE(EnumValueByName(plain, u"alpha", value));
  EXPECT_EQ(value, 5);
  names.clear();
  EnumNames(plain, names);
  EXPECT_TRUE(names.empty());
}

TEST_F(Codec, ResolutionIsOneRawStep) {
  const std::tuple<const char16_t*, int16_t, double> table[] = {  // type, subfield, resolution
      {u"UNVT_tenths", -1, 0.1}, {u"UNVT_negated", -1, -1}, {u"UNVT_shifted", -1, 20}, {u"UNVT_hundredths", -1, 0.01},
      {u"UNVT_bits", 2, -1},     {u"UNVT_float", -1, 0},    {u"UNVT_enum", -1, 0},     {u"UNVT_bits", -1, 0},
      {u"UNVT_slong", -1, 1}};
  for (const auto& [type, sub, expected] : table)
    EXPECT_DOUBLE_EQ(GetResolution(*Load(type).GetSubfield(sub)), expected) << Narrow(type) << " " << sub;
  TheScript().failScans = true;
  EXPECT_EQ(GetResolution(Load(u"UNVT_tenths")), 0.0);
}

}  // namespace
}  // namespace vornfmt::test
