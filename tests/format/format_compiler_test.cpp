#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "format/alternate_fmt.h"
#include "format/brackets_object.h"
#include "format/scaling_part.h"
#include "format/split_conditional.h"

namespace vornfmt {
namespace {

// The single Items node of a specification of the form ("..." , ...).
const CBracketsObject& OnlyItems(const CBracketsObject& root) {
  EXPECT_EQ(root.Kind(), BracketKind::Group);
  EXPECT_EQ(root.Children().size(), 1u);
  static const CBracketsObject empty;
  if (root.Children().size() != 1) return empty;
  return *root.Children().front();
}

struct ItemView {
  std::u16string name;
  std::u16string piece;
  ConversionKind kind;
  bool operator==(const ItemView&) const = default;
};

void PrintTo(const ItemView& v, std::ostream* os) {
  *os << "{" << ::testing::PrintToString(v.name) << ", " << ::testing::PrintToString(v.piece)
      << ", " << static_cast<int>(v.kind) << "}";
}

std::vector<ItemView> ItemsOf(const CBracketsObject& node) {
  std::vector<ItemView> out;
  for (const auto& item : node.Items()) out.push_back({item->Name(), item->Piece(), item->Kind()});
  return out;
}

struct CompileCase {
  std::u16string specification;
  std::vector<ItemView> items;
};

class ItemListTest : public ::testing::TestWithParam<CompileCase> {};

TEST_P(ItemListTest, CompilesItemsWithMaskedPieces) {
  CBracketsObject root;
  root.Compile(GetParam().specification, u"SNVT_x");
  const CBracketsObject& items = OnlyItems(root);
  EXPECT_EQ(items.Kind(), BracketKind::Items);
  EXPECT_EQ(ItemsOf(items), GetParam().items);
}

using K = ConversionKind;

INSTANTIATE_TEST_SUITE_P(
    Cases, ItemListTest,
    ::testing::Values(
        // Whole value, no argument list: one item named after the type.
        CompileCase{u"(\"%d\")", {{u"SNVT_x", u"%s", K::Decimal}}},
        CompileCase{u"(\"%f\",*0.1+0)", {{u"SNVT_x", u"%s", K::Float}}},
        // No ',' in the argument list: the whole format text is the piece,
        // and nothing is appended to it.
        CompileCase{u"(\"%d km\")", {{u"SNVT_x", u"%s km", K::Decimal}}},
        CompileCase{u"(\"off\")", {{u"SNVT_x", u"off", K::Literal}}},
        CompileCase{u"(\"%5.2f\")", {{u"SNVT_x", u"%5.2f", K::Literal}}},
        CompileCase{u"(\"%u\")", {{u"SNVT_x", u"%u", K::Literal}}},
        // Pieces per argument, literal text after the last conversion
        // going with the last item.
        CompileCase{u"(\"%d/%d\",a,b)", {{u"a", u"%s", K::Decimal}, {u"b", u"/%s", K::Decimal}}},
        CompileCase{u"(\"%d km\",a)", {{u"a", u"%s km", K::Decimal}}},
        CompileCase{u"(\"%m: %x h\",mode,code)",
                    {{u"mode", u"%s", K::EnumName}, {u"code", u": %s h", K::Hex}}},
        CompileCase{u"(\"%c%s\",a,b)", {{u"a", u"%s", K::Char}, {u"b", u"%s", K::String}}},
        // Blanks in the argument list are removed, also inside names.
        CompileCase{u"(\"%d\" , my field )", {{u"myfield", u"%s", K::Decimal}}},
        // The text before the first ',' is ignored.
        CompileCase{u"(\"%d\"junk,a)", {{u"a", u"%s", K::Decimal}}},
        // An empty name, or one empty before its '*', is the type name.
        CompileCase{u"(\"%d %d\",,*2)", {{u"SNVT_x", u"%s", K::Decimal}, {u"SNVT_x", u" %s", K::Decimal}}},
        // Surplus arguments: Literal items with the text after the last
        // conversion, which the last item then gets once more.
        CompileCase{u"(\"%d km\",a,b)", {{u"a", u"%s", K::Decimal}, {u"b", u" km km", K::Literal}}},
        CompileCase{u"(\"%d\",a,b,c)",
                    {{u"a", u"%s", K::Decimal}, {u"b", u"", K::Literal}, {u"c", u"", K::Literal}}},
        // A trailing ',' is one more, empty, argument.
        CompileCase{u"(\"%d\",a,)", {{u"a", u"%s", K::Decimal}, {u"SNVT_x", u"", K::Literal}}},
        // Fewer arguments than conversions: the next conversion, masked,
        // lands in the last piece.
        CompileCase{u"(\"%d,%d;%d\",a)", {{u"a", u"%s,%s", K::Decimal}}},
        // Escaped percent signs are no conversions.
        CompileCase{u"(\"%d%%\",a)", {{u"a", u"%s%%", K::Decimal}}},
        CompileCase{u"(\"100%%d %d\",a)", {{u"a", u"100%%s %s", K::Decimal}}}));

TEST(CompileTest, ItemNodeKeepsFormatTextAsWritten) {
  CBracketsObject root;
  root.Compile(u"(\"%d/%d\",a,b)", u"SNVT_x");
  EXPECT_EQ(OnlyItems(root).FormatText(), u"%d/%d");
  EXPECT_TRUE(root.FormatText().empty());
}

TEST(CompileTest, ScalingIsReadFromArgument) {
  CBracketsObject root;
  root.Compile(u"(\"%f %f %f\",a*2,b*2-1,c*0.5+-40(3:17))", u"SNVT_x");
  const auto& items = OnlyItems(root).Items();
  ASSERT_EQ(items.size(), 3u);
  EXPECT_FLOAT_EQ(items[0]->Scale(), 2.0f);
  EXPECT_FLOAT_EQ(items[0]->Offset(), 0.0f);
  EXPECT_FLOAT_EQ(items[1]->Scale(), 2.0f);
  EXPECT_FLOAT_EQ(items[1]->Offset(), 0.0f) << "'-' does not fit the pattern";
  EXPECT_FLOAT_EQ(items[2]->Scale(), 0.5f);
  EXPECT_FLOAT_EQ(items[2]->Offset(), -40.0f);
  EXPECT_EQ(items[2]->UnitsScope(), 3);
  EXPECT_EQ(items[2]->UnitsIndex(), 17);
}

TEST(CompileTest, LeadingWhiteSpaceIsSkippedAtEveryLevel) {
  CBracketsObject root;
  root.Compile(u"  \t( \"%d\",a)", u"SNVT_x");
  EXPECT_EQ(ItemsOf(OnlyItems(root)), (std::vector<ItemView>{{u"a", u"%s", K::Decimal}}));
}

TEST(CompileTest, EachTopLevelGroupBecomesChild) {
  CBracketsObject root;
  root.Compile(u"((\"%d\",a)x(\"-\")(\"%d\",b))", u"SNVT_x");
  const CBracketsObject& group = OnlyItems(root);
  EXPECT_EQ(group.Kind(), BracketKind::Group);
  ASSERT_EQ(group.Children().size(), 3u);
  EXPECT_EQ(ItemsOf(*group.Children()[0]), (std::vector<ItemView>{{u"a", u"%s", K::Decimal}}));
  EXPECT_EQ(ItemsOf(*group.Children()[1]), (std::vector<ItemView>{{u"SNVT_x", u"-", K::Literal}}));
  EXPECT_EQ(ItemsOf(*group.Children()[2]), (std::vector<ItemView>{{u"b", u"%s", K::Decimal}}));
}

TEST(CompileTest, ParenthesisInsideQuotesChangesGrouping) {
  CBracketsObject root;
  // The ')' inside the quotes closes the outer group, which then holds an
  // unterminated quote: nothing is shown.
  root.Compile(u"(\"%d)\",a)", u"SNVT_x");
  ASSERT_EQ(root.Children().size(), 1u);
  const CBracketsObject& child = *root.Children()[0];
  EXPECT_EQ(child.Kind(), BracketKind::Group);
  EXPECT_TRUE(child.Items().empty());
  EXPECT_TRUE(child.Children().empty());
}

TEST(CompileTest, TextNotStartingWithParenOrQuoteStaysEmptyGroup) {
  for (std::u16string_view spec : {u"abc", u"", u"   ", u"(abc)", u"(\"unterminated)"}) {
    CBracketsObject root;
    root.Compile(spec, u"SNVT_x");
    EXPECT_EQ(root.Kind(), BracketKind::Group);
    EXPECT_TRUE(root.Items().empty());
    for (const auto& child : root.Children()) {
      EXPECT_EQ(child->Kind(), BracketKind::Group);
      EXPECT_TRUE(child->Items().empty());
      EXPECT_TRUE(child->Children().empty());
    }
  }
}

TEST(CompileTest, UnmatchedOpenParenIsSkipped) {
  CBracketsObject root;
  root.Compile(u"( (\"%d\",a)", u"SNVT_x");
  // The outer '(' has no partner; the scan goes on and finds the group.
  ASSERT_EQ(root.Children().size(), 1u);
  EXPECT_EQ(ItemsOf(*root.Children()[0]), (std::vector<ItemView>{{u"a", u"%s", K::Decimal}}));
}

TEST(CompileTest, ConditionalWithBranchesWithoutTypeName) {
  CBracketsObject root;
  root.Compile(u"((x>=10)?(\"high\"):(\"low\"))", u"SNVT_x");
  const CBracketsObject& conditional = OnlyItems(root);
  ASSERT_EQ(conditional.Kind(), BracketKind::Conditional);
  EXPECT_EQ(conditional.Condition(), u"(x>=10)");
  ASSERT_NE(conditional.ThenBranch(), nullptr);
  ASSERT_NE(conditional.ElseBranch(), nullptr);
  EXPECT_EQ(ItemsOf(OnlyItems(*conditional.ThenBranch())),
            (std::vector<ItemView>{{u"", u"high", K::Literal}}));
  EXPECT_EQ(ItemsOf(OnlyItems(*conditional.ElseBranch())),
            (std::vector<ItemView>{{u"", u"low", K::Literal}}));
}

TEST(CompileTest, ConditionalBranchArgumentWithoutNameHasEmptyName) {
  CBracketsObject root;
  root.Compile(u"((a==1)?(\"%d\",*2):(\"%d\",b))", u"SNVT_x");
  const CBracketsObject& conditional = OnlyItems(root);
  ASSERT_EQ(conditional.Kind(), BracketKind::Conditional);
  EXPECT_EQ(ItemsOf(OnlyItems(*conditional.ThenBranch())),
            (std::vector<ItemView>{{u"", u"%s", K::Decimal}}));
  EXPECT_EQ(ItemsOf(OnlyItems(*conditional.ElseBranch())),
            (std::vector<ItemView>{{u"b", u"%s", K::Decimal}}));
}

TEST(CompileTest, ConditionalWithBlanksAroundSeparators) {
  CBracketsObject root;
  root.Compile(u"((a != 1)  ?  (\"x\")  :  (\"y\") trailing)", u"SNVT_x");
  const CBracketsObject& conditional = OnlyItems(root);
  ASSERT_EQ(conditional.Kind(), BracketKind::Conditional);
  EXPECT_EQ(conditional.Condition(), u"(a != 1)");
}

TEST(CompileTest, ConditionalWithTabAroundSeparatorIsNoConditional) {
  CBracketsObject root;
  // Only blanks are skipped around '?': the text is read as two groups.
  root.Compile(u"((a==1)\t?(\"x\"):(\"y\"))", u"SNVT_x");
  const CBracketsObject& group = OnlyItems(root);
  EXPECT_EQ(group.Kind(), BracketKind::Group);
  EXPECT_EQ(group.Children().size(), 3u);
}

struct SplitCase {
  std::u16string text;
  bool accepted;
  std::u16string condition, then_part, else_part;
};

class SplitConditionalTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitConditionalTest, SplitsOrRefuses) {
  std::u16string condition = u"?", then_part = u"?", else_part = u"?";
  const SplitCase& c = GetParam();
  EXPECT_EQ(SplitConditional(c.text, condition, then_part, else_part), c.accepted);
  if (c.accepted) {
    EXPECT_EQ(condition, c.condition);
    EXPECT_EQ(then_part, c.then_part);
    EXPECT_EQ(else_part, c.else_part);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitConditionalTest,
    ::testing::Values(
        SplitCase{u"(a)?(b):(c)", true, u"(a)", u"(b)", u"(c)"},
        SplitCase{u"  (a) ? (b) : (c) rest", true, u"(a)", u"(b)", u"(c)"},
        SplitCase{u"((a))?((b)):((c))", true, u"((a))", u"((b))", u"((c))"},
        SplitCase{u"(a)?(b)", false, u"", u"", u""},
        SplitCase{u"(a)?(b):", false, u"", u"", u""},
        SplitCase{u"(a)?(b): ", false, u"", u"", u""},
        SplitCase{u"(a) ", false, u"", u"", u""},
        SplitCase{u"(a)?b:(c)", false, u"", u"", u""},
        SplitCase{u"(a?(b):(c)", false, u"", u"", u""},
        SplitCase{u"(a)?(b):(c", false, u"", u"", u""},
        SplitCase{u"a?(b):(c)", false, u"", u"", u""},
        SplitCase{u"", false, u"", u"", u""}));

TEST(CompileConditionalTest, RefusalLeavesNodeUnchanged) {
  CBracketsObject node;
  EXPECT_FALSE(node.CompileConditional(u"(a)?(b)"));
  EXPECT_EQ(node.Kind(), BracketKind::Group);
  EXPECT_TRUE(node.Condition().empty());
  EXPECT_EQ(node.ThenBranch(), nullptr);
  EXPECT_TRUE(node.CompileConditional(u"(a<2)?(\"%d\",v):(\"-\")"));
  EXPECT_EQ(node.Kind(), BracketKind::Conditional);
  EXPECT_EQ(node.Condition(), u"(a<2)");
}

TEST(AddItemTest, SetsKindScalingAndMaskedPiece) {
  CBracketsObject node;
  CFmtStringItem* item = node.AddItem(u"v", u"v*0.5+2(1:9)", u"[%x]", u'x');
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(node.Kind(), BracketKind::Items);
  ASSERT_EQ(node.Items().size(), 1u);
  EXPECT_EQ(node.Items()[0].get(), item);
  EXPECT_EQ(item->Name(), u"v");
  EXPECT_EQ(item->Piece(), u"[%s]");
  EXPECT_EQ(item->Kind(), K::Hex);
  EXPECT_FLOAT_EQ(item->Scale(), 0.5f);
  EXPECT_FLOAT_EQ(item->Offset(), 2.0f);
  EXPECT_EQ(item->UnitsScope(), 1);
  EXPECT_EQ(item->UnitsIndex(), 9);
  item->SetPiece(u"%d\\%");
  EXPECT_EQ(item->Piece(), u"%s%%");
}

TEST(AddItemTest, UnknownLetterIsOtherAndZeroIsLiteral) {
  CBracketsObject node;
  EXPECT_EQ(node.AddItem(u"a", u"", u"%u", u'u')->Kind(), K::Other);
  EXPECT_EQ(node.AddItem(u"a", u"", u"x", 0)->Kind(), K::Literal);
}

struct ScalingCase {
  std::u16string argument;
  float scale, offset;
  std::int32_t scope, index;
};

class ScalingPartTest : public ::testing::TestWithParam<ScalingCase> {};

TEST_P(ScalingPartTest, ReadsUntilFirstMisfit) {
  const ScalingCase& c = GetParam();
  const ScalingPart part = ReadScalingPart(c.argument);
  EXPECT_FLOAT_EQ(part.scale, c.scale);
  EXPECT_FLOAT_EQ(part.offset, c.offset);
  EXPECT_EQ(part.units_scope, c.scope);
  EXPECT_EQ(part.units_index, c.index);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScalingPartTest,
    ::testing::Values(ScalingCase{u"a", 1, 0, 0, 0}, ScalingCase{u"a*0.1", 0.1f, 0, 0, 0},
                      ScalingCase{u"a*1+-40", 1, -40, 0, 0}, ScalingCase{u"*1+0(0:3)", 1, 0, 0, 3},
                      ScalingCase{u"a*2-1", 2, 0, 0, 0}, ScalingCase{u"a*abc", 1, 0, 0, 0},
                      ScalingCase{u"a*1e2+.5", 100, 0.5f, 0, 0},
                      ScalingCase{u"a*+3+ 4", 3, 4, 0, 0},  // scanf skips blanks before a number
                      ScalingCase{u"a*2*3", 3, 0, 0, 0},    // the last '*' counts
                      ScalingCase{u"a*1+0(2)", 1, 0, 2, 0},
                      ScalingCase{u"a*1+0(-1:99999999999)", 1, 0, -1, 2147483647},
                      ScalingCase{u"a*--2", 1, 0, 0, 0}));

TEST(ScalingPartTest, OutOfRangeFloatsSaturate) {
  EXPECT_EQ(ReadScalingPart(u"*1e999").scale, std::numeric_limits<float>::infinity());
  EXPECT_EQ(ReadScalingPart(u"*-1e999").scale, -std::numeric_limits<float>::infinity());
  EXPECT_EQ(ReadScalingPart(u"*1e-999").scale, 0.0f);
  EXPECT_EQ(ReadScalingPart(u"*0.0000000000000000000000000000000000000000000000000001").scale, 0.0f);
  EXPECT_TRUE(std::isnan(ReadScalingPart(u"*nan").scale));
}

TEST(AlternateFmtTest, KeepsMeasurementSystemAndDefaultFlag) {
  CAlternateFmt alternative(u"SI", true);
  EXPECT_EQ(alternative.MeasurementSystem(), u"SI");
  EXPECT_TRUE(alternative.IsDefault());
  EXPECT_EQ(alternative.Kind(), BracketKind::Group);
  EXPECT_TRUE(alternative.Children().empty());
}

}  // namespace
}  // namespace vornfmt
