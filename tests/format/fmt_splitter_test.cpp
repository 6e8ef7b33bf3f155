#include "format/fmt_splitter.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "format/mask_conversions.h"

namespace vornfmt {
namespace {

std::u16string Masked(std::u16string text) {
  MaskConversions(text);
  return text;
}

TEST(MaskConversionsTest, MasksBareConversionsAndFoldsEscapes) {
  const std::pair<std::u16string, std::u16string> rows[] = {
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
  for (const auto& [text, masked] : rows) EXPECT_EQ(Masked(text), masked) << ::testing::PrintToString(text);
}

// Origins are recorded only when folding shortens the text.
TEST(MaskConversionsTest, RecordsOriginsWhenFoldingShortens) {
  std::u16string text = u"a\\\\b%d";  // a \\ b %d
  std::vector<std::size_t> origin;
  MaskConversions(text, origin);
  EXPECT_EQ(std::tuple(text, origin), std::tuple(u"a\\b%s", std::vector<std::size_t>{0, 1, 3, 4, 5}));
  text = u"\\%d and %f";
  MaskConversions(text, origin);
  EXPECT_EQ(std::tuple(text, origin.size()), std::tuple(u"%%d and %s", 0u));
}

using Piece = std::tuple<int, char16_t, std::u16string>;  // answer, letter, piece

std::vector<Piece> Pieces(std::u16string_view format, int calls) {
  CFmt splitter(format);
  std::vector<Piece> out(static_cast<size_t>(calls));
  for (auto& [answer, letter, piece] : out) answer = splitter.NextPiece(letter, piece);
  return out;
}

TEST(NextPieceTest, CutsAfterEachConversionAsWritten) {
  const std::pair<std::u16string, std::vector<Piece>> cases[] = {
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
  for (const auto& [format, pieces] : cases)
    EXPECT_EQ(Pieces(format, static_cast<int>(pieces.size())), pieces) << ::testing::PrintToString(format);
}

// answer, letter, conversion, field, mismatch (7 before the call), input left
using Field = std::tuple<int, char16_t, std::u16string, std::u16string, std::int32_t, std::u16string>;

std::vector<Field> Fields(std::u16string_view format, std::u16string_view input, int calls) {
  CFmt scanner(format, input);
  std::vector<Field> out(static_cast<size_t>(calls));
  for (auto& [answer, letter, conversion, field, mismatch, left] : out) {
    mismatch = 7;
    answer = scanner.NextInputField(letter, conversion, field, mismatch);
    left.assign(scanner.Input());
  }
  return out;
}

TEST(NextInputFieldTest, CutsFieldsAtTheFollowingLiteral) {
  const std::tuple<std::u16string, std::u16string, std::vector<Field>> cases[] = {  // format, input, fields
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
  for (const auto& [format, input, fields] : cases) {
    EXPECT_EQ(Fields(format, input, static_cast<int>(fields.size())), fields)
        << ::testing::PrintToString(format) << " " << ::testing::PrintToString(input);
  }
  EXPECT_EQ(std::get<4>(Fields(u"%%%f", u"%5", 1).front()), 1)
      << "\"%%%s\": the hit is escaped, so no conversion; the literal check runs on all";
}

}  // namespace
}  // namespace vornfmt
