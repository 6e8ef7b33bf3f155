// The pieces the formatter is built from: piece substitution, embedded
// string references, conditions, trial patterns, VARIANT conversions.
#include <gtest/gtest.h>

#include <clocale>
#include <locale.h>
#include <string>
#include <vector>

#include "convert/output/embedded_string_ref.h"
#include "convert/output/evaluate_condition.h"
#include "convert/output/item_value.h"
#include "convert/variant_convert.h"
#include "format/alternate_fmt.h"
#include "format/trial_patterns.h"
#include "platform/automation/oleauto.h"
#include "tests/support/test_catalog.h"

namespace vornfmt::test {
namespace {

TEST(PieceText, SubstitutesOnceAndFoldsPercents) {
  struct Case {
    const char16_t* piece;
    const char16_t* expected;
  };
  for (const Case& c : std::vector<Case>{{u"%s km", u"7 km"},
                                         {u"50%%", u"50%"},
                                         {u"%s,%s", u"7,"},            // one value only
                                         {u"%5.2f %s", u"%5.2f 7"},    // not a conversion: as written
                                         {u"%n%p%s", u"%n%p7"},        // never reaches a C formatter
                                         {u"100%", u"100%"},
                                         {u"", u""}})
    EXPECT_EQ(PieceText(c.piece, u"7"), c.expected) << std::u16string(c.piece).size();
}

struct RefCase {
  const char* behaviour;
  std::string text;
  bool valid;
  const char16_t* programId;
  int scope;
  int index;
};

TEST(EmbeddedStringRef, ReadsTheReference) {
  const std::vector<RefCase> cases{
      {"Full", "\x80" "0123456789ABCDEF-3:17", true, u"0123456789ABCDEF", 3, 17},
      {"IndexOnly", "\x80" "17", true, u"9000000000000001", 0, 17},
      {"ScopeAndIndex", "\x80" "2:5;note", true, u"9000000000000001", 2, 5},
      {"ShortProgramId", "\x80" "123-1:2", true, u"0123000000000000", 1, 2},
      {"NoMarker", "17", false, u"9000000000000001", 0, 0},
      {"Empty", "", false, u"9000000000000001", 0, 0},
      {"LetterInIndex", "\x80" "1x", false, u"9000000000000001", 0, 0},
      {"NothingAfterColon", "\x80" "3:", false, u"9000000000000001", 3, 0},
  };
  for (const RefCase& c : cases) {
    EmbeddedStringRef ref;
    ref.text = c.text;
    ref.Parse(u"9000000000000001");
    EXPECT_EQ(ref.valid, c.valid) << c.behaviour;
    EXPECT_EQ(ref.ProgramIdText(), c.programId) << c.behaviour;
    EXPECT_EQ(ref.scope, c.scope) << c.behaviour;
    EXPECT_EQ(ref.index, c.index) << c.behaviour;
  }
}

struct ConditionCase {
  const char16_t* condition;
  double a;
  bool set;
  bool expected;
};

TEST(EvaluateCondition, OnTheCurrentValues) {
  TestCatalog catalog{"convert", true};
  CTypeTreeItem& root = catalog.Load(u"UNVT_pair");
  const std::vector<ConditionCase> cases{
      {u"(a>=10)", 10, true, true},      {u"(a>=10)", 9.5, true, false},   {u"( a >= 10 )", 10, true, true},
      {u"(a>10)", 10, true, false},      {u"(a<=5)", 5, true, true},       {u"(a<5)", 5, true, false},
      {u"(a==1e1)", 10, true, true},     {u"(a!=10)", 10, true, false},    {u"(a==abc)", 0, true, true},
      {u"(a=5)", 5, true, false},        {u"(a==5)", 5, false, false},     {u"(nothing==0)", 0, true, false},
      {u"(a==0.1)", 0.1f, true, false},  {u"(UNVT_pair==0)", 0, true, false}, {u"(a>=+2.5e0x)", 2.5, true, true},
      {u"(a>=1e999)", 1e308, true, false}, {u"(a<=-1e999)", -1e308, true, false}, {u"(a<=1e-999)", 0, true, true}};
  for (const ConditionCase& c : cases) {
    CAlternateFmt format(u"", false);
    format.Compile(std::u16string(u"(") + c.condition + u"?(\"t\"):(\"e\"))", u"UNVT_pair");
    ASSERT_EQ(format.Children().size(), 1u);
    const CBracketsObject& node = *format.Children()[0];
    ASSERT_EQ(node.Kind(), BracketKind::Conditional);
    root.ClearValues();
    if (c.set) root.GetSubfield(0)->value.Store(c.a);
    EXPECT_EQ(EvaluateCondition(node, root), c.expected) << std::u16string(c.condition).size() << " " << c.a;
  }
  root.value.Store(3);
  CAlternateFmt self(u"", false);
  self.Compile(u"((UNVT_pair==3)?(\"t\"):(\"e\"))", u"UNVT_pair");
  EXPECT_TRUE(EvaluateCondition(*self.Children()[0], root));
}

// Under a decimal comma the format file's numbers still read with '.'.
TEST(EvaluateCondition, ReadsTheFormatFilesNumberInEveryLocale) {
  locale_t comma = newlocale(LC_NUMERIC_MASK, "de_DE.UTF-8", static_cast<locale_t>(0));
  if (comma == static_cast<locale_t>(0)) GTEST_SKIP() << "de_DE.UTF-8 is not installed (locale -a)";
  TestCatalog catalog{"convert", true};
  CTypeTreeItem& root = catalog.Load(u"UNVT_pair");
  CAlternateFmt format(u"", false);
  format.Compile(u"((a>=327.665)?(\"t\"):(\"e\"))", u"UNVT_pair");
  root.GetSubfield(0)->value.Store(327.18);
  const locale_t previous = uselocale(comma);
  const bool chosen = EvaluateCondition(*format.Children()[0], root);
  uselocale(previous);
  freelocale(comma);
  EXPECT_FALSE(chosen);
}

std::vector<std::u16string> Patterns(const char16_t* specification) {
  CAlternateFmt format(u"", false);
  format.Compile(specification, u"T");
  std::vector<std::u16string> out;
  EXPECT_TRUE(ExpandPatterns(format, out));
  return out;
}

size_t LeafLists(const char16_t* specification) {
  CAlternateFmt format(u"", false);
  format.Compile(specification, u"T");
  std::vector<LeafList> out;
  EXPECT_TRUE(ExpandLeafLists(format, out));
  return out.size();
}

TEST(TrialPatterns, FirstChildVariesFastest) {
  EXPECT_EQ(Patterns(u"(((a==1)?(\"A1\"):(\"A2\"))((b==1)?(\"B1\"):(\"B2\")))"),
            (std::vector<std::u16string>{u"A1B1", u"A2B1", u"A1B2", u"A2B2"}));
  EXPECT_EQ(Patterns(u"(\"%d\")"), std::vector<std::u16string>{u"%d"});
}

TEST(TrialPatterns, EmptyGroupsGivePatternsButNoLists) {
  EXPECT_EQ(Patterns(u"(()(\"x\"))"), std::vector<std::u16string>{u"x"});
  EXPECT_EQ(LeafLists(u"(()(\"x\"))"), 1u);  // an empty result takes the next child's lists
  EXPECT_EQ(LeafLists(u"((\"x\")())"), 0u);  // combining with no list leaves none
}

TEST(TrialPatterns, CountsStopAboveTheCap) {
  std::u16string many = u"(";
  for (int i = 0; i < 40; ++i) many += u"((a==1)?(\"x\"):(\"y\"))";
  many += u")";
  CAlternateFmt format(u"", false);
  format.Compile(many, u"T");
  const TrialPatterns trials(format);
  EXPECT_TRUE(trials.TooMany());
  EXPECT_EQ(trials.PatternCount(), kMaxTrialPatterns + 1);
  std::vector<std::u16string> out;
  EXPECT_FALSE(ExpandPatterns(format, out));
  EXPECT_TRUE(out.empty());
}

// ---- VARIANT conversions ------------------------------------------------------

struct ConvertCase {
  const char* behaviour;
  const char16_t* text;  // converted from VT_BSTR
  VARTYPE vt;
  HRESULT code;
  VARTYPE resultType;
  double number;
};

TEST(ConvertVariant, FromText) {
  const std::vector<ConvertCase> cases{
      {"Plain", u"21.5", VT_R8, S_OK, VT_R8, 21.5},
      {"Blanks", u" 12 ", VT_I4, S_OK, VT_I4, 12},
      {"LeadingNumberOfNumericLookingText", u"1.2.3", VT_R8, S_OK, VT_R8, 1.2},
      {"I2LowBits", u"70000e", VT_I2, S_OK, VT_I2, 4464},
      {"I1GivesUI1", u"300e", VT_I1, S_OK, VT_UI1, 44},
      {"NotNumeric", u"abc", VT_R8, 1, VT_EMPTY, 0},
      {"Empty", u"", VT_R8, 1, VT_EMPTY, 0},
      {"Overflow", u"1e400", VT_R8, DISP_E_OVERFLOW, VT_EMPTY, 0},
      {"NoReaderForUI2", u"1.2.3", VT_UI2, 1, VT_EMPTY, 0},
  };
  for (const ConvertCase& c : cases) {
    VARIANT v;
    VariantInit(&v);
    SetBstr(v, c.text);
    EXPECT_EQ(ConvertVariant(&v, c.vt), c.code) << c.behaviour;
    EXPECT_EQ(v.vt, c.resultType) << c.behaviour;
    const double got = v.vt == VT_R8 ? v.dblVal : v.vt == VT_I4 ? v.lVal : v.vt == VT_I2 ? v.iVal
                     : v.vt == VT_UI1 ? v.bVal : 0.0;
    EXPECT_DOUBLE_EQ(got, c.number) << c.behaviour;
    VariantClear(&v);
  }
}

TEST(ConvertVariant, ToText) {
  VARIANT r4, ui4, i1;
  r4.vt = VT_R4;
  r4.fltVal = 0.1f;  // widened to double, then fifteen digits
  ui4.vt = VT_UI4;
  ui4.ulVal = 4000000000u;
  i1.vt = VT_I1;
  i1.cVal = -5;
  for (auto [v, text] : {std::pair{r4, u"0.100000001490116"}, {ui4, u"4000000000"}, {i1, u"-5"}}) {
    ASSERT_EQ(ConvertVariant(&v, VT_BSTR), S_OK);
    EXPECT_EQ(std::u16string(BstrText(v)), text);
    VariantClear(&v);
  }
}

TEST(ConvertVariant, BoolTravelsAsOneOrZero) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = VARIANT_TRUE;
  ASSERT_EQ(ConvertVariant(&v, VT_R8), S_OK);
  EXPECT_EQ(v.dblVal, 1.0);
  v.vt = VT_BOOL;
  v.boolVal = 5;  // not a proper VARIANT_BOOL: any non-zero value is true
  ASSERT_EQ(ConvertVariant(&v, VT_BSTR), S_OK);
  EXPECT_EQ(std::u16string(BstrText(v)), u"1");
  VariantClear(&v);
  v.vt = VT_R8;
  v.dblVal = -0.0;
  ASSERT_EQ(ConvertVariant(&v, VT_BOOL), S_OK);
  EXPECT_EQ(v.boolVal, VARIANT_FALSE);
}

TEST(ConvertVariantCopy, LeavesTheValueOnFailure) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_R8;
  v.dblVal = 300.0;
  EXPECT_EQ(ConvertVariantCopy(&v, VT_UI1), DISP_E_OVERFLOW);
  EXPECT_EQ(v.vt, VT_R8);
  EXPECT_EQ(v.dblVal, 300.0);
  EXPECT_EQ(ConvertVariant(&v, VT_UI1), DISP_E_OVERFLOW);
  EXPECT_EQ(v.vt, VT_EMPTY);
}

}  // namespace
}  // namespace vornfmt::test
