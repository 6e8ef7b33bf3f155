// Decoding and encoding: every kind signed and unsigned, scaling with
// negative multipliers and offsets, rounding, limits, unset slots,
// enumerations, buffers that are too short.
#include "typetree/codec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "tests/typetree/tree_library.h"
#include "typetree/limit_breach.h"
#include "typetree/type_tree_item.h"

namespace vornfmt::test {
namespace {

constexpr char16_t kPid[] = u"0000000000000000";
using Bytes = std::vector<uint8_t>;

class Codec : public testing::Test {
 protected:
  ScriptedEngine types{"typetree"};

  // Loads `type`; the tree stays valid for the test.
  CTypeTreeItem& Load(const char16_t* type) {
    trees.emplace_back(std::make_unique<CTypeTreeItem>());
    EXPECT_TRUE(trees.back()->LoadByName(type, kPid, 0)) << std::u16string(type).size();
    return *trees.back();
  }

  std::vector<std::unique_ptr<CTypeTreeItem>> trees;
};

// ---- decoding -------------------------------------------------------------

struct DecodeCase {
  const char* what;
  const char16_t* type;
  Bytes raw;
  double expected;
};

class DecodeTable : public Codec, public testing::WithParamInterface<DecodeCase> {};

TEST_P(DecodeTable, GivesTheEngineeringValue) {
  const DecodeCase& c = GetParam();
  CTypeTreeItem& root = Load(c.type);
  ASSERT_TRUE(Decode(root, c.raw.data(), c.raw.size()));
  EXPECT_TRUE(root.value.IsSet());
  EXPECT_DOUBLE_EQ(root.value.value, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, DecodeTable,
    testing::Values(DecodeCase{"CharIsSigned", u"UNVT_char", {0xFF}, -1},
                    DecodeCase{"UnsignedCharIsUnsigned", u"UNVT_uchar", {0xFF}, 255},
                    DecodeCase{"SignedShortIsEightBitSigned", u"UNVT_sshort", {0x80}, -128},
                    DecodeCase{"UnsignedShortIsEightBitUnsigned", u"UNVT_ushort", {0x80}, 128},
                    DecodeCase{"SignedLongIsSixteenBitSigned", u"UNVT_slong", {0xFF, 0xFE}, -2},
                    DecodeCase{"UnsignedLongIsSixteenBitUnsigned", u"UNVT_ulong", {0xFF, 0xFE}, 65534},
                    DecodeCase{"EnumIsSigned", u"UNVT_enum", {0xFF}, -1},
                    DecodeCase{"SignedQuadMinimum", u"UNVT_quad", {0x80, 0, 0, 0}, -2147483648.0},
                    DecodeCase{"SignedQuadMaximum", u"UNVT_quad", {0x7F, 0xFF, 0xFF, 0xFF}, 2147483647.0},
                    DecodeCase{"FloatNegative", u"UNVT_float", {0xC0, 0x20, 0, 0}, -2.5},
                    DecodeCase{"TenthsOfMinusTwo", u"UNVT_tenths", {0xFF, 0xFE}, -0.2},
                    DecodeCase{"NegativeMultiplier", u"UNVT_negated", {0x00, 0x07}, -7},
                    DecodeCase{"OffsetThenMultiplierThenExponent", u"UNVT_shifted", {0xFF, 0xF6}, -100},
                    DecodeCase{"Hundredths", u"UNVT_hundredths", {0xFF, 0xFF}, 655.35},
                    DecodeCase{"ScaledBitfieldWithOffset", u"UNVT_shifted_bits", {0x28}, 300},
                    DecodeCase{"QuadTimesMultiplierBeyond32Bits", u"UNVT_wrapping", {0x7F, 0xFF, 0xFF, 0xFF},
                               4294967294.0}),
    [](const testing::TestParamInfo<DecodeCase>& info) { return info.param.what; });

TEST_F(Codec, BitfieldsDecodeUnsignedButEightBitOnesSigned) {
  CTypeTreeItem& root = Load(u"UNVT_bits");
  const Bytes raw = {0x5A, 0x3C, 0xFE};  // lead 01011, tail 010, down 1111, signed8 -2
  ASSERT_TRUE(Decode(root, raw.data(), raw.size()));
  EXPECT_EQ(root.GetSubfield(0)->value.value, 11);
  EXPECT_EQ(root.GetSubfield(1)->value.value, 2);
  EXPECT_EQ(root.GetSubfield(2)->value.value, -15);  // multiplier -1
  EXPECT_EQ(root.GetSubfield(3)->value.value, -2);
  EXPECT_FALSE(root.value.IsSet());  // containers get no value
}

TEST_F(Codec, ChildOffsetsAreAbsolute) {
  CTypeTreeItem& root = Load(u"UNVT_outer");
  const Bytes raw = {9, 1, 2, 0xFF, 0xFE, 2};
  ASSERT_TRUE(Decode(root, raw.data(), raw.size()));
  const std::vector<double> expected = {9, 1, 2, -0.2, 2};
  for (int16_t i = 0; i < 5; ++i) EXPECT_DOUBLE_EQ(root.GetSubfield(i)->value.value, expected[size_t(i)]) << i;
}

TEST_F(Codec, UnsignedQuadAndDoubleFloatAreNotDecoded) {
  for (const char16_t* type : {u"UNVT_uquad", u"UNVT_double"}) {
    CTypeTreeItem& root = Load(type);
    const Bytes raw(8, 0x11);
    EXPECT_TRUE(Decode(root, raw.data(), raw.size()));
    EXPECT_FALSE(root.value.IsSet());
  }
}

TEST_F(Codec, AFieldOutsideAShortBufferIsNotDecoded) {
  CTypeTreeItem& root = Load(u"UNVT_padded");
  root.GetSubfield(2)->value.Store(42);
  const Bytes raw = {1, 2, 3};  // v needs bytes 2 and 3
  EXPECT_TRUE(Decode(root, raw.data(), raw.size()));
  EXPECT_EQ(root.GetSubfield(0)->value.value, 1);
  EXPECT_EQ(root.GetSubfield(1)->value.value, 2);
  EXPECT_EQ(root.GetSubfield(2)->value.value, 42);  // untouched
  EXPECT_FALSE(Decode(*root.GetSubfield(2), raw.data(), raw.size()));
  EXPECT_FALSE(Decode(*root.GetSubfield(2), nullptr, 0));
}

TEST_F(Codec, ANodeThatCannotBeSelectedIsNotDecoded) {
  CTypeTreeItem& root = Load(u"UNVT_padded");
  const Bytes raw = {1, 2, 3, 4};
  Script().failFinds = true;
  EXPECT_FALSE(Decode(*root.GetSubfield(0), raw.data(), raw.size()));
  EXPECT_FALSE(root.GetSubfield(0)->value.IsSet());
  EXPECT_TRUE(Decode(root, raw.data(), raw.size()));  // the root itself is still selected
  EXPECT_FALSE(root.GetSubfield(1)->value.IsSet());
}

// ---- encoding -------------------------------------------------------------

struct EncodeCase {
  const char* what;
  const char16_t* type;
  double value;
  bool accepted;
  Bytes expected;  // the bytes after encoding into 0xA5 bytes
};

class EncodeTable : public Codec, public testing::WithParamInterface<EncodeCase> {};

TEST_P(EncodeTable, WritesOrRefuses) {
  const EncodeCase& c = GetParam();
  CTypeTreeItem& root = Load(c.type);
  root.value.Store(c.value);
  Bytes raw(c.expected.size(), 0xA5);
  EXPECT_EQ(Encode(root, raw.data(), raw.size(), nullptr), c.accepted);
  EXPECT_EQ(raw, c.accepted ? c.expected : Bytes(c.expected.size(), 0xA5));
}

const Bytes kUntouched1 = {0xA5};
const Bytes kUntouched2 = {0xA5, 0xA5};
const Bytes kUntouched4 = {0xA5, 0xA5, 0xA5, 0xA5};

INSTANTIATE_TEST_SUITE_P(
    Limits, EncodeTable,
    testing::Values(
        // min - 1, min, max, max + 1 of every integer kind with its natural range
        EncodeCase{"CharBelowMin", u"UNVT_char", -129, false, kUntouched1},
        EncodeCase{"CharMin", u"UNVT_char", -128, true, {0x80}},
        EncodeCase{"CharMax", u"UNVT_char", 127, true, {0x7F}},
        EncodeCase{"CharAboveMax", u"UNVT_char", 128, false, kUntouched1},
        EncodeCase{"UnsignedCharBelowMin", u"UNVT_uchar", -1, false, kUntouched1},
        EncodeCase{"UnsignedCharMin", u"UNVT_uchar", 0, true, {0x00}},
        EncodeCase{"UnsignedCharMax", u"UNVT_uchar", 255, true, {0xFF}},
        EncodeCase{"UnsignedCharAboveMax", u"UNVT_uchar", 256, false, kUntouched1},
        EncodeCase{"SignedShortMin", u"UNVT_sshort", -128, true, {0x80}},
        EncodeCase{"SignedShortAboveMax", u"UNVT_sshort", 128, false, kUntouched1},
        EncodeCase{"UnsignedShortMax", u"UNVT_ushort", 255, true, {0xFF}},
        EncodeCase{"UnsignedShortBelowMin", u"UNVT_ushort", -1, false, kUntouched1},
        EncodeCase{"SignedLongBelowMin", u"UNVT_slong", -32769, false, kUntouched2},
        EncodeCase{"SignedLongMin", u"UNVT_slong", -32768, true, {0x80, 0x00}},
        EncodeCase{"SignedLongMax", u"UNVT_slong", 32767, true, {0x7F, 0xFF}},
        EncodeCase{"SignedLongAboveMax", u"UNVT_slong", 32768, false, kUntouched2},
        EncodeCase{"UnsignedLongBelowMin", u"UNVT_ulong", -1, false, kUntouched2},
        EncodeCase{"UnsignedLongMax", u"UNVT_ulong", 65535, true, {0xFF, 0xFF}},
        EncodeCase{"UnsignedLongAboveMax", u"UNVT_ulong", 65536, false, kUntouched2},
        EncodeCase{"SignedQuadBelowMin", u"UNVT_quad", -2147483649.0, false, kUntouched4},
        EncodeCase{"SignedQuadMin", u"UNVT_quad", -2147483648.0, true, {0x80, 0, 0, 0}},
        EncodeCase{"SignedQuadMax", u"UNVT_quad", 2147483647.0, true, {0x7F, 0xFF, 0xFF, 0xFF}},
        EncodeCase{"SignedQuadAboveMax", u"UNVT_quad", 2147483648.0, false, kUntouched4},
        // limits of the type file, before and after rounding
        EncodeCase{"PercentBelowMin", u"UNVT_percent", -1, false, kUntouched1},
        EncodeCase{"PercentMin", u"UNVT_percent", 0, true, {0}},
        EncodeCase{"PercentMax", u"UNVT_percent", 100, true, {100}},
        EncodeCase{"PercentAboveMax", u"UNVT_percent", 101, false, kUntouched1},
        EncodeCase{"AboveMaxBeforeRounding", u"UNVT_percent", 100.4, false, kUntouched1},
        EncodeCase{"RoundsUpToMax", u"UNVT_percent", 99.6, true, {100}},
        // 655.35 is the double 655.350000000000023: R misses the raw maximum
        // by less than the double's own error, so the shown maximum is written.
        EncodeCase{"ShownMaximumIsWritten", u"UNVT_hundredths", 655.35, true, {0xFF, 0xFF}},
        EncodeCase{"JustAboveShownMaximum", u"UNVT_hundredths", 655.3500001, false, kUntouched2},
        EncodeCase{"JustBelowMinBeforeRounding", u"UNVT_percent", -0.4, false, kUntouched1},
        EncodeCase{"NotANumberBreaksTheLimits", u"UNVT_percent", std::nan(""), false, kUntouched1},
        EncodeCase{"InfinityBreaksTheLimits", u"UNVT_hundredths", HUGE_VAL, false, kUntouched2},
        EncodeCase{"HugeValueBreaksTheLimits", u"UNVT_hundredths", 1e300, false, kUntouched2},
        // rounding half away from zero
        EncodeCase{"HalfStepRoundsUp", u"UNVT_tenths", 0.25, true, {0x00, 0x03}},
        EncodeCase{"NegativeHalfStepRoundsDown", u"UNVT_tenths", -0.25, true, {0xFF, 0xFD}},
        EncodeCase{"BelowHalfRoundsToZero", u"UNVT_tenths", 0.04, true, {0x00, 0x00}},
        EncodeCase{"TenthsMin", u"UNVT_tenths", -100, true, {0xFC, 0x18}},
        EncodeCase{"TenthsBelowMin", u"UNVT_tenths", -100.01, false, kUntouched2},
        // negative multipliers and offsets
        EncodeCase{"NegativeMultiplierMin", u"UNVT_negated", 0, true, {0, 0}},
        EncodeCase{"NegativeMultiplierMax", u"UNVT_negated", -100, true, {0, 100}},
        EncodeCase{"NegativeMultiplierBeyondMax", u"UNVT_negated", -101, false, kUntouched2},
        EncodeCase{"NegativeMultiplierPositiveValue", u"UNVT_negated", 1, false, kUntouched2},
        EncodeCase{"OffsetMin", u"UNVT_shifted", -100, true, {0xFF, 0xF6}},
        EncodeCase{"OffsetMax", u"UNVT_shifted", 300, true, {0x00, 0x0A}},
        EncodeCase{"OffsetBelowMin", u"UNVT_shifted", -120, false, kUntouched2},
        EncodeCase{"OffsetAboveMax", u"UNVT_shifted", 320, false, kUntouched2},
        EncodeCase{"OffsetNegativeHalfRoundsDown", u"UNVT_shifted", 90, true, {0xFF, 0xFF}},
        EncodeCase{"ScaledBitfield", u"UNVT_shifted_bits", 120, true, {0x85}},
        // floats: the type file's limits; no rounding
        EncodeCase{"FloatLargest", u"UNVT_float", 3.4028234663852886e38, true, {0x7F, 0x7F, 0xFF, 0xFF}},
        EncodeCase{"FloatBeyondSingleRange", u"UNVT_float", 1e39, false, kUntouched4},
        EncodeCase{"FloatNotANumber", u"UNVT_float", std::nan(""), false, kUntouched4},
        EncodeCase{"NarrowFloatBelowMin", u"UNVT_float_narrow", -10.5001, false, kUntouched4},
        EncodeCase{"NarrowFloatMin", u"UNVT_float_narrow", -10.5, true, {0xC1, 0x28, 0, 0}},
        EncodeCase{"NarrowFloatMax", u"UNVT_float_narrow", 10.5, true, {0x41, 0x28, 0, 0}},
        EncodeCase{"NarrowFloatAboveMax", u"UNVT_float_narrow", 10.5001, false, kUntouched4},
        // enumerations: truncated, low 8 bits, no limits
        EncodeCase{"EnumTruncatesTowardZero", u"UNVT_enum", 2.9, true, {0x02}},
        EncodeCase{"EnumNegativeTruncatesTowardZero", u"UNVT_enum", -1.9, true, {0xFF}},
        EncodeCase{"EnumOutsideTheSetIsWritten", u"UNVT_enum", 300, true, {0x2C}},
        EncodeCase{"EnumInfinityIsRefused", u"UNVT_enum", std::numeric_limits<double>::infinity(), false,
                   kUntouched1}),
    [](const testing::TestParamInfo<EncodeCase>& info) { return info.param.what; });

// A field alone writing only its bits is checked over the standard catalog (standard_property_test.cpp).
TEST_F(Codec, BitfieldsKeepTheOtherBitsOfTheirByte) {
  CTypeTreeItem& root = Load(u"UNVT_bits");
  Bytes raw = {0xFF, 0xFF, 0x00};
  const std::vector<double> values = {0, 2, -5, -128};
  for (int16_t i = 0; i < 4; ++i) root.GetSubfield(i)->value.Store(values[size_t(i)]);
  ASSERT_TRUE(Encode(root, raw.data(), raw.size(), nullptr));
  EXPECT_EQ(raw, (Bytes{0x02, 0xD7, 0x80}));
}

TEST_F(Codec, ABitfieldBeyondItsWidthIsRefused) {
  CTypeTreeItem& root = Load(u"UNVT_bits");
  const struct {
    double value;
    bool accepted;
  } table[] = {{-1, false}, {0, true}, {7, true}, {8, false}};  // tail: 3 bits, 0..7
  for (const auto& row : table) {
    Bytes raw = {0x00, 0x00, 0x00};
    root.GetSubfield(1)->value.Store(row.value);
    EXPECT_EQ(Encode(*root.GetSubfield(1), raw.data(), raw.size(), nullptr), row.accepted) << row.value;
    EXPECT_EQ(raw[0], row.accepted ? static_cast<uint8_t>(row.value) : 0) << row.value;
  }
}

TEST_F(Codec, AnUnsetSlotIsRefusedButItsSiblingsAreWritten) {
  CTypeTreeItem& root = Load(u"UNVT_padded");
  root.GetSubfield(0)->value.Store(1);
  root.GetSubfield(2)->value.Store(-0.2);
  Bytes raw = {0xA5, 0xA5, 0xA5, 0xA5};
  EXPECT_FALSE(Encode(root, raw.data(), raw.size(), nullptr));
  EXPECT_EQ(raw, (Bytes{0x01, 0xA5, 0xFF, 0xFE}));
}

TEST_F(Codec, NodesOutsideTheBufferAreNotWritten) {
  CTypeTreeItem& root = Load(u"UNVT_padded");
  for (CTypeTreeItemBase* node : root.Subfields()) node->value.Store(3);
  Bytes raw = {0xA5, 0xA5, 0xA5, 0x77};
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

// ---- the limit-breach handler -------------------------------------------

struct Breach {
  int calls = 0;
  uint32_t message = 0;
  CTypeTreeItemBase* node = nullptr;
  VARIANT* value = nullptr;
  bool answer = false;
};
Breach g_breach;

bool RecordBreach(CTypeTreeItemBase& node, uint8_t* raw, size_t length, VARIANT* value, uint32_t message) {
  ++g_breach.calls;
  g_breach.message = message;
  g_breach.node = &node;
  g_breach.value = value;
  if (g_breach.answer && length > 0) raw[0] = 0x42;  // a correction writes the bytes itself
  return g_breach.answer;
}

class BreachHandler : public Codec {
 protected:
  void SetUp() override {
    g_breach = Breach{};
    previous = SetLimitBreachHandler(&RecordBreach);
  }
  void TearDown() override { SetLimitBreachHandler(previous); }
  LimitBreachHandler previous = nullptr;
};

TEST_F(BreachHandler, IsCalledWithMessage101AndDecidesTheResult) {
  CTypeTreeItem& root = Load(u"UNVT_percent");
  root.value.Store(101);
  Bytes raw = {0};
  auto* context = reinterpret_cast<VARIANT*>(&raw);
  EXPECT_FALSE(Encode(root, raw.data(), raw.size(), context));
  EXPECT_EQ(g_breach.calls, 1);
  EXPECT_EQ(g_breach.message, kMessageDataExceedsBounds);
  EXPECT_EQ(g_breach.node, &root);
  EXPECT_EQ(g_breach.value, context);
  g_breach.answer = true;
  EXPECT_TRUE(Encode(root, raw.data(), raw.size(), context));
  EXPECT_EQ(raw[0], 0x42);
}

TEST_F(BreachHandler, IsNotCalledForUnsetSlotsOrValuesWithinLimits) {
  CTypeTreeItem& root = Load(u"UNVT_percent");
  Bytes raw = {0};
  EXPECT_FALSE(Encode(root, raw.data(), raw.size(), nullptr));
  root.value.Store(100);
  EXPECT_TRUE(Encode(root, raw.data(), raw.size(), nullptr));
  EXPECT_EQ(g_breach.calls, 0);
}

TEST(DefaultBreachHandler, RefusesAtOnce) {
  EXPECT_EQ(SetLimitBreachHandler(nullptr), &RefuseLimitBreach);
}

// ---- enumerations and resolution -----------------------------------------

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
}

TEST_F(Codec, NodesWithoutEnumerationSetAnswerNothing) {
  CTypeTreeItem& root = Load(u"UNVT_uchar");
  int32_t set = 0;
  EXPECT_FALSE(GetEnumSet(root, set));
  EXPECT_EQ(EnumNameByValue(root, 1), u"");
  int8_t value = 5;
  EXPECT_FALSE(EnumValueByName(root, u"alpha", value));
  EXPECT_EQ(value, 5);
  std::vector<std::u16string> names;
  EnumNames(root, names);
  EXPECT_TRUE(names.empty());
}

TEST_F(Codec, AnEnumerationFieldBesideAReferenceUsesItsOwnSet) {
  CTypeTreeItem& root = Load(u"UNVT_outer");
  EXPECT_EQ(EnumNameByValue(*root.GetSubfield(4), 0), u"alpha");
}

TEST_F(Codec, ResolutionIsOneRawStep) {
  const struct {
    const char16_t* type;
    int16_t sub;
    double expected;
  } table[] = {{u"UNVT_tenths", -1, 0.1},  {u"UNVT_negated", -1, -1},   {u"UNVT_shifted", -1, 20},
               {u"UNVT_hundredths", -1, 0.01}, {u"UNVT_bits", 2, -1},  {u"UNVT_float", -1, 0},
               {u"UNVT_enum", -1, 0},     {u"UNVT_bits", -1, 0},       {u"UNVT_slong", -1, 1}};
  for (const auto& row : table) {
    CTypeTreeItem& root = Load(row.type);
    EXPECT_DOUBLE_EQ(GetResolution(*root.GetSubfield(row.sub)), row.expected) << row.sub;
  }
  Script().failScans = true;
  EXPECT_EQ(GetResolution(Load(u"UNVT_tenths")), 0.0);
}

}  // namespace
}  // namespace vornfmt::test
