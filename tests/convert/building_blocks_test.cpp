// The pieces the formatter is built from: piece substitution, embedded
// string references, conditions, trial patterns, VARIANT conversions.
#include <gtest/gtest.h>

#include <clocale>
#include <locale.h>
#include <string>
#include <tuple>
#include <utility>
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
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"%s km", u"7 km"}, {u"50%%", u"50%"}, {u"%s,%s", u"7,"},  // one value only
      {u"%5.2f %s", u"%5.2f 7"},                                   // not a conversion: as written
      {u"%n%p%s", u"%n%p7"},                                       // never reaches a C formatter
      {u"100%", u"100%"}, {u"", u""}};
  for (const auto& [piece, expected] : cases)
    EXPECT_EQ(PieceText(piece, u"7"), expected) << testing::PrintToString(std::u16string(piece));
}

// Writing an item's value straight onto the text gives what putting its
// value text into its piece gives, in the C locale and under a decimal comma.
TEST(AppendItemValue, AgreesWithThePieceAndTheValueText) {
  TestCatalog catalog{"convert", true};
  locale_t comma = newlocale(LC_NUMERIC_MASK, "de_DE.UTF-8", static_cast<locale_t>(0));
  const double values[] = {0.0, 21.5, -3.25, 1e20, 0.1, 235.0, -0.0};
  int compared = 0;
  for (locale_t numeric : {static_cast<locale_t>(0), comma}) {
    const locale_t previous = numeric ? uselocale(numeric) : static_cast<locale_t>(0);
    for (const char16_t* type : {u"UNVT_tenths", u"UNVT_switch", u"UNVT_pair", u"UNVT_raw16"}) {
      CTypeTreeItem& root = catalog.Load(type);
      const CAlternateFmt* format = root.GetFormat();
      ASSERT_NE(format, nullptr);
      const int16_t subfields = root.GetSubfieldCount();
      for (int16_t sub = subfields > 0 ? 0 : -1; sub < subfields; ++sub) {
        CTypeTreeItemBase& node = *root.GetSubfield(sub);
        const CFmtStringItem* item = format->FindItemOrArrayItem(node.GetName());
        if (!item) item = format->Items().empty() ? nullptr : format->Items()[0].get();
        ASSERT_NE(item, nullptr);
        for (double value : values) {
          node.value.Store(value);
          std::u16string direct = u"x", pieced = u"x";
          AppendItemValue(direct, *item, node);
          AppendPiece(pieced, item->Piece(), ValueText(*item, node));
          EXPECT_EQ(direct, pieced) << testing::PrintToString(std::u16string(type)) << ' ' << value;
          ++compared;
        }
      }
    }
    if (numeric) uselocale(previous);
  }
  if (comma) freelocale(comma);
  EXPECT_GE(compared, 4 * 7);
}

TEST(EmbeddedStringRef, ReadsTheReference) {
  // What, text, valid, program ID, scope, index.
  const std::tuple<const char*, std::string, bool, std::u16string, int, int> cases[] = {
      {"Full", "\x80" "0123456789ABCDEF-3:17", true, u"0123456789ABCDEF", 3, 17},
      {"IndexOnly", "\x80" "17", true, u"9000000000000001", 0, 17},
      {"ScopeAndIndex", "\x80" "2:5;note", true, u"9000000000000001", 2, 5},
      {"ShortProgramId", "\x80" "123-1:2", true, u"0123000000000000", 1, 2},
      {"NoMarker", "17", false, u"9000000000000001", 0, 0}, {"Empty", "", false, u"9000000000000001", 0, 0},
      {"LetterInIndex", "\x80" "1x", false, u"9000000000000001", 0, 0},
      {"NothingAfterColon", "\x80" "3:", false, u"9000000000000001", 3, 0},
  };
  for (const auto& [what, text, valid, programId, scope, index] : cases) {
    EmbeddedStringRef ref;
    ref.text = text;
    ref.Parse(u"9000000000000001");
    EXPECT_EQ(std::tuple(ref.valid, ref.ProgramIdText(), ref.scope, ref.index),
              std::tuple(valid, programId, scope, index)) << what;
  }
}

// Compiles "(<condition>?("t"):("e"))" for UNVT_pair and evaluates it.
bool Evaluate(const std::u16string& condition, CTypeTreeItem& root) {
  CAlternateFmt format(u"", false);
  format.Compile(u"(" + condition + u"?(\"t\"):(\"e\"))", u"UNVT_pair");
  if (format.Children().size() != 1 || format.Children()[0]->Kind() != BracketKind::Conditional) {
    ADD_FAILURE() << "not compiled as one condition";
    return false;
  }
  return EvaluateCondition(*format.Children()[0], root);
}

TEST(EvaluateCondition, OnTheCurrentValues) {
  TestCatalog catalog{"convert", true};
  CTypeTreeItem& root = catalog.Load(u"UNVT_pair");
  const std::tuple<const char16_t*, double, bool, bool> cases[] = {  // condition, a, a set, the result
      {u"(a>=10)", 10, true, true},      {u"(a>=10)", 9.5, true, false},   {u"( a >= 10 )", 10, true, true},
      {u"(a>10)", 10, true, false},      {u"(a<=5)", 5, true, true},       {u"(a<5)", 5, true, false},
      {u"(a==1e1)", 10, true, true},     {u"(a!=10)", 10, true, false},    {u"(a==abc)", 0, true, true},
      {u"(a=5)", 5, true, false},        {u"(a==5)", 5, false, false},     {u"(nothing==0)", 0, true, false},
      {u"(a==0.1)", 0.1f, true, false},  {u"(UNVT_pair==0)", 0, true, false}, {u"(a>=+2.5e0x)", 2.5, true, true},
      {u"(a>=1e999)", 1e308, true, false}, {u"(a<=-1e999)", -1e308, true, false}, {u"(a<=1e-999)", 0, true, true}};
  for (const auto& [condition, a, set, expected] : cases) {
    SCOPED_TRACE(testing::PrintToString(std::u16string(condition)) + " " + testing::PrintToString(a));
    root.ClearValues();
    if (set) root.GetSubfield(0)->value.Store(a);
    EXPECT_EQ(Evaluate(condition, root), expected);
  }
  root.value.Store(3);
  EXPECT_TRUE(Evaluate(u"(UNVT_pair==3)", root));
}

// Under a decimal comma the format file's numbers still read with '.'.
TEST(EvaluateCondition, ReadsTheFormatFilesNumberInEveryLocale) {
  locale_t comma = newlocale(LC_NUMERIC_MASK, "de_DE.UTF-8", static_cast<locale_t>(0));
  if (comma == static_cast<locale_t>(0)) GTEST_SKIP() << "de_DE.UTF-8 is not installed (locale -a)";
  TestCatalog catalog{"convert", true};
  CTypeTreeItem& root = catalog.Load(u"UNVT_pair");
  root.GetSubfield(0)->value.Store(327.18);
  const locale_t previous = uselocale(comma);
  const bool chosen = Evaluate(u"(a>=327.665)", root);
  uselocale(previous);
  freelocale(comma);
  EXPECT_FALSE(chosen);
}

// The trial patterns of `specification`, and how many leaf lists it gives.
std::pair<std::vector<std::u16string>, size_t> Trials(const char16_t* specification) {
  CAlternateFmt format(u"", false);
  format.Compile(specification, u"T");
  std::vector<std::u16string> patterns;
  std::vector<LeafList> lists;
  EXPECT_TRUE(ExpandPatterns(format, patterns));
  EXPECT_TRUE(ExpandLeafLists(format, lists));
  return {patterns, lists.size()};
}

// The first child varies fastest; empty groups give patterns but no lists.
TEST(TrialPatterns, CombineTheBranchesOfEveryChild) {
  using Result = std::pair<std::vector<std::u16string>, size_t>;
  EXPECT_EQ(Trials(u"(((a==1)?(\"A1\"):(\"A2\"))((b==1)?(\"B1\"):(\"B2\")))"),
            Result({u"A1B1", u"A2B1", u"A1B2", u"A2B2"}, 4));
  EXPECT_EQ(Trials(u"(\"%d\")"), Result({u"%d"}, 1));
  EXPECT_EQ(Trials(u"(()(\"x\"))"), Result({u"x"}, 1));  // an empty result takes the next child's lists
  EXPECT_EQ(Trials(u"((\"x\")())").second, 0u);         // combining with no list leaves none
}

TEST(TrialPatterns, CountsStopAboveTheCap) {
  std::u16string many = u"(";
  for (int i = 0; i < 40; ++i) many += u"((a==1)?(\"x\"):(\"y\"))";
  CAlternateFmt format(u"", false);
  format.Compile(many + u")", u"T");
  const TrialPatterns trials(format);
  EXPECT_EQ(std::tuple(trials.TooMany(), trials.PatternCount()), std::tuple(true, kMaxTrialPatterns + 1));
  std::vector<std::u16string> out;
  EXPECT_FALSE(ExpandPatterns(format, out));
  EXPECT_TRUE(out.empty());
}


// A VARIANT of type `vt` holding `n`, or a VT_BSTR holding `text`.
VARIANT Of(VARTYPE vt, double n) {
  VARIANT v;
  VariantInit(&v);
  v.vt = vt;
  switch (vt) {
    case VT_R4: v.fltVal = static_cast<float>(n); break;
    case VT_UI4: v.ulVal = static_cast<ULONG>(n); break;
    case VT_I1: v.cVal = static_cast<CHAR>(n); break;
    case VT_BOOL: v.boolVal = static_cast<VARIANT_BOOL>(n); break;
    default: v.dblVal = n; break;
  }
  return v;
}
VARIANT Of(const char16_t* text) {
  VARIANT v;
  VariantInit(&v);
  SetBstr(v, text);
  return v;
}

TEST(ConvertVariant, InPlace) {
  struct {
    VARIANT v;  // converted in place
    VARTYPE vt;
    HRESULT code;
    VARTYPE resultType;
    double number;  // the result read back as a number, or
    const char16_t* text = u"";  // as text
  } cases[] = {
      {Of(u"21.5"), VT_R8, S_OK, VT_R8, 21.5}, {Of(u" 12 "), VT_I4, S_OK, VT_I4, 12},
      {Of(u"1.2.3"), VT_R8, S_OK, VT_R8, 1.2},  // the leading number of numeric-looking text
      {Of(u"70000e"), VT_I2, S_OK, VT_I2, 4464},  // VT_I2: the low bits
      {Of(u"300e"), VT_I1, S_OK, VT_UI1, 44},     // VT_I1 gives VT_UI1
      {Of(u"abc"), VT_R8, 1, VT_EMPTY, 0}, {Of(u""), VT_R8, 1, VT_EMPTY, 0},
      {Of(u"1e400"), VT_R8, DISP_E_OVERFLOW, VT_EMPTY, 0},
      {Of(u"1.2.3"), VT_UI2, 1, VT_EMPTY, 0},  // no reader for VT_UI2
      {Of(VT_R4, 0.1), VT_BSTR, S_OK, VT_BSTR, 0, u"0.100000001490116"},  // widened, then fifteen digits
      {Of(VT_UI4, 4e9), VT_BSTR, S_OK, VT_BSTR, 0, u"4000000000"}, {Of(VT_I1, -5), VT_BSTR, S_OK, VT_BSTR, 0, u"-5"},
      // VT_BOOL travels as one or zero; any non-zero value is true.
      {Of(VT_BOOL, VARIANT_TRUE), VT_R8, S_OK, VT_R8, 1.0}, {Of(VT_BOOL, 5), VT_BSTR, S_OK, VT_BSTR, 0, u"1"},
      {Of(VT_R8, -0.0), VT_BOOL, S_OK, VT_BOOL, VARIANT_FALSE},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    const HRESULT code = ConvertVariant(&c.v, c.vt);
    const VARIANT& v = c.v;
    const double number = v.vt == VT_R8 ? v.dblVal : v.vt == VT_I4 ? v.lVal : v.vt == VT_I2 ? v.iVal
                        : v.vt == VT_UI1 ? v.bVal : v.vt == VT_BOOL ? v.boolVal : 0.0;
    const std::u16string text = v.vt == VT_BSTR ? std::u16string(BstrText(v)) : u"";
    EXPECT_EQ(std::tuple(code, v.vt, number, text), std::tuple(c.code, c.resultType, c.number, std::u16string(c.text)));
    VariantClear(&c.v);
  }
}

TEST(ConvertVariantCopy, LeavesTheValueOnFailure) {
  VARIANT v = Of(VT_R8, 300.0);
  EXPECT_EQ(ConvertVariantCopy(&v, VT_UI1), DISP_E_OVERFLOW);
  EXPECT_EQ(std::tuple(v.vt, v.dblVal), std::tuple(VT_R8, 300.0));
  EXPECT_EQ(ConvertVariant(&v, VT_UI1), DISP_E_OVERFLOW);
  EXPECT_EQ(v.vt, VT_EMPTY);
}

}  // namespace
}  // namespace vornfmt::test
