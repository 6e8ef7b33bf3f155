// Raw bytes to text through the test formats: single-precision scale and
// offset, every conversion, truncation, character arrays, the '[' fallback,
// conditionals on the current values, the alarm-description rule.
#include <gtest/gtest.h>

#include <string>

#include "convert/conversion_drivers.h"
#include "convert/variant_convert.h"
#include "platform/automation/oleauto.h"
#include "platform/code_page.h"
#include "tests/convert/convert_catalog.h"

namespace vornfmt::test {
namespace {

struct TextCase {
  const char* behaviour;
  const char16_t* type;
  const char* raw;
  int16_t sub;
  bool ok;
  const char16_t* text;
};

std::string Name(const testing::TestParamInfo<TextCase>& info) { return info.param.behaviour; }

class FormatsText : public testing::TestWithParam<TextCase> {
 protected:
  ConvertCatalog catalog;
};

TEST_P(FormatsText, AsTheFormatSays) {
  const TextCase& c = GetParam();
  CTypeTreeItem* root = catalog.Load(c.type);
  ASSERT_NE(root, nullptr);
  const Bytes raw = Hex(c.raw);
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(FormatToVariant(*root, raw.data(), raw.size(), VT_BSTR, &result, c.sub) != 0, c.ok);
  ASSERT_EQ(result.vt, VT_BSTR);
  EXPECT_EQ(std::u16string(BstrText(result)), c.text) << codepage::Utf16ToUtf8(BstrText(result));
  VariantClear(&result);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FormatsText,
    testing::Values(
        TextCase{"SingleScaleTenth", u"UNVT_raw16", "00EB", -1, true, u"23.5000003501773"},
        TextCase{"ExactScaleHalf", u"UNVT_halves", "0866", -1, true, u"1075"},
        TextCase{"SingleOffset", u"UNVT_offset", "0001", -1, true, u"1.10000000149012"},
        TextCase{"TypeScalingUnderFormat", u"UNVT_tenths", "FFFE", -1, true, u"-0.2"},
        TextCase{"HexOfMinusOne", u"UNVT_hex", "FFFF", -1, true, u"ffffffff"},
        TextCase{"HexLowerCase", u"UNVT_hex", "00AB", -1, true, u"ab"},
        TextCase{"HugeDecimalTruncates", u"UNVT_huge", "3B9ACA00", -1, true, u"-2147483648"},
        TextCase{"DecimalInRange", u"UNVT_huge", "00000002", -1, true, u"2000"},
        TextCase{"CharLetter", u"UNVT_letter", "41", -1, true, u"A"},
        TextCase{"CharZeroIsEmpty", u"UNVT_letter", "00", -1, true, u""},
        TextCase{"CharArrayStopsAtZero", u"UNVT_name", "4869004142000000", -1, true, u"Hi"},
        TextCase{"CharArrayFull", u"UNVT_name", "4142434445464748", -1, true, u"ABCDEFGH"},
        TextCase{"ThirtyOneCharacters", u"UNVT_text31",
                 "41414141414141414141414141414141414141414141414141414141414141", -1, true,
                 u"AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"},
        TextCase{"ArrayElementUsesArrayItem", u"UNVT_name", "4869004142000000", 3, true, u"A"},
        TextCase{"TwoFields", u"UNVT_switch", "2B01", -1, true, u"21.5 1"},
        TextCase{"SubfieldValueAlone", u"UNVT_switch", "2B01", 0, true, u"21.5"},
        TextCase{"ConditionThenBranch", u"UNVT_cond", "0132", -1, true, u"1 on 50"},
        TextCase{"ConditionElseBranch", u"UNVT_cond", "0232", -1, true, u"2 off"},
        TextCase{"EnumMemberName", u"UNVT_greek", "01", -1, true, u"beta"},
        TextCase{"EnumNegativeMember", u"UNVT_greek", "FF", -1, true, u"minus"},
        TextCase{"EnumAndChar", u"UNVT_pick", "0241", -1, true, u"gamma/A"},
        TextCase{"LiteralFoundFolds", u"UNVT_percent", "07", -1, true, u"50%"},
        TextCase{"LiteralNotFoundKept", u"UNVT_pct", "07", -1, true, u"7 50%%"},
        TextCase{"TwoConversions", u"UNVT_pair", "0C22", -1, true, u"12/34"},
        TextCase{"MissingFieldShortens", u"UNVT_trio", "010203", -1, true, u"1"},
        TextCase{"RealEntry", u"UNVT_real", "3FC00000", -1, true, u"1.5"},
        TextCase{"AlarmDescriptionReference", u"SNVT_alarm_2",
                 "0380350000000000000000000000000000000000000000", -1, true, u"3 Pump failure"},
        TextCase{"AlarmReferenceNotValid", u"SNVT_alarm_2",
                 "0380357800000000000000000000000000000000000000", -1, true, u"3 \u20AC5x"},
        TextCase{"OtherTypeShowsCharacters", u"UNVT_alarm_copy",
                 "0380350000000000000000000000000000000000000000", -1, true, u"3 \u20AC5"},
        TextCase{"NoFormatIsEmptyAndFalse", u"UNVT_noformat", "01", -1, false, u""},
        TextCase{"NoSuchSubfield", u"UNVT_pair", "0C22", 2, false, u""},
        TextCase{"NoItemForSubfield", u"UNVT_trio", "010203", 2, false, u""}),
    Name);

TEST(FormatToVariant, RefusesABufferShorterThanTheType) {
  ConvertCatalog catalog;
  CTypeTreeItem* root = catalog.Load(u"UNVT_raw16");
  ASSERT_NE(root, nullptr);
  const Bytes raw = Hex("00");
  VARIANT result;
  VariantInit(&result);
  EXPECT_FALSE(FormatToVariant(*root, raw.data(), raw.size(), VT_BSTR, &result, -1));
  EXPECT_EQ(result.vt, VT_EMPTY);
}

}  // namespace
}  // namespace vornfmt::test
