// Format files are written by device makers and can be wrong in every way:
// none of this may crash, hang or grow without bound.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "format/brackets_object.h"
#include "format/fmt_file.h"
#include "format/fmt_splitter.h"

namespace vornfmt {
namespace {

// The depth, item count and characters stored (names and pieces) of a tree.
struct Size {
  int depth = 0;
  std::size_t items = 0, characters = 0;
};

Size SizeOf(const CBracketsObject& node) {
  Size size;
  for (const auto& item : node.Items()) size.characters += item->Name().size() + item->Piece().size();
  size.items = node.Items().size();
  std::vector<const CBracketsObject*> below{node.ThenBranch(), node.ElseBranch()};
  for (const auto& child : node.Children()) below.push_back(child.get());
  for (const CBracketsObject* child : below) {
    if (!child) continue;
    const Size inner = SizeOf(*child);
    size.depth = std::max(size.depth, inner.depth);
    size.items += inner.items;
    size.characters += inner.characters;
  }
  ++size.depth;
  return size;
}

Size Compiled(const std::u16string& spec, const std::u16string& type = u"SNVT_x") {
  CBracketsObject root;
  root.Compile(spec, type);
  return SizeOf(root);
}

std::u16string Repeat(std::u16string_view part, std::size_t times) {
  std::u16string out;
  out.reserve(part.size() * times);
  for (std::size_t i = 0; i < times; ++i) out.append(part);
  return out;
}

TEST(FormatRobustnessTest, NestingIsCutAtBound) {
  for (std::size_t levels : {std::size_t{kMaxFormatNesting}, std::size_t{kMaxFormatNesting} + 1, std::size_t{100000}}) {
    const Size size = Compiled(Repeat(u"(", levels) + u"\"%d\"" + Repeat(u")", levels));
    EXPECT_EQ(size.items, levels <= kMaxFormatNesting ? 1u : 0u) << levels << " levels";
    if (levels > kMaxFormatNesting) {
      EXPECT_EQ(size.depth, kMaxFormatNesting + 2) << levels << " levels";
    }
  }
  const std::size_t levels = 20000;  // conditionals
  EXPECT_EQ(Compiled(Repeat(u"((a==1)?(", levels) + u"\"x\"" + Repeat(u"):(\"y\"))", levels)).depth,
            kMaxFormatNesting + 2);
}

TEST(FormatRobustnessTest, MegabyteOfUnbalancedParenthesesIsLinear) {
  // A quadratic scan would not finish within the test timeout.
  for (std::u16string_view part : {u"(", u")", u"()", u"(\"", u"((a)?(", u")?(", u"\"%d\","}) {
    std::u16string format(1, u'(');  // appended, not prefixed: GCC 12 -O3 warns falsely on u"(" + string
    format += Repeat(part, (1u << 20) / part.size());
    EXPECT_LE(Compiled(format).depth, kMaxFormatNesting + 2);
  }
}

// Surplus arguments with a long tail, many unnamed arguments with a long
// type name: what is stored stays bounded; short pieces are all kept.
TEST(FormatRobustnessTest, ManyArgumentsStayBounded) {
  const std::u16string tail = Repeat(u"x", 100000);
  const std::u16string surplus = u"(\"%d" + tail + u"\",a" + Repeat(u",b", 50000) + u")";
  const Size tailed = Compiled(surplus);
  EXPECT_LE(tailed.characters, 4 * (surplus.size() + 6) + 64 * 1024 + 2 * tail.size());
  EXPECT_GE(tailed.items, 2u) << "the first surplus arguments still fit";
  const std::u16string type_name = u"SNVT_" + Repeat(u"n", 200000);
  const std::u16string unnamed = u"(\"%d\"" + Repeat(u",", 100000) + u")";
  EXPECT_LE(Compiled(unnamed, type_name).characters, 4 * (unnamed.size() + type_name.size()) + 64 * 1024);
  EXPECT_EQ(Compiled(u"(\"" + Repeat(u"%d,", 20000) + u"\"" + Repeat(u",v", 20000) + u")").items, 20000u);
}

// A two-megabyte entry, and entries of every byte value.
TEST(FormatRobustnessTest, HugeAndBinaryEntriesLoad) {
  CFmtFile file(u"big.fmt");
  std::string entry = "SNVT_big:text(\"%d";
  entry.append(2u << 20, 'a');
  file.LoadEntry(entry + "\",v)");
  const CFmtObject* object = file.FindObject(u"SNVT_big");
  ASSERT_NE(object, nullptr);
  ASSERT_EQ(object->Alternatives().size(), 1u);
  const auto& items = object->Alternatives()[0]->Children()[0]->Items();
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0]->Piece().size(), 2u + (2u << 20));
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  file.LoadEntry("SNVT_b" + all + ":text(\"" + all + "\"," + all + ")");
  file.LoadEntry(all);
  file.LoadEntry("SNVT_c:text(" + all + all + ")");
  EXPECT_GT(file.NvtCount(), 1u);
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
