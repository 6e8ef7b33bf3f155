#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

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
        // A trailing ',' is one more, empty, argument.
        CompileCase{u"(\"%d\",a,)", {{u"a", u"%s", K::Decimal}, {u"SNVT_x", u"", K::Literal}}},
        // Fewer arguments than conversions: the next conversion, masked,
        // lands in the last piece.
        CompileCase{u"(\"%d,%d;%d\",a)", {{u"a", u"%s,%s", K::Decimal}}},
        // Escaped percent signs are no conversions.
        CompileCase{u"(\"%d%%\",a)", {{u"a", u"%s%%", K::Decimal}}},
        CompileCase{u"(\"100%%d %d\",a)", {{u"a", u"100%%s %s", K::Decimal}}},
        // Leading white space is skipped at every level; an unmatched '(' is
        // skipped and the scan goes on.
        CompileCase{u"  \t( \"%d\",a)", {{u"a", u"%s", K::Decimal}}},
        CompileCase{u"( (\"%d\",a)", {{u"a", u"%s", K::Decimal}}}));

TEST(CompileTest, ScalingIsReadFromEachArgument) {
  CBracketsObject root;
  root.Compile(u"(\"%f %f\",a*2,c*0.5+-40(3:17))", u"SNVT_x");
  const auto& items = OnlyItems(root).Items();
  ASSERT_EQ(items.size(), 2u);
  EXPECT_FLOAT_EQ(items[0]->Scale(), 2.0f);
  EXPECT_FLOAT_EQ(items[1]->Scale(), 0.5f);
  EXPECT_EQ(items[1]->UnitsIndex(), 17);
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

// Branch items get no type name: unnamed ones stay empty. Blanks around
// '?' and ':' and text after the else branch are allowed.
TEST(CompileTest, ConditionalBranchesHaveNoTypeName) {
  CBracketsObject root;
  root.Compile(u"((a != 1)  ?  (\"high\")  :  (\"%d\",*2) trailing)", u"SNVT_x");
  const CBracketsObject& conditional = OnlyItems(root);
  ASSERT_EQ(conditional.Kind(), BracketKind::Conditional);
  EXPECT_EQ(conditional.Condition(), u"(a != 1)");
  ASSERT_NE(conditional.ThenBranch(), nullptr);
  ASSERT_NE(conditional.ElseBranch(), nullptr);
  EXPECT_EQ(ItemsOf(OnlyItems(*conditional.ThenBranch())), (std::vector<ItemView>{{u"", u"high", K::Literal}}));
  EXPECT_EQ(ItemsOf(OnlyItems(*conditional.ElseBranch())), (std::vector<ItemView>{{u"", u"%s", K::Decimal}}));
}

TEST(CompileTest, ConditionalWithTabAroundSeparatorIsNoConditional) {
  CBracketsObject root;
  // Only blanks are skipped around '?': the text is read as two groups.
  root.Compile(u"((a==1)\t?(\"x\"):(\"y\"))", u"SNVT_x");
  const CBracketsObject& group = OnlyItems(root);
  EXPECT_EQ(group.Kind(), BracketKind::Group);
  EXPECT_EQ(group.Children().size(), 3u);
}

TEST(SplitConditionalTest, SplitsIntoThreeParts) {
  const struct {
    std::u16string text, condition, then_part, else_part;
  } cases[] = {{u"(a)?(b):(c)", u"(a)", u"(b)", u"(c)"},
               {u"  (a) ? (b) : (c) rest", u"(a)", u"(b)", u"(c)"},
               {u"((a))?((b)):((c))", u"((a))", u"((b))", u"((c))"}};
  for (const auto& c : cases) {
    std::u16string condition, then_part, else_part;
    ASSERT_TRUE(SplitConditional(c.text, condition, then_part, else_part)) << ::testing::PrintToString(c.text);
    EXPECT_EQ(condition, c.condition);
    EXPECT_EQ(then_part, c.then_part);
    EXPECT_EQ(else_part, c.else_part);
  }
}

TEST(SplitConditionalTest, RefusesIncompleteParts) {
  for (std::u16string_view text : {u"(a)?(b)", u"(a)?(b): ", u"(a) ", u"(a)?b:(c)", u"(a?(b):(c)", u"(a)?(b):(c",
                                   u"a?(b):(c)", u""}) {
    std::u16string condition, then_part, else_part;
    EXPECT_FALSE(SplitConditional(text, condition, then_part, else_part)) << ::testing::PrintToString(text);
  }
}

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

TEST(ScalingPartTest, ReadsUntilFirstMisfit) {
  const ScalingCase rows[] = {
      {u"a", 1, 0, 0, 0}, {u"a*0.1", 0.1f, 0, 0, 0}, {u"a*1+-40", 1, -40, 0, 0}, {u"*1+0(0:3)", 1, 0, 0, 3},
      {u"a*2-1", 2, 0, 0, 0}, {u"a*abc", 1, 0, 0, 0}, {u"a*1e2+.5", 100, 0.5f, 0, 0},
      {u"a*+3+ 4", 3, 4, 0, 0},  // scanf skips blanks before a number
      {u"a*2*3", 3, 0, 0, 0},    // the last '*' counts
      {u"a*1+0(2)", 1, 0, 2, 0}, {u"a*1+0(-1:99999999999)", 1, 0, -1, 2147483647}, {u"a*--2", 1, 0, 0, 0},
  };
  for (const ScalingCase& c : rows) {
    SCOPED_TRACE(&c - rows);
    const ScalingPart part = ReadScalingPart(c.argument);
    EXPECT_FLOAT_EQ(part.scale, c.scale);
    EXPECT_FLOAT_EQ(part.offset, c.offset);
    EXPECT_EQ(part.units_scope, c.scope);
    EXPECT_EQ(part.units_index, c.index);
  }
}

TEST(ScalingPartTest, OutOfRangeFloatsSaturate) {
  EXPECT_EQ(ReadScalingPart(u"*1e999").scale, std::numeric_limits<float>::infinity());
  EXPECT_EQ(ReadScalingPart(u"*-1e999").scale, -std::numeric_limits<float>::infinity());
  EXPECT_EQ(ReadScalingPart(u"*1e-999").scale, 0.0f);
  EXPECT_EQ(ReadScalingPart(u"*0.0000000000000000000000000000000000000000000000000001").scale, 0.0f);
  EXPECT_TRUE(std::isnan(ReadScalingPart(u"*nan").scale));
}

}  // namespace
}  // namespace vornfmt
