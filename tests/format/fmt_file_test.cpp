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

TEST(TypeNameTest, ClassifiesBySubstring) {
  const TypeNameCase rows[] = {
      {u"SNVT_temp", true, false}, {u"UNVT_x", true, false}, {u"SCPT_y", false, true}, {u"my_UCPT", false, true},
      {u"SNVT_in_SCPT", true, true}, {u"snvt_temp", false, false}, {u"", false, false},
  };
  for (const TypeNameCase& c : rows) {
    SCOPED_TRACE(&c - rows);
    EXPECT_EQ(IsNvtName(c.name), c.nvt);
    EXPECT_EQ(IsCptName(c.name), c.cpt);
    EXPECT_EQ(IsTypeName(c.name), c.nvt || c.cpt);
  }
}

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
        // Only "LO" exactly drops the entry.
        EntryCase{u"SNVT_x#lo:int", O::Added, u"SNVT_x", u"lo", false, u"(\"%d\")"},
        EntryCase{u"SNVT_x#LO :int", O::Added, u"SNVT_x", u"LO ", false, u"(\"%d\")"},
        // Dropped entries.
        EntryCase{u"", O::EmptyOrComment, u"", u"", false, u""},
        EntryCase{u"   ", O::EmptyOrComment, u"", u"", false, u""},
        EntryCase{u" !SNVT_a:int", O::EmptyOrComment, u"", u"", false, u""},
        EntryCase{u"snvt_a:int", O::NoTypeName, u"", u"", false, u""},
        EntryCase{u"SNVT_x#LO:int;", O::MeasurementLO, u"SNVT_x", u"LO", false, u""},
        EntryCase{u"SNVT_x int", O::NoKey, u"", u"", false, u""},
        EntryCase{u"a:SNVT_x:int", O::NoKey, u"", u"", false, u""},
        EntryCase{u"SNVT_x:float;", O::NoSpecification, u"SNVT_x", u"", false, u""}));

TEST(CFmtFileTest, SelectsMatchThenDefaultThenFirst) {
  CFmtFile file(u"a.fmt");
  LoadAll(file, {"SNVT_a#SI:int;", "SNVT_a#US:real;", "SNVT_b#SI :int;", "*SNVT_b#US:real;"});
  const CFmtObject* a = file.FindObject(u"SNVT_a");
  const CFmtObject* b = file.FindObject(u"SNVT_b");
  ASSERT_TRUE(a && b);
  ASSERT_EQ(a->Alternatives().size(), 2u);
  ASSERT_EQ(b->Alternatives().size(), 2u);
  EXPECT_EQ(a->SelectFormat(u"US"), a->Alternatives()[1].get());
  EXPECT_EQ(a->SelectFormat(u"SI"), a->Alternatives()[0].get());
  EXPECT_EQ(a->SelectFormat(u"XX"), a->Alternatives()[0].get()) << "no default: first";
  EXPECT_EQ(a->SelectFormat(u"us"), a->Alternatives()[0].get()) << "case-sensitive";
  EXPECT_EQ(b->SelectFormat(u""), b->Alternatives()[1].get());
  EXPECT_EQ(b->SelectFormat(u"SI"), b->Alternatives()[1].get()) << "the blank stays in \"SI \"";
  EXPECT_EQ(b->SelectFormat(u"SI "), b->Alternatives()[0].get());
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

// Each entry adds an alternative, duplicates too; a name with both markers
// stands in both tables once.
TEST(CFmtFileTest, TablesSeparateNvtAndCpt) {
  CFmtFile file(u"a.fmt");
  LoadAll(file, {"SNVT_a:int;", "SNVT_a:int;", "UCPT_b:int;", "SNVT_SCPT_x:int;", "SNVT_SCPT_x#US:real;"});
  const CFmtObject* a = file.FindObject(u"SNVT_a");
  const CFmtObject* b = file.FindObject(u"UCPT_b");
  const CFmtObject* x = file.FindObject(u"SNVT_SCPT_x");
  ASSERT_TRUE(a && b && x);
  EXPECT_EQ(file.NvtCount(), 2u);
  EXPECT_EQ(file.CptCount(), 2u);
  EXPECT_EQ(file.NvtObjects(), (std::vector<const CFmtObject*>{x, a}));
  EXPECT_EQ(file.CptObjects(), (std::vector<const CFmtObject*>{x, b}));
  EXPECT_EQ(a->Alternatives().size(), 2u);
  EXPECT_EQ(x->Alternatives().size(), 2u);
  EXPECT_EQ(file.FindObject(u"b"), nullptr);
}

TEST(CFmtFileTest, ListingsAreOrderedOrdinally) {
  CFmtFile file(u"a.fmt");
  LoadAll(file, {"SNVT_b:int;", "SNVT_a:int;", "SNVT_B:int;", "SNVT_\xE4:int;", "SNVT_a_b:int;"});
  std::vector<std::u16string> names;
  for (const CFmtObject* object : file.NvtObjects()) names.push_back(object->Name());
  EXPECT_EQ(names, (std::vector<std::u16string>{u"SNVT_B", u"SNVT_a", u"SNVT_a_b", u"SNVT_b", u"SNVT_\u00E4"}));
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
  EXPECT_EQ(object->SelectFormat(u""), nullptr);
}

}  // namespace
}  // namespace vornfmt
