// Text back into raw bytes through the test formats: scaled numbers,
// trailing characters, hexadecimal, enumeration names, character arrays,
// literal text, conditional trials and the cap on trial patterns.
#include <gtest/gtest.h>

#include <string>

#include "convert/conversion_drivers.h"
#include "convert/input/parse_into.h"
#include "convert/output/locale_number_text.h"
#include "convert/tree_text.h"
#include "convert/variant_convert.h"
#include "format/alternate_fmt.h"
#include "format/format_index.h"
#include "platform/automation/oleauto.h"
#include "tests/support/test_catalog.h"

namespace vornfmt::test {
namespace {

TEST(WritesText, IntoTheBytes) {
  TestCatalog catalog{"convert", true};
  const struct {
    const char* behaviour;
    const char16_t* type;
    const char16_t* text;
    int16_t sub;
    const char* before;
    bool ok;
    const char* after;
  } rows[] = {
      {"UnscalesThroughSingleTenth", u"UNVT_raw16", u"21.5", -1, "0000", true, "00D7"},
      {"TrailingBlankRefused", u"UNVT_raw16", u"21.5 ", -1, "AAAA", false, "AAAA"},
      {"LettersInNumberRefused", u"UNVT_tenths", u"1x", -1, "1234", false, "1234"},
      {"EmptyTextIsZero", u"UNVT_tenths", u"", -1, "1234", true, "0000"},
      {"NegativeTenths", u"UNVT_tenths", u"-0.2", -1, "0000", true, "FFFE"},
      {"HexPlain", u"UNVT_hex", u"ff", -1, "0000", true, "00FF"},
      {"HexWithPrefix", u"UNVT_hex", u"0xff", -1, "0000", true, "00FF"},
      {"HexIgnoresRest", u"UNVT_hex", u"fz", -1, "0000", true, "000F"},
      {"HexSaturatesThenBreaks", u"UNVT_hex", u"123456789", -1, "0000", false, "0000"},
      {"EnumName", u"UNVT_greek", u"gamma", -1, "00", true, "02"},
      {"EnumNotMemberIsZero", u"UNVT_greek", u"delta", -1, "01", true, "00"},
      {"CharacterArrayCleared", u"UNVT_name", u"abc", -1, "4142434445464748", true,
        "6162630000000000"},
    // The element's item is the array's: the text fills the array from s[0],
    // and only the addressed element is encoded.
      {"ArrayElementThroughArrayItem", u"UNVT_name", u"z", 1, "4142434445464748", true,
        "4100434445464748"},
      {"TwoFieldsWithLiteral", u"UNVT_pair", u"12/34", -1, "0000", true, "0C22"},
      {"MissingLiteralRefused", u"UNVT_pair", u"12-34", -1, "AAAA", false, "AAAA"},
      {"ScaledStructureField", u"UNVT_switch", u"21.5 1", -1, "0000", true, "2B01"},
      {"OneSubfieldOnly", u"UNVT_switch", u"7", 1, "2B01", true, "2B07"},
      {"ThenBranchPattern", u"UNVT_cond", u"1 on 50", -1, "0000", true, "0132"},
      {"ElseBranchLeavesFieldUnset", u"UNVT_cond", u"2 off", -1, "AAAA", false, "02AA"},
      {"LiteralFirstTrialFallsThrough", u"UNVT_bigsmall", u"small 5", -1, "AA", true, "05"},
      {"BranchDisagreementRejected", u"UNVT_bigsmall", u"big 5", -1, "AA", false, "AA"},
      {"BranchAgreementAccepted", u"UNVT_bigsmall", u"big 50", -1, "AA", true, "32"},
      {"LastOfAllowedPatterns", u"UNVT_cap12", u"0yyyyyyyyyyyy", -1, "AA", true, "00"},
      {"FirstOfAllowedPatterns", u"UNVT_cap12", u"1xxxxxxxxxxxx", -1, "AA", true, "01"},
      {"TooManyPatterns", u"UNVT_cap13", u"1xxxxxxxxxxxxx", -1, "AA", false, "AA"},
      {"NoFormat", u"UNVT_noformat", u"1", -1, "AA", false, "AA"},
      {"NoSuchSubfield", u"UNVT_pair", u"1", 5, "AAAA", false, "AAAA"},
      {"ShortBufferUntouched", u"UNVT_raw16", u"1", -1, "AA", false, "AA"},
  };
  for (const auto& c : rows) {
    SCOPED_TRACE(c.behaviour);
    CTypeTreeItem& root = catalog.Load(c.type);
    Bytes raw = Hex(c.before);
    VARIANT value;
    VariantInit(&value);
    SetBstr(value, c.text);
    EXPECT_EQ(WriteFromVariant(root, raw.data(), raw.size(), &value, c.sub) != 0, c.ok);
    EXPECT_EQ(raw, Hex(c.after));
    VariantClear(&value);
  }
}

// The stored values themselves, before encoding rounds them.
class StoredValue : public testing::Test {
 protected:
  TestCatalog catalog{"convert", true};
};

TEST_F(StoredValue, TwentyOneAndAHalfThroughSingleTenth) {
  CTypeTreeItem& root = catalog.Load(u"UNVT_raw16");
  root.ClearValues();
  const double expected = 21.5 / static_cast<double>(0.1f);  // shows as 214.99999679625
  EXPECT_TRUE(ParseText(root, u"21.5", -1));
  EXPECT_EQ(root.value.value, expected);
  EXPECT_EQ(RealText(root.value.value), u"214.99999679625");
  root.ClearValues();
  EXPECT_FALSE(ParseText(root, u"21.5 ", -1));
  EXPECT_TRUE(root.value.IsSet());
  EXPECT_EQ(root.value.value, expected);
}

TEST_F(StoredValue, DecimalKeepsFractions) {
  CTypeTreeItem& root = catalog.Load(u"UNVT_pair");
  EXPECT_TRUE(ParseText(root, u"2.5/3", -1));
  EXPECT_DOUBLE_EQ(root.GetSubfield(0)->value.value, 2.5);
  EXPECT_DOUBLE_EQ(root.GetSubfield(1)->value.value, 3.0);
}

TEST_F(StoredValue, SetNumberUsesTheItemOrStoresUnchanged) {
  CTypeTreeItem& root = catalog.Load(u"UNVT_switch");
  const CAlternateFmt* format = root.GetFormat();
  ASSERT_NE(format, nullptr);
  ASSERT_TRUE(SetNumber(*format, *root.GetSubfield(0), 4.5));
  EXPECT_DOUBLE_EQ(root.GetSubfield(0)->value.value, 4.5);  // item "value" has scale 1
  ASSERT_TRUE(SetNumber(*format, root, 7.0));                // no item named UNVT_switch
  EXPECT_DOUBLE_EQ(root.value.value, 7.0);
}

TEST_F(StoredValue, IndexedLookUpAgreesWithTheWalk) {
  CTypeTreeItem& root = catalog.Load(u"UNVT_fields30");
  const CAlternateFmt* format = root.GetFormat();
  ASSERT_NE(format, nullptr);
  for (int16_t sub = 0; sub < root.GetSubfieldCount(); ++sub) {
    const std::u16string name = root.GetSubfield(sub)->GetName();
    const CFmtStringItem* item = format->FindItem(name);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item, FindItem(*format, name));
    EXPECT_EQ(root.FindSubIndexByName(name), sub);
  }
  EXPECT_EQ(format->FindItem(u"f30"), nullptr);
  EXPECT_EQ(root.FindSubIndexByName(u"F00"), -1);
  CTypeTreeItem& bigsmall = catalog.Load(u"UNVT_bigsmall");  // "v" in both branches: the first item wins
  const CFmtStringItem* first = FindItem(*bigsmall.GetFormat(), u"v");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Piece(), u"big %s");
  EXPECT_EQ(bigsmall.GetFormat()->FindItem(u"v"), first);
}

}  // namespace
}  // namespace vornfmt::test
