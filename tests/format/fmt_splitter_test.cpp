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

TEST(MaskConversionsTest, MasksBareConversionsAndFoldsEscapes) {
  const MaskCase rows[] = {
      {u"%d %f %c %m %x %s", u"%s %s %s %s %s %s"},
      {u"%u %5.2f %-3d", u"%u %5.2f %-3d"},  // not bare: unchanged
      {u"100%%d", u"100%%s"},                 // the second '%' is handled too
      {u"\\%d", u"%%d"},       // escaped: letter kept, then "\%" folds to "%%"
      {u"a\\\"b", u"a\"b"},     // backslash before a quote folds
      {u"a\\\\b", u"a\\b"},     // doubled backslash folds
      {u"%d%", u"%s%"},         // a '%' at the end is left alone
      // "\\%d": the '%' is preceded by a backslash, so 'd' stays; "\%" folds
      // first, leaving one backslash and "%%d".
      {u"a\\\\%d", u"a\\%%d"},
      {u"", u""},
  };
  for (const MaskCase& c : rows) {
    SCOPED_TRACE(&c - rows);
    EXPECT_EQ(Masked(c.text), c.masked);
  }
}

// Origins are recorded only when folding shortens the text.
TEST(MaskConversionsTest, RecordsOriginsWhenFoldingShortens) {
  std::u16string text = u"a\\\\b%d";  // a \\ b %d
  std::vector<std::size_t> origin;
  MaskConversions(text, origin);
  EXPECT_EQ(text, u"a\\b%s");
  EXPECT_EQ(origin, (std::vector<std::size_t>{0, 1, 3, 4, 5}));
  text = u"\\%d and %f";
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

TEST(NextPieceTest, CutsAfterEachConversionAsWritten) {
  const struct {
    std::u16string format;
    std::vector<Piece> pieces;
  } cases[] = {
      // The rest is answered again on every further call.
      {u"%d km", {{1, u'd', u"%d"}, {0, 0, u" km"}, {0, 0, u" km"}}},
      // The letter as written, not masked.
      {u"a%xb%mc", {{1, u'x', u"a%x"}, {1, u'm', u"b%m"}, {0, 0, u"c"}}},
      {u"%5.2f", {{0, 0, u"%5.2f"}}},  // width or precision: no conversion
      {u"100%%d", {{0, 0, u"100%%d"}}},
      {u"\\%d", {{0, 0, u"\\%d"}}},
      // "%%" then a real conversion: the escaped hit is passed over.
      {u"%%s %d", {{1, u'd', u"%%s %d"}, {0, 0, u""}}},
      // 's' is a conversion as written; 'u' is not masked and so not found.
      {u"%s|%u", {{1, u's', u"%s"}, {0, 0, u"|%u"}}},
      // Masking folds "\\" to one character; the piece still ends with the
      // conversion as written.
      {u"a\\\\b%d c%f", {{1, u'd', u"a\\\\b%d"}, {1, u'f', u" c%f"}, {0, 0, u""}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Pieces(c.format, static_cast<int>(c.pieces.size())), c.pieces) << ::testing::PrintToString(c.format);
  }
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

TEST(NextInputFieldTest, CutsFieldsAtTheFollowingLiteral) {
  const struct {
    std::u16string format, input;
    std::vector<Field> fields;
  } cases[] = {
      {u"%d/%d", u"12/34",
       {{1, u'd', u"%d", u"12", 0, u"/34"}, {1, u'd', u"%d", u"34", 0, u""}, {0, 0, u"", u"", 0, u""}}},
      // A missing separator: the first field takes all, the next mismatches.
      {u"%d/%d", u"12-34", {{1, u'd', u"%d", u"12-34", 0, u""}, {1, u'd', u"%d", u"", 1, u""}}},
      // A leading literal must match exactly.
      {u"T=%f C", u"T=21.5 C", {{1, u'f', u"%f", u"21.5", 0, u" C"}, {0, 0, u" C", u"", 0, u""}}},
      {u"T=%f", u"t=21.5", {{1, u'f', u"%f", u"t=21.5", 1, u""}}},
      // "%%" in a literal matches one '%'.
      {u"%d%% of %d", u"50% of 80", {{1, u'd', u"%d", u"50", 0, u"% of 80"}, {1, u'd', u"%d", u"80", 0, u""}}},
      // A trailing literal that does not match is reported at the end.
      {u"%d km", u"12 mi", {{1, u'd', u"%d", u"12", 0, u" mi"}, {0, 0, u" km", u"", 1, u" mi"}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Fields(c.format, c.input, static_cast<int>(c.fields.size())), c.fields)
        << ::testing::PrintToString(c.format) << " " << ::testing::PrintToString(c.input);
  }
  EXPECT_EQ(Fields(u"%%%f", u"%5", 1).front().mismatch, 1)
      << "\"%%%s\": the hit is escaped, so no conversion; the literal check runs on all";
}

}  // namespace
}  // namespace vornfmt
