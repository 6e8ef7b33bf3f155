#include "format/cmy_string.h"

#include <gtest/gtest.h>

#include <string>

namespace vornfmt {
namespace {

struct ParenCase {
  std::u16string text;
  std::ptrdiff_t index;
  std::ptrdiff_t expected;
};

TEST(FindMatchingParenTest, AnswersPartnerOrMinusOne) {
  const ParenCase rows[] = {
      {u"(a)", 0, 2}, {u"((a)b)", 0, 5}, {u"((a)b)", 1, 3},
      // Not a '(' at the index, index outside, text ends first.
      {u"x(a)", 0, -1}, {u"(a)", -1, -1}, {u"(a)", 3, -1}, {u"((a)", 0, -1},
      // Parentheses inside quotes count like all others.
      {u"(\")\")", 0, 2},
  };
  for (const ParenCase& c : rows) {
    SCOPED_TRACE(&c - rows);
    EXPECT_EQ(FindMatchingParen(c.text, c.index), c.expected);
    EXPECT_EQ(CMyString(c.text).FindMatchingParen(c.index), c.expected);
  }
}

TEST(BetweenTest, TakesTextAfterFirstOpenAndBeforeLastClose) {
  EXPECT_EQ(Between(u"text(\"%f\",(a))", u'(', u')'), u"\"%f\",(a)");
  EXPECT_EQ(Between(u"abc)", u'(', u')'), u"abc");      // no open: from the start
  EXPECT_EQ(Between(u"x(abc", u'(', u')'), u"abc");     // no close: to the end
  EXPECT_EQ(Between(u"plain", u'(', u')'), u"plain");   // neither
  EXPECT_EQ(Between(u")x(", u'(', u')'), u"");          // close before open
  EXPECT_EQ(Between(u"()", u'(', u')'), u"");
  EXPECT_EQ(CMyString(u"a(b)c").Between(u'(', u')'), u"b");
}

TEST(HeadTest, TakesTextBeforeFirstCharacter) {
  EXPECT_EQ(Head(u"a*2*3", u'*'), u"a");
  EXPECT_EQ(Head(u"*0.1", u'*'), u"");
  EXPECT_EQ(Head(u"name", u'*'), u"name");
  EXPECT_EQ(CMyString(u"key#SI").Head(u'#'), u"key");
}

TEST(TrimLeftTest, RemovesLeadingWhiteSpaceOnly) {
  EXPECT_EQ(TrimLeft(u" \t\r\n\v\fa b "), u"a b ");
  EXPECT_EQ(TrimLeft(u"   "), u"");
}

}  // namespace
}  // namespace vornfmt
