#include "format/fmt_splitter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format/mask_conversions.h"

namespace vornfmt {
namespace {

std::u16string Masked(std::u16string text) {
  MaskConversions(text);
  return text;
}

struct MaskCase {
  std::u16string text;
  std::u16string masked;
};

class MaskConversionsTest : public ::testing::TestWithParam<MaskCase> {};

TEST_P(MaskConversionsTest, MasksBareConversionsAndFoldsEscapes) {
  EXPECT_EQ(Masked(GetParam().text), GetParam().masked);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MaskConversionsTest,
    ::testing::Values(
        MaskCase{u"%d %f %c %m %x %s", u"%s %s %s %s %s %s"},
        MaskCase{u"%u %5.2f %-3d", u"%u %5.2f %-3d"},  // not bare: unchanged
        MaskCase{u"%%d", u"%%s"},                       // the second '%' is handled too
        MaskCase{u"100%%d", u"100%%s"},
        MaskCase{u"\\%d", u"%%d"},       // escaped: letter kept, then "\%" folds to "%%"
        MaskCase{u"a\\\"b", u"a\"b"},     // backslash before a quote folds
        MaskCase{u"a\\\\b", u"a\\b"},     // doubled backslash folds
        MaskCase{u"%d%", u"%s%"},         // a '%' at the end is left alone
        MaskCase{u"", u""}));

TEST(MaskConversionsTest, RecordsOriginsWhenFoldingShortens) {
  std::u16string text = u"a\\\\b%d";  // a \\ b %d
  std::vector<std::size_t> origin;
  MaskConversions(text, origin);
  EXPECT_EQ(text, u"a\\b%s");
  EXPECT_EQ(origin, (std::vector<std::size_t>{0, 1, 3, 4, 5}));
}

TEST(MaskConversionsTest, BackslashBeforePercentFoldsBeforeDoubledBackslash) {
  // "\\%d": the '%' is preceded by a backslash, so 'd' stays; "\%" folds
  // first, leaving one backslash and "%%d".
  EXPECT_EQ(Masked(u"a\\\\%d"), u"a\\%%d");
}

TEST(MaskConversionsTest, KeepsOriginsEmptyWhenLengthUnchanged) {
  std::u16string text = u"\\%d and %f";
  std::vector<std::size_t> origin{7};
  MaskConversions(text, origin);
  EXPECT_EQ(text, u"%%d and %s");
  EXPECT_TRUE(origin.empty());
}

struct Piece {
  int answer;
  char16_t letter;
  std::u16string piece;
  bool operator==(const Piece&) const = default;
};

void PrintTo(const Piece& p, std::ostream* os) {
  *os << "{" << p.answer << ", " << static_cast<int>(p.letter) << ", "
      << ::testing::PrintToString(p.piece) << "}";
}

std::vector<Piece> Pieces(std::u16string_view format, int calls) {
  CFmt splitter(format);
  std::vector<Piece> out;
  for (int i = 0; i < calls; ++i) {
    Piece p{};
    p.answer = splitter.NextPiece(p.letter, p.piece);
    out.push_back(p);
  }
  return out;
}

TEST(NextPieceTest, CutsAfterConversionThenRepeatsRestForever) {
  EXPECT_EQ(Pieces(u"%d km", 3),
            (std::vector<Piece>{{1, u'd', u"%d"}, {0, 0, u" km"}, {0, 0, u" km"}}));
}

TEST(NextPieceTest, GivesLetterAsWrittenNotMasked) {
  EXPECT_EQ(Pieces(u"a%xb%mc", 3),
            (std::vector<Piece>{{1, u'x', u"a%x"}, {1, u'm', u"b%m"}, {0, 0, u"c"}}));
}

TEST(NextPieceTest, WidthOrPrecisionIsNoConversion) {
  EXPECT_EQ(Pieces(u"%5.2f", 1), (std::vector<Piece>{{0, 0, u"%5.2f"}}));
}

TEST(NextPieceTest, EscapedPercentHidesConversion) {
  EXPECT_EQ(Pieces(u"100%%d", 1), (std::vector<Piece>{{0, 0, u"100%%d"}}));
  EXPECT_EQ(Pieces(u"\\%d", 1), (std::vector<Piece>{{0, 0, u"\\%d"}}));
}

TEST(NextPieceTest, EscapedPercentBeforeConversionKeepsIt) {
  // "%%" then a real conversion: the first hit "%s" at 1 is escaped, the
  // search goes on and finds the one after the blank.
  EXPECT_EQ(Pieces(u"%%s %d", 2), (std::vector<Piece>{{1, u'd', u"%%s %d"}, {0, 0, u""}}));
}

TEST(NextPieceTest, OtherBareLetterIsCutOnlyWhenS) {
  // 's' is a conversion as written; 'u' is not masked and so not found.
  EXPECT_EQ(Pieces(u"%s|%u", 2), (std::vector<Piece>{{1, u's', u"%s"}, {0, 0, u"|%u"}}));
}

TEST(NextPieceTest, DoubledBackslashCutsAtSameCharactersAsWritten) {
  // Masking folds "\\" to one character; the piece must still end with the
  // conversion as written.
  EXPECT_EQ(Pieces(u"a\\\\b%d c%f", 3),
            (std::vector<Piece>{{1, u'd', u"a\\\\b%d"}, {1, u'f', u" c%f"}, {0, 0, u""}}));
}

struct Field {
  int answer;
  char16_t letter;
  std::u16string conversion;
  std::u16string field;
  std::int32_t mismatch;
  std::u16string input_left;
  bool operator==(const Field&) const = default;
};

void PrintTo(const Field& f, std::ostream* os) {
  *os << "{" << f.answer << ", " << static_cast<int>(f.letter) << ", "
      << ::testing::PrintToString(f.conversion) << ", " << ::testing::PrintToString(f.field) << ", "
      << f.mismatch << ", " << ::testing::PrintToString(f.input_left) << "}";
}

std::vector<Field> Fields(std::u16string_view format, std::u16string_view input, int calls) {
  CFmt scanner(format, input);
  std::vector<Field> out;
  for (int i = 0; i < calls; ++i) {
    Field f{};
    f.mismatch = 7;
    f.answer = scanner.NextInputField(f.letter, f.conversion, f.field, f.mismatch);
    f.input_left.assign(scanner.Input());
    out.push_back(f);
  }
  return out;
}

TEST(NextInputFieldTest, CutsFieldsAtFollowingLiteral) {
  EXPECT_EQ(Fields(u"%d/%d", u"12/34", 3),
            (std::vector<Field>{{1, u'd', u"%d", u"12", 0, u"/34"},
                                {1, u'd', u"%d", u"34", 0, u""},
                                {0, 0, u"", u"", 0, u""}}));
}

TEST(NextInputFieldTest, MissingSeparatorTakesAllThenMismatches) {
  EXPECT_EQ(Fields(u"%d/%d", u"12-34", 2),
            (std::vector<Field>{{1, u'd', u"%d", u"12-34", 0, u""},
                                {1, u'd', u"%d", u"", 1, u""}}));
}

TEST(NextInputFieldTest, LeadingLiteralMustMatchExactly) {
  EXPECT_EQ(Fields(u"T=%f C", u"T=21.5 C", 2),
            (std::vector<Field>{{1, u'f', u"%f", u"21.5", 0, u" C"},
                                {0, 0, u" C", u"", 0, u""}}));
  EXPECT_EQ(Fields(u"T=%f", u"t=21.5", 1),
            (std::vector<Field>{{1, u'f', u"%f", u"t=21.5", 1, u""}}));
}

TEST(NextInputFieldTest, DoubledPercentInLiteralMatchesOnePercent) {
  EXPECT_EQ(Fields(u"%%%f", u"%5", 1).front().mismatch, 1)
      << "\"%%%s\": the hit is escaped, so no conversion; the literal check runs on all";
  EXPECT_EQ(Fields(u"%d%% of %d", u"50% of 80", 2),
            (std::vector<Field>{{1, u'd', u"%d", u"50", 0, u"% of 80"},
                                {1, u'd', u"%d", u"80", 0, u""}}));
}

TEST(NextInputFieldTest, TrailingLiteralMismatchIsReportedAtEnd) {
  EXPECT_EQ(Fields(u"%d km", u"12 mi", 2),
            (std::vector<Field>{{1, u'd', u"%d", u"12", 0, u" mi"},
                                {0, 0, u" km", u"", 1, u" mi"}}));
}

}  // namespace
}  // namespace vornfmt
