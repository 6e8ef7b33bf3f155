// Value bounds of every kind in engineering units.
#include "typetree/bounds.h"

#include <gtest/gtest.h>

#include "tests/support/scripted_library.h"
#include "tests/support/test_catalog.h"
#include "typetree/type_tree_item.h"

namespace vornfmt::test {
namespace {


struct BoundsCase {
  const char* what;
  const char16_t* type;
  int16_t sub;
  double minimum, maximum;
};

class BoundsTable : public testing::TestWithParam<BoundsCase> {
 protected:
  TestCatalog types{"typetree", false};
};

TEST_P(BoundsTable, ScalesTheLibraryLimits) {
  const BoundsCase& c = GetParam();
  CTypeTreeItem root;
  ASSERT_TRUE(root.LoadByName(c.type, kPid, 0));
  double minimum = 0, maximum = 0;
  ASSERT_TRUE(GetBounds(*root.GetSubfield(c.sub), minimum, maximum));
  EXPECT_DOUBLE_EQ(minimum, c.minimum);
  EXPECT_DOUBLE_EQ(maximum, c.maximum);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, BoundsTable,
    testing::Values(BoundsCase{"Char", u"UNVT_char", -1, -128, 127},
                    BoundsCase{"UnsignedLong", u"UNVT_ulong", -1, 0, 65535},
                    BoundsCase{"SignedQuad", u"UNVT_quad", -1, -2147483648.0, 2147483647.0},
                    BoundsCase{"Hundredths", u"UNVT_hundredths", -1, 0, 655.35},
                    BoundsCase{"NegativeMultiplierIsNotSwapped", u"UNVT_negated", -1, 0, -100},
                    BoundsCase{"OffsetMultiplierExponent", u"UNVT_shifted", -1, -100, 300},
                    BoundsCase{"ThirtyTwoBitProductWraps", u"UNVT_wrapping", -1, -2, -2},
                    BoundsCase{"Bitfield", u"UNVT_bits", 1, 0, 7},
                    BoundsCase{"BitfieldNegativeMultiplier", u"UNVT_bits", 2, 0, -15},
                    BoundsCase{"ScaledBitfield", u"UNVT_shifted_bits", -1, -100, 300},
                    BoundsCase{"EnumerationFromTheSet", u"UNVT_enum", -1, 0, 2},
                    BoundsCase{"FloatIgnoresTheTypeFile", u"UNVT_float_narrow", -1, double{1.175494351e-38f},
                               double{3.402823466e+38f}},
                    BoundsCase{"DoubleFloat", u"UNVT_double", -1, -5, 5}),
    [](const testing::TestParamInfo<BoundsCase>& info) { return info.param.what; });

class Bounds : public testing::Test {
 protected:
  TestCatalog types{"typetree", false};
};

TEST_F(Bounds, KindsWithoutLimitsAnswerFalseAndLeaveTheOutputs) {
  const struct {
    const char16_t* type;
    int16_t sub;
  } table[] = {{u"UNVT_bits", -1}, {u"UNVT_pairs", -1}, {u"UNVT_uquad", -1}, {u"UNVT_dangling", 1},
               {u"UNVT_self", -1}};
  for (const auto& row : table) {
    CTypeTreeItem root;
    ASSERT_TRUE(root.LoadByName(row.type, kPid, 0));
    double minimum = 11, maximum = 22;
    EXPECT_FALSE(GetBounds(*root.GetSubfield(row.sub), minimum, maximum)) << row.sub;
    EXPECT_EQ(minimum, 11);
    EXPECT_EQ(maximum, 22);
  }
}

TEST_F(Bounds, ALibraryRefusalOrFailedSelectionAnswersFalse) {
  CTypeTreeItem level, real;
  ASSERT_TRUE(level.LoadByName(u"UNVT_tenths", kPid, 0));
  ASSERT_TRUE(real.LoadByName(u"UNVT_float", kPid, 0));
  double minimum = 11, maximum = 22;
  TheScript().failDetails = true;
  EXPECT_FALSE(GetBounds(level, minimum, maximum));
  TheScript().failDetails = false;
  TheScript().failScans = true;
  EXPECT_FALSE(GetBounds(real, minimum, maximum));
  EXPECT_EQ(minimum, 11);
  EXPECT_EQ(maximum, 22);
}

}  // namespace
}  // namespace vornfmt::test
