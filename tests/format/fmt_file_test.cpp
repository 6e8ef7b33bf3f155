#include "format/fmt_file.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "format/fmt_file_factory.h"
#include "format/format_dump.h"
#include "format/type_name.h"

namespace vornfmt {
namespace {

// Loads 8-bit entry texts, as the line joiner hands them over.
void LoadAll(CFmtFile& file, std::initializer_list<std::string_view> entries) {
  for (std::string_view entry : entries) file.LoadEntry(entry);
}

TEST(TypeNameTest, ClassifiesBySubstring) {
  const std::tuple<std::u16string, bool, bool> rows[] = {  // name, an NVT's, a CPT's
      {u"SNVT_temp", true, false}, {u"UNVT_x", true, false}, {u"SCPT_y", false, true}, {u"my_UCPT", false, true},
      {u"SNVT_in_SCPT", true, true}, {u"snvt_temp", false, false}, {u"", false, false},
  };
  for (const auto& [name, nvt, cpt] : rows) {
    EXPECT_EQ(std::tuple(IsNvtName(name), IsCptName(name), IsTypeName(name)), std::tuple(nvt, cpt, nvt || cpt))
        << ::testing::PrintToString(name);
  }
}

TEST(FindTypeNameStartTest, TriesSnvtFirst) {
  EXPECT_EQ(FindTypeNameStart(u"UNVT_a_SNVT_b:int"), 7u);
  EXPECT_EQ(FindTypeNameStart(u"*UCPT_a_SCPT_b"), 8u);
  EXPECT_EQ(FindTypeNameStart(u"none"), std::u16string_view::npos);
}

TEST(FindTypeNameStartTest, FirstMarkerInOrderWhereverItStands) {
  constexpr std::size_t npos = std::u16string_view::npos;
  const std::tuple<std::u16string_view, std::size_t> rows[] = {
      {u"SNVT", 0},           {u"SNV", npos},           {u"xSNVTxSNVT", 1},      {u"SCPT_a_UCPT_b_UNVT", 14},
      {u"UCPT_a_SCPT", 7},    {u"UCPT_a_UCPT", 0},      {u"TTTT_UCPT", 5},       {u"SNVt_SNvT_SNVT", 10},
      {u"*SCPTx:text(\"T\")", 1}, {u"sNVT UNVT", 5},   {u"", npos},             {u"T", npos},
  };
  for (const auto& [text, start] : rows) EXPECT_EQ(FindTypeNameStart(text), start) << ::testing::PrintToString(text);
}

using O = EntryOutcome;

TEST(ParseFormatEntryTest, ReadsKeyAndSpecification) {
  const struct {
    std::u16string entry;
    EntryOutcome outcome;
    std::u16string name, measurement_system;
    bool is_default;
    std::u16string specification;
  } cases[] = {
      {u"*SNVT_temp_f#SI:text(\"%f\",*0.1+0)", O::Added, u"SNVT_temp_f", u"SI", true, u"(\"%f\",*0.1+0)"},
      {u"UCPT_x:int", O::Added, u"UCPT_x", u"", false, u"(\"%d\")"},
      {u"UCPT_x:real;", O::Added, u"UCPT_x", u"", false, u"(\"%f\")"},
      {u"  \tSNVT_a:int;", O::Added, u"SNVT_a", u"", false, u"(\"%d\")"},
      // Blanks before the colon stay in the name or measurement system.
      {u"SNVT_temp :int;", O::Added, u"SNVT_temp ", u"", false, u"(\"%d\")"},
      {u"SNVT_temp#SI :int;", O::Added, u"SNVT_temp", u"SI ", false, u"(\"%d\")"},
      // The '*' marks the default only before the name start.
      {u"SNVT_a:text(\"%f\",*2)", O::Added, u"SNVT_a", u"", false, u"(\"%f\",*2)"},
      {u"* SNVT_a:int", O::Added, u"SNVT_a", u"", true, u"(\"%d\")"},
      {u"x*UNVT_a_SNVT_b:int", O::Added, u"SNVT_b", u"", true, u"(\"%d\")"},
      // "text" wins over "int"; the tests are plain substrings.
      {u"SNVT_a:text(\"%d int\")", O::Added, u"SNVT_a", u"", false, u"(\"%d int\")"},
      {u"SNVT_x:print;", O::Added, u"SNVT_x", u"", false, u"(\"%d\")"},
      {u"SNVT_x:surreal", O::Added, u"SNVT_x", u"", false, u"(\"%f\")"},
      // Text without parentheses runs from the value's start to its end.
      {u"SNVT_x:text", O::Added, u"SNVT_x", u"", false, u"(:text)"},
      {u"SNVT_x:text(\"a\"", O::Added, u"SNVT_x", u"", false, u"(\"a\")"},
      // A '#' in the measurement system part stays in it.
      {u"SNVT_x#A#B:int", O::Added, u"SNVT_x", u"A#B", false, u"(\"%d\")"},
      // Only "LO" exactly drops the entry.
      {u"SNVT_x#lo:int", O::Added, u"SNVT_x", u"lo", false, u"(\"%d\")"},
      {u"SNVT_x#LO :int", O::Added, u"SNVT_x", u"LO ", false, u"(\"%d\")"},
      // Dropped entries.
      {u"", O::EmptyOrComment, u"", u"", false, u""}, {u"   ", O::EmptyOrComment, u"", u"", false, u""},
      {u" !SNVT_a:int", O::EmptyOrComment, u"", u"", false, u""}, {u"snvt_a:int", O::NoTypeName, u"", u"", false, u""},
      {u"SNVT_x#LO:int;", O::MeasurementLO, u"SNVT_x", u"LO", false, u""},
      {u"SNVT_x int", O::NoKey, u"", u"", false, u""}, {u"a:SNVT_x:int", O::NoKey, u"", u"", false, u""},
      {u"SNVT_x:float;", O::NoSpecification, u"SNVT_x", u"", false, u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.entry));
    const FormatEntry e = ParseFormatEntry(c.entry);
    EXPECT_EQ(std::tie(e.outcome, e.name, e.measurement_system, e.is_default, e.specification),
              std::tie(c.outcome, c.name, c.measurement_system, c.is_default, c.specification));
  }
}

TEST(CFmtFileTest, SelectsMatchThenDefaultThenFirst) {
  CFmtFile file(u"a.fmt");
  LoadAll(file, {"SNVT_a#SI:int;", "SNVT_a#US:real;", "SNVT_b#SI :int;", "*SNVT_b#US:real;"});
  const CFmtObject* a = file.FindObject(u"SNVT_a");
  const CFmtObject* b = file.FindObject(u"SNVT_b");
  ASSERT_TRUE(a && b);
  ASSERT_EQ(std::tuple(a->Alternatives().size(), b->Alternatives().size()), std::tuple(2u, 2u));
  // Without a default the first; case-sensitive; the blank stays in "SI ".
  const std::tuple<const CFmtObject*, const char16_t*, size_t> choices[] = {
      {a, u"US", 1}, {a, u"SI", 0}, {a, u"XX", 0}, {a, u"us", 0}, {b, u"", 1}, {b, u"SI", 1}, {b, u"SI ", 0}};
  for (const auto& [object, system, chosen] : choices)
    EXPECT_EQ(object->SelectFormat(system), object->Alternatives()[chosen].get())
        << ::testing::PrintToString(object->Name()) << " " << ::testing::PrintToString(std::u16string(system));
}

// Entry texts are widened as Windows-1252.
TEST(CFmtFileTest, CompiledAlternativeCarriesAttributesAndTypeName) {
  CFmtFile file(u"a.fmt");
  LoadAll(file, {"*SNVT_temp_f#SI:text(\"%f \xB0" "C \x80\",*0.1+0)"});
  const CFmtObject* object = file.FindObject(u"SNVT_temp_f");
  ASSERT_NE(object, nullptr);
  ASSERT_EQ(object->Alternatives().size(), 1u);
  const CAlternateFmt* alternative = object->SelectFormat(u"SI");
  ASSERT_EQ(alternative, object->Alternatives()[0].get());
  EXPECT_EQ(std::tuple(alternative->IsDefault(), alternative->MeasurementSystem()), std::tuple(true, u"SI"));
  ASSERT_EQ(alternative->Children().size(), 1u);
  const auto& items = alternative->Children()[0]->Items();
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(std::tuple(items[0]->Name(), items[0]->Piece(), items[0]->Scale(), items[0]->Kind()),
            std::tuple(u"SNVT_temp_f", u"%s \u00B0C \u20AC", 0.1f, ConversionKind::Float));
}

std::vector<std::u16string> Names(const std::vector<const CFmtObject*>& objects) {
  std::vector<std::u16string> names;
  for (const CFmtObject* object : objects) names.push_back(object->Name());
  return names;
}

// Each entry adds an alternative, duplicates too; a name with both markers
// stands in both tables once. Listings are ordered ordinally.
TEST(CFmtFileTest, TablesSeparateNvtAndCpt) {
  CFmtFile file(u"a.fmt");
  LoadAll(file, {"SNVT_b:int;", "SNVT_a:int;", "SNVT_a:int;", "UCPT_b:int;", "SNVT_SCPT_x:int;", "SNVT_SCPT_x#US:real;",
                 "SNVT_B:int;", "SNVT_\xE4:int;", "SNVT_a_b:int;"});
  EXPECT_EQ(file.NvtCount(), 6u);
  EXPECT_EQ(file.CptCount(), 2u);
  using Names_ = std::vector<std::u16string>;
  EXPECT_EQ(Names(file.NvtObjects()),
            Names_({u"SNVT_B", u"SNVT_SCPT_x", u"SNVT_a", u"SNVT_a_b", u"SNVT_b", u"SNVT_\u00E4"}));
  EXPECT_EQ(Names(file.CptObjects()), Names_({u"SNVT_SCPT_x", u"UCPT_b"}));
  EXPECT_EQ(file.NvtObjects()[1], file.CptObjects()[0]);  // one object in both
  EXPECT_EQ(file.FindObject(u"SNVT_a")->Alternatives().size(), 2u);
  EXPECT_EQ(file.FindObject(u"SNVT_SCPT_x")->Alternatives().size(), 2u);
  EXPECT_EQ(file.FindObject(u"b"), nullptr);
}

TEST(CFmtFileTest, LoadWideEntryReportsOutcome) {
  CFmtFile file(u"a.fmt");
  EXPECT_EQ(file.LoadWideEntry(u"SNVT_x").outcome, O::NoKey);
  EXPECT_EQ(file.FindObject(u"SNVT_x"), nullptr);
  const EntryResult added = file.LoadWideEntry(u"*SNVT_x#SI:int");
  EXPECT_EQ(std::tie(added.outcome, added.name, added.measurement_system, added.is_default),
            std::tuple(O::Added, std::u16string(u"SNVT_x"), std::u16string(u"SI"), true));
  ASSERT_NE(file.FindObject(u"SNVT_x"), nullptr);
  EXPECT_EQ(added.alternative, file.FindObject(u"SNVT_x")->Alternatives()[0].get());
}

std::u16string WidenUpper(std::string_view text) {
  std::u16string out;
  for (char c : text) out.push_back(static_cast<char16_t>(c >= 'a' && c <= 'z' ? c - 32 : c));
  return out;
}

// Leaves ASCII as it is, makes byte A4 a euro sign, and counts the texts it
// is given.
int euro_widener_calls = 0;
std::u16string WidenEuro(std::string_view text) {
  ++euro_widener_calls;
  std::u16string out;
  for (char c : text) out.push_back(c == '\xA4' ? u'\u20AC' : static_cast<char16_t>(static_cast<unsigned char>(c)));
  return out;
}

TEST(CFmtFileTest, EntriesOfAsciiOnlySkipAWidenerThatLeavesAsciiAsItIs) {
  const std::tuple<std::string_view, std::u16string_view, int> rows[] = {  // entry, as widened, widener calls
      {"SNVT_a:text(\"%d m\");", u"SNVT_a:text(\"%d m\");", 0},
      {"SNVT_a:text(\"%d \xA4\");", u"SNVT_a:text(\"%d \u20AC\");", 1},
      {"SNVT_a:text(\"%d \x7F\");", u"SNVT_a:text(\"%d \x7F\");", 0},
  };
  for (const auto& [entry, widened, calls] : rows) {
    CFmtFile file(u"a.fmt", WidenEuro);
    CFmtFile expected(u"b.fmt");
    euro_widener_calls = 0;
    file.LoadEntry(entry);
    EXPECT_EQ(euro_widener_calls, calls) << entry;
    const CAlternateFmt* wide = expected.LoadWideEntry(widened).alternative;
    const CAlternateFmt* loaded = file.SelectFormat(u"SNVT_a", u"");
    ASSERT_NE(wide, nullptr) << entry;
    ASSERT_NE(loaded, nullptr) << entry;
    EXPECT_EQ(DescribeTree(*loaded), DescribeTree(*wide)) << entry;
  }
}

TEST(FmtFileFactoryTest, MakesFmtFilesWithGivenWidener) {
  const FormatFileFactory factory = MakeFmtFileFactory(WidenUpper);
  std::unique_ptr<FormatFileBase> base = factory(u"/cat/x.fmt");
  auto* file = dynamic_cast<CFmtFile*>(base.get());
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->FileName(), u"/cat/x.fmt");
  // Only the widener turns "snvt" into a type-name marker; it also turns
  // "real" into "REAL", so the object gets no alternative.
  base->LoadEntry("snvt_a:real;");
  const CFmtObject* object = file->FindObject(u"SNVT_A");
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(std::tuple(object->Alternatives().size(), object->SelectFormat(u"")), std::tuple(0u, nullptr));
}

}  // namespace
}  // namespace vornfmt
