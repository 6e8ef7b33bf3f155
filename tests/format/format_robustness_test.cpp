// Format files are written by device makers and can be wrong in every way:
// none of this may crash, hang or grow without bound.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "format/brackets_object.h"
#include "format/fmt_file.h"
#include "format/fmt_splitter.h"

namespace vornfmt {
namespace {

int Depth(const CBracketsObject& node) {
  int deepest = 0;
  for (const auto& child : node.Children()) deepest = std::max(deepest, Depth(*child));
  if (node.ThenBranch()) deepest = std::max(deepest, Depth(*node.ThenBranch()));
  if (node.ElseBranch()) deepest = std::max(deepest, Depth(*node.ElseBranch()));
  return deepest + 1;
}

std::size_t StoredCharacters(const CBracketsObject& node) {
  std::size_t total = 0;
  for (const auto& item : node.Items()) total += item->Name().size() + item->Piece().size();
  for (const auto& child : node.Children()) total += StoredCharacters(*child);
  if (node.ThenBranch()) total += StoredCharacters(*node.ThenBranch());
  if (node.ElseBranch()) total += StoredCharacters(*node.ElseBranch());
  return total;
}

std::size_t ItemCount(const CBracketsObject& node) {
  std::size_t total = node.Items().size();
  for (const auto& child : node.Children()) total += ItemCount(*child);
  if (node.ThenBranch()) total += ItemCount(*node.ThenBranch());
  if (node.ElseBranch()) total += ItemCount(*node.ElseBranch());
  return total;
}

std::u16string Repeat(std::u16string_view part, std::size_t times) {
  std::u16string out;
  out.reserve(part.size() * times);
  for (std::size_t i = 0; i < times; ++i) out.append(part);
  return out;
}

TEST(FormatRobustnessTest, GroupNestingIsCutAtBound) {
  for (std::size_t levels : {std::size_t{kMaxFormatNesting}, std::size_t{kMaxFormatNesting} + 1, std::size_t{100000}}) {
    const std::u16string spec = Repeat(u"(", levels) + u"\"%d\"" + Repeat(u")", levels);
    CBracketsObject root;
    root.Compile(spec, u"SNVT_x");
    EXPECT_EQ(ItemCount(root), levels <= kMaxFormatNesting ? 1u : 0u) << levels << " levels";
    if (levels > kMaxFormatNesting) {
      EXPECT_EQ(Depth(root), kMaxFormatNesting + 2) << levels << " levels";
    }
  }
}

TEST(FormatRobustnessTest, DeepConditionalNestingIsCutAtBound) {
  std::u16string spec;
  const std::size_t levels = 20000;
  for (std::size_t i = 0; i < levels; ++i) spec += u"((a==1)?(";
  spec += u"\"x\"";
  for (std::size_t i = 0; i < levels; ++i) spec += u"):(\"y\"))";
  CBracketsObject root;
  root.Compile(spec, u"SNVT_x");
  EXPECT_EQ(Depth(root), kMaxFormatNesting + 2);
}

TEST(FormatRobustnessTest, MegabyteOfUnbalancedParenthesesIsLinear) {
  // A quadratic scan would not finish within the test timeout.
  for (std::u16string_view part : {u"(", u")", u"()", u"(\"", u"((a)?(", u")?(", u"\"%d\","}) {
    std::u16string spec(1, u'(');
    spec += Repeat(part, (1u << 20) / part.size());
    CBracketsObject root;
    root.Compile(spec, u"SNVT_x");
    EXPECT_LE(Depth(root), kMaxFormatNesting + 2);
  }
}

TEST(FormatRobustnessTest, SurplusArgumentsWithLongTailStayBounded) {
  const std::u16string tail = Repeat(u"x", 100000);
  const std::u16string spec = u"(\"%d" + tail + u"\",a" + Repeat(u",b", 50000) + u")";
  CBracketsObject root;
  root.Compile(spec, u"SNVT_x");
  const std::size_t limit = 4 * (spec.size() + 6) + 64 * 1024 + 2 * tail.size();
  EXPECT_LE(StoredCharacters(root), limit);
  EXPECT_GE(ItemCount(root), 2u) << "the first surplus arguments still fit";
}

TEST(FormatRobustnessTest, ManyUnnamedArgumentsWithLongTypeNameStayBounded) {
  const std::u16string type_name = u"SNVT_" + Repeat(u"n", 200000);
  const std::u16string spec = u"(\"%d\"" + Repeat(u",", 100000) + u")";
  CBracketsObject root;
  root.Compile(spec, type_name);
  EXPECT_LE(StoredCharacters(root), 4 * (spec.size() + type_name.size()) + 64 * 1024);
}

TEST(FormatRobustnessTest, ManyArgumentsWithShortPiecesAreAllKept) {
  const std::u16string spec = u"(\"" + Repeat(u"%d,", 20000) + u"\"" + Repeat(u",v", 20000) + u")";
  CBracketsObject root;
  root.Compile(spec, u"SNVT_x");
  EXPECT_EQ(ItemCount(root), 20000u);
}

TEST(FormatRobustnessTest, MegabyteEntryLoads) {
  CFmtFile file(u"big.fmt");
  std::string entry = "SNVT_big:text(\"%d";
  entry.append(2u << 20, 'a');
  entry += "\",v)";
  file.LoadEntry(entry);
  const CFmtObject* object = file.FindObject(u"SNVT_big");
  ASSERT_NE(object, nullptr);
  ASSERT_EQ(object->Alternatives().size(), 1u);
  const auto& items = object->Alternatives()[0]->Children()[0]->Items();
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0]->Piece().size(), 2u + (2u << 20));
}

TEST(FormatRobustnessTest, EveryByteValueLoads) {
  CFmtFile file(u"bytes.fmt");
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  file.LoadEntry("SNVT_b" + all + ":text(\"" + all + "\"," + all + ")");
  file.LoadEntry(all);
  file.LoadEntry("SNVT_c:text(" + all + all + ")");
  EXPECT_GT(file.NvtCount(), 0u);
}

TEST(FormatRobustnessTest, SplitterOverLongInputIsLinear) {
  const std::u16string format = Repeat(u"%d,", 50000);
  const std::u16string input = Repeat(u"12,", 50000);
  CFmt scanner(format, input);
  char16_t letter = 0;
  std::u16string conversion, field;
  std::int32_t mismatch = 0;
  int fields = 0;
  while (scanner.NextInputField(letter, conversion, field, mismatch) == 1) {
    ASSERT_EQ(mismatch, 0);
    ASSERT_EQ(field, u"12");
    ++fields;
  }
  EXPECT_EQ(fields, 50000);
  EXPECT_TRUE(scanner.Input().empty());
}

}  // namespace
}  // namespace vornfmt
