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
#include "tests/convert/convert_catalog.h"

namespace vornfmt::test {
namespace {

struct WriteCase {
  const char* behaviour;
  const char16_t* type;
  const char16_t* text;
  int16_t sub;
  const char* before;
  bool ok;
  const char* after;
};

std::string Name(const testing::TestParamInfo<WriteCase>& info) { return info.param.behaviour; }

class WritesText : public testing::TestWithParam<WriteCase> {
 protected:
  ConvertCatalog catalog;
};

TEST_P(WritesText, IntoTheBytes) {
  const WriteCase& c = GetParam();
  CTypeTreeItem* root = catalog.Load(c.type);
  ASSERT_NE(root, nullptr);
  Bytes raw = Hex(c.before);
  VARIANT value;
  VariantInit(&value);
  SetBstr(value, c.text);
  EXPECT_EQ(WriteFromVariant(*root, raw.data(), raw.size(), &value, c.sub) != 0, c.ok);
  EXPECT_EQ(raw, Hex(c.after));
  VariantClear(&value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WritesText,
    testing::Values(
        WriteCase{"UnscalesThroughSingleTenth", u"UNVT_raw16", u"21.5", -1, "0000", true, "00D7"},
        WriteCase{"TrailingBlankRefused", u"UNVT_raw16", u"21.5 ", -1, "AAAA", false, "AAAA"},
        WriteCase{"LettersInNumberRefused", u"UNVT_tenths", u"1x", -1, "1234", false, "1234"},
        WriteCase{"EmptyTextIsZero", u"UNVT_tenths", u"", -1, "1234", true, "0000"},
        WriteCase{"NegativeTenths", u"UNVT_tenths", u"-0.2", -1, "0000", true, "FFFE"},
        WriteCase{"HexPlain", u"UNVT_hex", u"ff", -1, "0000", true, "00FF"},
        WriteCase{"HexWithPrefix", u"UNVT_hex", u"0xff", -1, "0000", true, "00FF"},
        WriteCase{"HexIgnoresRest", u"UNVT_hex", u"fz", -1, "0000", true, "000F"},
        WriteCase{"HexSaturatesThenBreaks", u"UNVT_hex", u"123456789", -1, "0000", false, "0000"},
        WriteCase{"EnumName", u"UNVT_greek", u"gamma", -1, "00", true, "02"},
        WriteCase{"EnumNotMemberIsZero", u"UNVT_greek", u"delta", -1, "01", true, "00"},
        WriteCase{"CharacterArrayCleared", u"UNVT_name", u"abc", -1, "4142434445464748", true,
                  "6162630000000000"},
        // The element's item is the array's: the text fills the array from s[0],
        // and only the addressed element is encoded.
        WriteCase{"ArrayElementThroughArrayItem", u"UNVT_name", u"z", 1, "4142434445464748", true,
                  "4100434445464748"},
        WriteCase{"TwoFieldsWithLiteral", u"UNVT_pair", u"12/34", -1, "0000", true, "0C22"},
        WriteCase{"MissingLiteralRefused", u"UNVT_pair", u"12-34", -1, "AAAA", false, "AAAA"},
        WriteCase{"ScaledStructureField", u"UNVT_switch", u"21.5 1", -1, "0000", true, "2B01"},
        WriteCase{"OneSubfieldOnly", u"UNVT_switch", u"7", 1, "2B01", true, "2B07"},
        WriteCase{"ThenBranchPattern", u"UNVT_cond", u"1 on 50", -1, "0000", true, "0132"},
        WriteCase{"ElseBranchLeavesFieldUnset", u"UNVT_cond", u"2 off", -1, "AAAA", false, "02AA"},
        WriteCase{"LiteralFirstTrialFallsThrough", u"UNVT_bigsmall", u"small 5", -1, "AA", true, "05"},
        WriteCase{"BranchDisagreementRejected", u"UNVT_bigsmall", u"big 5", -1, "AA", false, "AA"},
        WriteCase{"BranchAgreementAccepted", u"UNVT_bigsmall", u"big 50", -1, "AA", true, "32"},
        WriteCase{"LastOfAllowedPatterns", u"UNVT_cap12", u"0yyyyyyyyyyyy", -1, "AA", true, "00"},
        WriteCase{"FirstOfAllowedPatterns", u"UNVT_cap12", u"1xxxxxxxxxxxx", -1, "AA", true, "01"},
        WriteCase{"TooManyPatterns", u"UNVT_cap13", u"1xxxxxxxxxxxxx", -1, "AA", false, "AA"},
        WriteCase{"NoFormat", u"UNVT_noformat", u"1", -1, "AA", false, "AA"},
        WriteCase{"NoSuchSubfield", u"UNVT_pair", u"1", 5, "AAAA", false, "AAAA"},
        WriteCase{"ShortBufferUntouched", u"UNVT_raw16", u"1", -1, "AA", false, "AA"}),
    Name);

// The stored values themselves, before encoding rounds them.
class StoredValue : public testing::Test {
 protected:
  ConvertCatalog catalog;
};

TEST_F(StoredValue, TwentyOneAndAHalfThroughSingleTenth) {
  CTypeTreeItem* root = catalog.Load(u"UNVT_raw16");
  ASSERT_NE(root, nullptr);
  root->ClearValues();
  const double expected = 21.5 / static_cast<double>(0.1f);  // shows as 214.99999679625
  EXPECT_TRUE(ParseText(*root, u"21.5", -1));
  EXPECT_EQ(root->value.value, expected);
  EXPECT_EQ(RealText(root->value.value), u"214.99999679625");
  root->ClearValues();
  EXPECT_FALSE(ParseText(*root, u"21.5 ", -1));
  EXPECT_TRUE(root->value.IsSet());
  EXPECT_EQ(root->value.value, expected);
}

TEST_F(StoredValue, DecimalKeepsFractions) {
  CTypeTreeItem* root = catalog.Load(u"UNVT_pair");
  ASSERT_NE(root, nullptr);
  EXPECT_TRUE(ParseText(*root, u"2.5/3", -1));
  EXPECT_DOUBLE_EQ(root->GetSubfield(0)->value.value, 2.5);
  EXPECT_DOUBLE_EQ(root->GetSubfield(1)->value.value, 3.0);
}

TEST_F(StoredValue, SetNumberUsesTheItemOrStoresUnchanged) {
  CTypeTreeItem* root = catalog.Load(u"UNVT_switch");
  ASSERT_NE(root, nullptr);
  const CAlternateFmt* format = root->GetFormat();
  ASSERT_NE(format, nullptr);
  ASSERT_TRUE(SetNumber(*format, *root->GetSubfield(0), 4.5));
  EXPECT_DOUBLE_EQ(root->GetSubfield(0)->value.value, 4.5);  // item "value" has scale 1
  ASSERT_TRUE(SetNumber(*format, *root, 7.0));                // no item named UNVT_switch
  EXPECT_DOUBLE_EQ(root->value.value, 7.0);
}

TEST_F(StoredValue, IndexedLookUpAgreesWithTheWalk) {
  CTypeTreeItem* root = catalog.Load(u"UNVT_fields30");
  ASSERT_NE(root, nullptr);
  const CAlternateFmt* format = root->GetFormat();
  ASSERT_NE(format, nullptr);
  for (int16_t sub = 0; sub < root->GetSubfieldCount(); ++sub) {
    const std::u16string name = root->GetSubfield(sub)->GetName();
    const CFmtStringItem* item = format->FindItem(name);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item, FindItem(*format, name));
    EXPECT_EQ(root->FindSubIndexByName(name), sub);
  }
  EXPECT_EQ(format->FindItem(u"f30"), nullptr);
  EXPECT_EQ(root->FindSubIndexByName(u"F00"), -1);
}

}  // namespace
}  // namespace vornfmt::test
