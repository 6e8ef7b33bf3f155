#include "format/fmt_file.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "format/fmt_file_factory.h"
#include "format/type_name.h"

namespace vornfmt {
namespace {

// Loads 8-bit entry texts, as the line joiner hands them over.
void LoadAll(CFmtFile& file, std::initializer_list<std::string_view> entries) {
  for (std::string_view entry : entries) file.LoadEntry(entry);
}

struct TypeNameCase {
  std::u16string name;
  bool nvt, cpt;
};

class TypeNameTest : public ::testing::TestWithParam<TypeNameCase> {};

TEST_P(TypeNameTest, ClassifiesBySubstring) {
  const TypeNameCase& c = GetParam();
  EXPECT_EQ(IsNvtName(c.name), c.nvt);
  EXPECT_EQ(IsCptName(c.name), c.cpt);
  EXPECT_EQ(IsTypeName(c.name), c.nvt || c.cpt);
}

INSTANTIATE_TEST_SUITE_P(Cases, TypeNameTest,
                         ::testing::Values(TypeNameCase{u"SNVT_temp", true, false},
                                           TypeNameCase{u"UNVT_x", true, false},
                                           TypeNameCase{u"SCPT_y", false, true},
                                           TypeNameCase{u"my_UCPT", false, true},
                                           TypeNameCase{u"SNVT_in_SCPT", true, true},
                                           TypeNameCase{u"snvt_temp", false, false},
                                           TypeNameCase{u"", false, false}));

TEST(FindTypeNameStartTest, TriesSnvtFirst) {
  EXPECT_EQ(FindTypeNameStart(u"UNVT_a_SNVT_b:int"), 7u);
  EXPECT_EQ(FindTypeNameStart(u"*UCPT_a_SCPT_b"), 8u);
  EXPECT_EQ(FindTypeNameStart(u"none"), std::u16string_view::npos);
}

struct EntryCase {
  std::u16string entry;
  EntryOutcome outcome;
  std::u16string name;
  std::u16string measurement_system;
  bool is_default;
  std::u16string specification;
};

class ParseFormatEntryTest : public ::testing::TestWithParam<EntryCase> {};

TEST_P(ParseFormatEntryTest, ReadsKeyAndSpecification) {
  const EntryCase& c = GetParam();
  const FormatEntry entry = ParseFormatEntry(c.entry);
  EXPECT_EQ(entry.outcome, c.outcome);
  EXPECT_EQ(entry.name, c.name);
  EXPECT_EQ(entry.measurement_system, c.measurement_system);
  EXPECT_EQ(entry.is_default, c.is_default);
  EXPECT_EQ(entry.specification, c.specification);
}

using O = EntryOutcome;

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseFormatEntryTest,
    ::testing::Values(
        EntryCase{u"*SNVT_temp_f#SI:text(\"%f\",*0.1+0)", O::Added, u"SNVT_temp_f", u"SI", true,
                  u"(\"%f\",*0.1+0)"},
        EntryCase{u"UCPT_x:int", O::Added, u"UCPT_x", u"", false, u"(\"%d\")"},
        EntryCase{u"UCPT_x:real;", O::Added, u"UCPT_x", u"", false, u"(\"%f\")"},
        EntryCase{u"  \tSNVT_a:int;", O::Added, u"SNVT_a", u"", false, u"(\"%d\")"},
        // Blanks before the colon stay in the name or measurement system.
        EntryCase{u"SNVT_temp :int;", O::Added, u"SNVT_temp ", u"", false, u"(\"%d\")"},
        EntryCase{u"SNVT_temp#SI :int;", O::Added, u"SNVT_temp", u"SI ", false, u"(\"%d\")"},
        // The '*' marks the default only before the name start.
        EntryCase{u"SNVT_a:text(\"%f\",*2)", O::Added, u"SNVT_a", u"", false, u"(\"%f\",*2)"},
        EntryCase{u"* SNVT_a:int", O::Added, u"SNVT_a", u"", true, u"(\"%d\")"},
        EntryCase{u"x*UNVT_a_SNVT_b:int", O::Added, u"SNVT_b", u"", true, u"(\"%d\")"},
        // "text" wins over "int"; the tests are plain substrings.
        EntryCase{u"SNVT_a:text(\"%d int\")", O::Added, u"SNVT_a", u"", false, u"(\"%d int\")"},
        EntryCase{u"SNVT_x:print;", O::Added, u"SNVT_x", u"", false, u"(\"%d\")"},
        EntryCase{u"SNVT_x:surreal", O::Added, u"SNVT_x", u"", false, u"(\"%f\")"},
        // Text without parentheses runs from the value's start to its end.
        EntryCase{u"SNVT_x:text", O::Added, u"SNVT_x", u"", false, u"(:text)"},
        EntryCase{u"SNVT_x:text(\"a\"", O::Added, u"SNVT_x", u"", false, u"(\"a\")"},
        // A '#' in the measurement system part stays in it.
        EntryCase{u"SNVT_x#A#B:int", O::Added, u"SNVT_x", u"A#B", false, u"(\"%d\")"},
        // Dropped entries.
        EntryCase{u"", O::EmptyOrComment, u"", u"", false, u""},
        EntryCase{u"   ", O::EmptyOrComment, u"", u"", false, u""},
        EntryCase{u" !SNVT_a:int", O::EmptyOrComment, u"", u"", false, u""},
        EntryCase{u"snvt_a:int", O::NoTypeName, u"", u"", false, u""},
        EntryCase{u";", O::NoTypeName, u"", u"", false, u""},
        EntryCase{u"SNVT_x#LO:int;", O::MeasurementLO, u"SNVT_x", u"LO", false, u""},
        EntryCase{u"SNVT_x int", O::NoKey, u"", u"", false, u""},
        EntryCase{u"a:SNVT_x:int", O::NoKey, u"", u"", false, u""},
        EntryCase{u"SNVT_x:float;", O::NoSpecification, u"SNVT_x", u"", false, u""}));

TEST(ParseFormatEntryTest, LowerCaseLoIsNoDrop) {
  EXPECT_EQ(ParseFormatEntry(u"SNVT_x#lo:int").outcome, O::Added);
  EXPECT_EQ(ParseFormatEntry(u"SNVT_x#LO :int").outcome, O::Added);
}

TEST(CFmtFileTest, AlternativesInFileOrderAndSelection) {
  CFmtFile file(u"a.fmt");
  LoadAll(file, {"SNVT_temp#SI:int;", "SNVT_temp#US:real;"});
  const CFmtObject* object = file.FindObject(u"SNVT_temp");
  ASSERT_NE(object, nullptr);
  ASSERT_EQ(object->Alternatives().size(), 2u);
  EXPECT_EQ(object->SelectFormat(u"US"), object->Alternatives()[1].get());
  EXPECT_EQ(object->SelectFormat(u"SI"), object->Alternatives()[0].get());
  EXPECT_EQ(object->SelectFormat(u"XX"), object->Alternatives()[0].get()) << "no default: first";
}

TEST(CFmtFileTest, DefaultWinsWhenNoMeasurementSystemMatches) {
  CFmtFile file(u"a.fmt");
  LoadAll(file, {"SNVT_temp#SI:int;", "*SNVT_temp#US:real;"});
  const CFmtObject* object = file.FindObject(u"SNVT_temp");
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->SelectFormat(u""), object->Alternatives()[1].get());
  EXPECT_EQ(object->SelectFormat(u"SI"), object->Alternatives()[0].get());
  EXPECT_EQ(object->SelectFormat(u"si"), object->Alternatives()[1].get()) << "case-sensitive";
}

TEST(CFmtFileTest, SingleAlternativeServesEveryMeasurementSystem) {
  CFmtFile file(u"a.fmt");
  LoadAll(file, {"SNVT_temp#US:real;"});
  const CFmtObject* object = file.FindObject(u"SNVT_temp");
  ASSERT_NE(object, nullptr);
  for (std::u16string_view ms : {u"", u"SI", u"US"}) {
    EXPECT_EQ(object->SelectFormat(ms), object->Alternatives()[0].get());
  }
}

TEST(CFmtFileTest, CompiledAlternativeCarriesAttributesAndTypeName) {
  CFmtFile file(u"a.fmt");
  LoadAll(file, {"*SNVT_temp_f#SI:text(\"%f\",*0.1+0)"});
  const CFmtObject* object = file.FindObject(u"SNVT_temp_f");
  ASSERT_NE(object, nullptr);
  const CAlternateFmt* alternative = object->SelectFormat(u"SI");
  ASSERT_NE(alternative, nullptr);
  EXPECT_TRUE(alternative->IsDefault());
  EXPECT_EQ(alternative->MeasurementSystem(), u"SI");
  ASSERT_EQ(alternative->Children().size(), 1u);
  const auto& items = alternative->Children()[0]->Items();
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0]->Name(), u"SNVT_temp_f");
  EXPECT_FLOAT_EQ(items[0]->Scale(), 0.1f);
  EXPECT_EQ(items[0]->Kind(), ConversionKind::Float);
}

TEST(CFmtFileTest, BlankBeforeColonIsPartOfName) {
  CFmtFile file(u"a.fmt");
  LoadAll(file, {"SNVT_temp :int;"});
  EXPECT_EQ(file.FindObject(u"SNVT_temp"), nullptr);
  EXPECT_NE(file.FindObject(u"SNVT_temp "), nullptr);
}

TEST(CFmtFileTest, BlankAfterMeasurementSystemNeverMatches) {
  CFmtFile file(u"a.fmt");
  LoadAll(file, {"SNVT_t#SI :int;", "*SNVT_t#US:real;"});
  const CFmtObject* object = file.FindObject(u"SNVT_t");
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->SelectFormat(u"SI"), object->Alternatives()[1].get());
  EXPECT_EQ(object->SelectFormat(u"SI "), object->Alternatives()[0].get());
}

TEST(CFmtFileTest, LoEntryAddsNothing) {
  CFmtFile file(u"a.fmt");
  LoadAll(file, {"SNVT_x#LO:int;"});
  EXPECT_EQ(file.FindObject(u"SNVT_x"), nullptr);
  LoadAll(file, {"SNVT_x#SI:int;", "*SNVT_x#LO:real;"});
  const CFmtObject* object = file.FindObject(u"SNVT_x");
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->Alternatives().size(), 1u);
}

TEST(CFmtFileTest, SnvtPrefixTriedFirst) {
  CFmtFile file(u"a.fmt");
  LoadAll(file, {"UNVT_a_SNVT_b:int;"});
  EXPECT_NE(file.FindObject(u"SNVT_b"), nullptr);
  EXPECT_EQ(file.FindObject(u"UNVT_a_SNVT_b"), nullptr);
}

TEST(CFmtFileTest, StarAfterNameStartIsNoDefault) {
  CFmtFile file(u"a.fmt");
  LoadAll(file, {"SNVT_a#SI:text(\"%f\",*0.1)", "SNVT_a#US:text(\"%f\",*2)"});
  const CFmtObject* object = file.FindObject(u"SNVT_a");
  ASSERT_NE(object, nullptr);
  EXPECT_FALSE(object->Alternatives()[0]->IsDefault());
  EXPECT_FALSE(object->Alternatives()[1]->IsDefault());
  EXPECT_EQ(object->SelectFormat(u"XX"), object->Alternatives()[0].get());
}

TEST(CFmtFileTest, NameWithBothMarkersStandsInBothTablesOnce) {
  CFmtFile file(u"a.fmt");
  LoadAll(file, {"SNVT_SCPT_x:int;", "SNVT_SCPT_x#US:real;"});
  ASSERT_EQ(file.NvtCount(), 1u);
  ASSERT_EQ(file.CptCount(), 1u);
  const CFmtObject* object = file.FindObject(u"SNVT_SCPT_x");
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(file.NvtObjects(), std::vector<const CFmtObject*>{object});
  EXPECT_EQ(file.CptObjects(), std::vector<const CFmtObject*>{object});
  EXPECT_EQ(object->Alternatives().size(), 2u);
}

TEST(CFmtFileTest, TablesSeparateNvtAndCpt) {
  CFmtFile file(u"a.fmt");
  LoadAll(file, {"SNVT_a:int;", "UCPT_b:int;"});
  ASSERT_EQ(file.NvtObjects().size(), 1u);
  ASSERT_EQ(file.CptObjects().size(), 1u);
  EXPECT_EQ(file.NvtObjects()[0]->Name(), u"SNVT_a");
  EXPECT_EQ(file.CptObjects()[0]->Name(), u"UCPT_b");
  EXPECT_NE(file.FindObject(u"UCPT_b"), nullptr);
  EXPECT_EQ(file.FindObject(u"b"), nullptr);
}

TEST(CFmtFileTest, ListingsAreOrderedOrdinally) {
  CFmtFile file(u"a.fmt");
  LoadAll(file, {"SNVT_b:int;", "SNVT_a:int;", "SNVT_B:int;", "SNVT_\xE4:int;", "SNVT_a_b:int;"});
  std::vector<std::u16string> names;
  for (const CFmtObject* object : file.NvtObjects()) names.push_back(object->Name());
  EXPECT_EQ(names, (std::vector<std::u16string>{u"SNVT_B", u"SNVT_a", u"SNVT_a_b", u"SNVT_b", u"SNVT_\u00E4"}));
}

TEST(CFmtFileTest, ValueWithoutSpecificationGivesObjectWithoutAlternatives) {
  CFmtFile file(u"a.fmt");
  LoadAll(file, {"SNVT_a:float;"});
  const CFmtObject* object = file.FindObject(u"SNVT_a");
  ASSERT_NE(object, nullptr);
  EXPECT_TRUE(object->Alternatives().empty());
  EXPECT_EQ(object->SelectFormat(u""), nullptr);
}

TEST(CFmtFileTest, IdenticalEntriesAddIdenticalAlternatives) {
  CFmtFile file(u"a.fmt");
  LoadAll(file, {"SNVT_a:int;", "SNVT_a:int;"});
  ASSERT_NE(file.FindObject(u"SNVT_a"), nullptr);
  EXPECT_EQ(file.FindObject(u"SNVT_a")->Alternatives().size(), 2u);
}

TEST(CFmtFileTest, EmptyFileFindsNothing) {
  CFmtFile file(u"a.fmt");
  EXPECT_EQ(file.FindObject(u"SNVT_a"), nullptr);
  EXPECT_EQ(file.FindObject(u""), nullptr);
  EXPECT_EQ(file.FileName(), u"a.fmt");
}

TEST(CFmtFileTest, LoadWideEntryReportsOutcome) {
  CFmtFile file(u"a.fmt");
  EXPECT_EQ(file.LoadWideEntry(u"SNVT_x").outcome, O::NoKey);
  EXPECT_EQ(file.FindObject(u"SNVT_x"), nullptr);
  const EntryResult added = file.LoadWideEntry(u"*SNVT_x#SI:int");
  EXPECT_EQ(added.outcome, O::Added);
  EXPECT_EQ(added.name, u"SNVT_x");
  EXPECT_EQ(added.measurement_system, u"SI");
  EXPECT_TRUE(added.is_default);
  ASSERT_NE(file.FindObject(u"SNVT_x"), nullptr);
  EXPECT_EQ(added.alternative, file.FindObject(u"SNVT_x")->Alternatives()[0].get());
}

TEST(CFmtFileTest, EntryTextIsWidenedAsWindows1252) {
  CFmtFile file(u"a.fmt");
  file.LoadEntry("SNVT_t:text(\"%f \xB0" "C \x80\")");
  const CFmtObject* object = file.FindObject(u"SNVT_t");
  ASSERT_NE(object, nullptr);
  ASSERT_EQ(object->Alternatives().size(), 1u);
  const auto& items = object->Alternatives()[0]->Children()[0]->Items();
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0]->Piece(), u"%s \u00B0C \u20AC");
}

std::u16string WidenUpper(std::string_view text) {
  std::u16string out;
  for (char c : text) out.push_back(static_cast<char16_t>(c >= 'a' && c <= 'z' ? c - 32 : c));
  return out;
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
  EXPECT_TRUE(object->Alternatives().empty());
}

}  // namespace
}  // namespace vornfmt
