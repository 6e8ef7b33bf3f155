#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <tuple>
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

using ItemView = std::tuple<std::u16string, std::u16string, ConversionKind>;  // name, piece, kind
using K = ConversionKind;

std::vector<ItemView> ItemsOf(const CBracketsObject& node) {
  std::vector<ItemView> out;
  for (const auto& item : node.Items()) out.emplace_back(item->Name(), item->Piece(), item->Kind());
  return out;
}

// The text after the last conversion is joined to the last piece, and the
// joined text is masked again when stored: for "\%d%d" the first masking
// gives "%%d%s"; masking that again turns the 'd' after "%%" into 's', so
// the value shows after a literal "%s", not after "%d".
TEST(CompileTest, AJoinedPieceIsMaskedAgain) {
  CBracketsObject root;
  root.Compile(u"(\"\\%d%d\",)", u"SNVT_count");
  const std::vector<ItemView> items = ItemsOf(OnlyItems(root));
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(std::tie(std::get<0>(items[0]), std::get<1>(items[0])), std::tuple(u"SNVT_count", u"%%s%s"));
}

TEST(CompileTest, CompilesItemsWithMaskedPieces) {
  const std::pair<std::u16string, std::vector<ItemView>> cases[] = {
      // Whole value, no argument list: one item named after the type.
      {u"(\"%d\")", {{u"SNVT_x", u"%s", K::Decimal}}},
      {u"(\"%f\",*0.1+0)", {{u"SNVT_x", u"%s", K::Float}}},
      // No ',' in the argument list: the whole format text is the piece,
      // and nothing is appended to it.
      {u"(\"%d km\")", {{u"SNVT_x", u"%s km", K::Decimal}}},
      {u"(\"off\")", {{u"SNVT_x", u"off", K::Literal}}},
      {u"(\"%5.2f\")", {{u"SNVT_x", u"%5.2f", K::Literal}}},
      // Pieces per argument, literal text after the last conversion
      // going with the last item.
      {u"(\"%d/%d\",a,b)", {{u"a", u"%s", K::Decimal}, {u"b", u"/%s", K::Decimal}}},
      {u"(\"%d km\",a)", {{u"a", u"%s km", K::Decimal}}},
      {u"(\"%m: %x h\",mode,code)", {{u"mode", u"%s", K::EnumName}, {u"code", u": %s h", K::Hex}}},
      {u"(\"%c%s\",a,b)", {{u"a", u"%s", K::Char}, {u"b", u"%s", K::String}}},
      // Blanks in the argument list are removed, also inside names.
      {u"(\"%d\" , my field )", {{u"myfield", u"%s", K::Decimal}}},
      // The text before the first ',' is ignored.
      {u"(\"%d\"junk,a)", {{u"a", u"%s", K::Decimal}}},
      // An empty name, or one empty before its '*', is the type name.
      {u"(\"%d %d\",,*2)", {{u"SNVT_x", u"%s", K::Decimal}, {u"SNVT_x", u" %s", K::Decimal}}},
      // Surplus arguments: Literal items with the text after the last
      // conversion, which the last item then gets once more.
      {u"(\"%d km\",a,b)", {{u"a", u"%s", K::Decimal}, {u"b", u" km km", K::Literal}}},
      // A trailing ',' is one more, empty, argument.
      {u"(\"%d\",a,)", {{u"a", u"%s", K::Decimal}, {u"SNVT_x", u"", K::Literal}}},
      // Fewer arguments than conversions: the next conversion, masked,
      // lands in the last piece.
      {u"(\"%d,%d;%d\",a)", {{u"a", u"%s,%s", K::Decimal}}},
      // Escaped percent signs are no conversions.
      {u"(\"%d%%\",a)", {{u"a", u"%s%%", K::Decimal}}},
      {u"(\"100%%d %d\",a)", {{u"a", u"100%%s %s", K::Decimal}}},
      // Leading white space is skipped at every level; an unmatched '(' is
      // skipped and the scan goes on.
      {u"  \t( \"%d\",a)", {{u"a", u"%s", K::Decimal}}},
      {u"( (\"%d\",a)", {{u"a", u"%s", K::Decimal}}},
  };
  for (const auto& [specification, expected] : cases) {
    SCOPED_TRACE(::testing::PrintToString(specification));
    CBracketsObject root;
    root.Compile(specification, u"SNVT_x");
    const CBracketsObject& items = OnlyItems(root);
    EXPECT_EQ(items.Kind(), BracketKind::Items);
    EXPECT_EQ(ItemsOf(items), expected);
  }
}

TEST(CompileTest, ScalingIsReadFromEachArgument) {
  CBracketsObject root;
  root.Compile(u"(\"%f %f\",a*2,c*0.5+-40(3:17))", u"SNVT_x");
  const auto& items = OnlyItems(root).Items();
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(std::tuple(items[0]->Scale(), items[1]->Scale(), items[1]->UnitsIndex()), std::tuple(2.0f, 0.5f, 17));
}

// Only blanks are skipped around '?': with a tab the text is read as groups.
TEST(CompileTest, EachTopLevelGroupBecomesChild) {
  CBracketsObject root, tab;
  root.Compile(u"((\"%d\",a)x(\"-\")(\"%d\",b))", u"SNVT_x");
  const CBracketsObject& group = OnlyItems(root);
  EXPECT_EQ(group.Kind(), BracketKind::Group);
  ASSERT_EQ(group.Children().size(), 3u);
  EXPECT_EQ(ItemsOf(*group.Children()[0]), (std::vector<ItemView>{{u"a", u"%s", K::Decimal}}));
  EXPECT_EQ(ItemsOf(*group.Children()[1]), (std::vector<ItemView>{{u"SNVT_x", u"-", K::Literal}}));
  EXPECT_EQ(ItemsOf(*group.Children()[2]), (std::vector<ItemView>{{u"b", u"%s", K::Decimal}}));
  tab.Compile(u"((a==1)\t?(\"x\"):(\"y\"))", u"SNVT_x");
  EXPECT_EQ(OnlyItems(tab).Kind(), BracketKind::Group);
  EXPECT_EQ(OnlyItems(tab).Children().size(), 3u);
}

// Nothing is shown. In "(\"%d)\",a)" the ')' inside the quotes closes the
// outer group, which then holds an unterminated quote.
TEST(CompileTest, TextNotStartingWithParenOrQuoteStaysEmptyGroup) {
  for (std::u16string_view spec : {u"abc", u"", u"   ", u"(abc)", u"(\"unterminated)", u"(\"%d)\",a)"}) {
    SCOPED_TRACE(::testing::PrintToString(std::u16string(spec)));
    CBracketsObject root;
    root.Compile(spec, u"SNVT_x");
    EXPECT_EQ(root.Kind(), BracketKind::Group);
    EXPECT_TRUE(root.Items().empty());
    EXPECT_LE(root.Children().size(), 1u);
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
  ASSERT_TRUE(conditional.ThenBranch() && conditional.ElseBranch());
  EXPECT_EQ(ItemsOf(OnlyItems(*conditional.ThenBranch())), (std::vector<ItemView>{{u"", u"high", K::Literal}}));
  EXPECT_EQ(ItemsOf(OnlyItems(*conditional.ElseBranch())), (std::vector<ItemView>{{u"", u"%s", K::Decimal}}));
}

// Incomplete parts are refused (no condition given).
TEST(SplitConditionalTest, SplitsIntoThreeParts) {
  const std::array<std::u16string, 4> cases[] = {{u"(a)?(b):(c)", u"(a)", u"(b)", u"(c)"},  // text and parts
               {u"  (a) ? (b) : (c) rest", u"(a)", u"(b)", u"(c)"},
               {u"((a))?((b)):((c))", u"((a))", u"((b))", u"((c))"},
               {u"(a)?(b)"}, {u"(a)?(b): "}, {u"(a) "}, {u"(a)?b:(c)"}, {u"(a?(b):(c)"}, {u"(a)?(b):(c"},
               {u"a?(b):(c)"}, {u""}};
  for (const auto& c : cases) {
    std::array<std::u16string, 4> parts{c[0]};
    EXPECT_EQ(SplitConditional(c[0], parts[1], parts[2], parts[3]), !c[1].empty()) << ::testing::PrintToString(c[0]);
    EXPECT_EQ(c[1].empty() ? c : parts, c);  // the parts, when split
  }
}

TEST(CompileConditionalTest, RefusalLeavesNodeUnchanged) {
  CBracketsObject node;
  EXPECT_FALSE(node.CompileConditional(u"(a)?(b)"));
  EXPECT_EQ(std::tuple(node.Kind(), node.Condition(), node.ThenBranch()), std::tuple(BracketKind::Group, u"", nullptr));
  EXPECT_TRUE(node.CompileConditional(u"(a<2)?(\"%d\",v):(\"-\")"));
  EXPECT_EQ(std::tuple(node.Kind(), node.Condition()), std::tuple(BracketKind::Conditional, u"(a<2)"));
}

TEST(AddItemTest, SetsKindScalingAndMaskedPiece) {
  CBracketsObject node;
  CFmtStringItem* item = node.AddItem(u"v", u"v*0.5+2(1:9)", u"[%x]", u'x');
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(node.Kind(), BracketKind::Items);
  ASSERT_EQ(node.Items().size(), 1u);
  EXPECT_EQ(node.Items()[0].get(), item);
  EXPECT_EQ(ItemsOf(node), std::vector<ItemView>({{u"v", u"[%s]", K::Hex}}));
  EXPECT_EQ(std::tuple(item->Scale(), item->Offset(), item->UnitsScope(), item->UnitsIndex()),
            std::tuple(0.5f, 2.0f, 1, 9));
  item->SetPiece(u"%d\\%");
  EXPECT_EQ(item->Piece(), u"%s%%");
  EXPECT_EQ(node.AddItem(u"a", u"", u"%u", u'u')->Kind(), K::Other);  // an unknown letter
  EXPECT_EQ(node.AddItem(u"a", u"", u"x", 0)->Kind(), K::Literal);
}

// Out-of-range floats saturate.
TEST(ScalingPartTest, ReadsUntilFirstMisfit) {
  const struct {
    std::u16string argument;
    float scale, offset;
    std::int32_t scope, index;
  } rows[] = {
      {u"a", 1, 0, 0, 0}, {u"a*0.1", 0.1f, 0, 0, 0}, {u"a*1+-40", 1, -40, 0, 0}, {u"*1+0(0:3)", 1, 0, 0, 3},
      {u"a*2-1", 2, 0, 0, 0}, {u"a*abc", 1, 0, 0, 0}, {u"a*1e2+.5", 100, 0.5f, 0, 0},
      {u"a*+3+ 4", 3, 4, 0, 0},  // scanf skips blanks before a number
      {u"a*2*3", 3, 0, 0, 0},    // the last '*' counts
      {u"a*1+0(2)", 1, 0, 2, 0}, {u"a*1+0(-1:99999999999)", 1, 0, -1, 2147483647}, {u"a*--2", 1, 0, 0, 0},
      // Reference numbers saturate at the 32-bit limits, and only past them.
      {u"a*1+0(-2147483647:2147483647)", 1, 0, -2147483647, 2147483647},
      {u"a*1+0(-2147483648:2147483648)", 1, 0, INT32_MIN, INT32_MAX},
      {u"a*1+0(-2147483649:-99999999999)", 1, 0, INT32_MIN, INT32_MIN},
      {u"*1e999", INFINITY, 0, 0, 0}, {u"*-1e999", -INFINITY, 0, 0, 0}, {u"*1e-999", 0, 0, 0, 0},
      {u"*0.0000000000000000000000000000000000000000000000000001", 0, 0, 0, 0},
  };
  for (const auto& c : rows) {
    SCOPED_TRACE(::testing::PrintToString(c.argument));
    const ScalingPart part = ReadScalingPart(c.argument);
    EXPECT_EQ(std::tie(part.scale, part.offset, part.units_scope, part.units_index),
              std::tie(c.scale, c.offset, c.scope, c.index));
  }
  EXPECT_TRUE(std::isnan(ReadScalingPart(u"*nan").scale));
}

}  // namespace
}  // namespace vornfmt
