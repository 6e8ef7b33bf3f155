// Raw bytes to text through the test formats: single-precision scale and
// offset, every conversion, truncation, character arrays, the '[' fallback,
// conditionals on the current values, the alarm-description rule.
#include <gtest/gtest.h>

#include <string>

#include "convert/conversion_drivers.h"
#include "convert/variant_convert.h"
#include "platform/automation/oleauto.h"
#include "platform/code_page.h"
#include "tests/support/test_catalog.h"

namespace vornfmt::test {
namespace {

TEST(FormatsText, AsTheFormatSays) {
  TestCatalog catalog{"convert", true};
  const struct {
    const char* behaviour;
    const char16_t* type;
    const char* raw;
    int16_t sub;
    bool ok;
    const char16_t* text;
  } rows[] = {
      {"SingleScaleTenth", u"UNVT_raw16", "00EB", -1, true, u"23.5000003501773"},
      {"ExactScaleHalf", u"UNVT_halves", "0866", -1, true, u"1075"},
      {"SingleOffset", u"UNVT_offset", "0001", -1, true, u"1.10000000149012"},
      {"TypeScalingUnderFormat", u"UNVT_tenths", "FFFE", -1, true, u"-0.2"},
      {"HexOfMinusOne", u"UNVT_hex", "FFFF", -1, true, u"ffffffff"},
      {"HexLowerCase", u"UNVT_hex", "00AB", -1, true, u"ab"},
      {"HugeDecimalTruncates", u"UNVT_huge", "3B9ACA00", -1, true, u"-2147483648"},
      {"DecimalInRange", u"UNVT_huge", "00000002", -1, true, u"2000"},
      {"CharLetter", u"UNVT_letter", "41", -1, true, u"A"},
      {"CharZeroIsEmpty", u"UNVT_letter", "00", -1, true, u""},
      {"CharArrayStopsAtZero", u"UNVT_name", "4869004142000000", -1, true, u"Hi"},
      {"CharArrayFull", u"UNVT_name", "4142434445464748", -1, true, u"ABCDEFGH"},
      {"ThirtyOneCharacters", u"UNVT_text31",
        "41414141414141414141414141414141414141414141414141414141414141", -1, true,
        u"AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"},
      {"ArrayElementUsesArrayItem", u"UNVT_name", "4869004142000000", 3, true, u"A"},
      {"TwoFields", u"UNVT_switch", "2B01", -1, true, u"21.5 1"},
      {"SubfieldValueAlone", u"UNVT_switch", "2B01", 0, true, u"21.5"},
      {"ConditionThenBranch", u"UNVT_cond", "0132", -1, true, u"1 on 50"},
      {"ConditionElseBranch", u"UNVT_cond", "0232", -1, true, u"2 off"},
      {"EnumMemberName", u"UNVT_greek", "01", -1, true, u"beta"},
      {"EnumNegativeMember", u"UNVT_greek", "FF", -1, true, u"minus"},
      {"EnumAndChar", u"UNVT_pick", "0241", -1, true, u"gamma/A"},
      {"LiteralFoundFolds", u"UNVT_percent", "07", -1, true, u"50%"},
      {"LiteralNotFoundKept", u"UNVT_pct", "07", -1, true, u"7 50%%"},
      {"TwoConversions", u"UNVT_pair", "0C22", -1, true, u"12/34"},
      {"MissingFieldShortens", u"UNVT_trio", "010203", -1, true, u"1"},
      {"RealEntry", u"UNVT_real", "3FC00000", -1, true, u"1.5"},
      {"AlarmDescriptionReference", u"SNVT_alarm_2",
        "0380350000000000000000000000000000000000000000", -1, true, u"3 Pump failure"},
      {"AlarmReferenceNotValid", u"SNVT_alarm_2",
        "0380357800000000000000000000000000000000000000", -1, true, u"3 \u20AC5x"},
      {"OtherTypeShowsCharacters", u"UNVT_alarm_copy",
        "0380350000000000000000000000000000000000000000", -1, true, u"3 \u20AC5"},
      {"NoFormatIsEmptyAndFalse", u"UNVT_noformat", "01", -1, false, u""},
      {"NoSuchSubfield", u"UNVT_pair", "0C22", 2, false, u""},
      {"NoItemForSubfield", u"UNVT_trio", "010203", 2, false, u""},
  };
  for (const auto& c : rows) {
    SCOPED_TRACE(c.behaviour);
    CTypeTreeItem& root = catalog.Load(c.type);
    const Bytes raw = Hex(c.raw);
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(FormatToVariant(root, raw.data(), raw.size(), VT_BSTR, &result, c.sub) != 0, c.ok);
    ASSERT_EQ(result.vt, VT_BSTR);
    EXPECT_EQ(std::u16string(BstrText(result)), c.text) << codepage::Utf16ToUtf8(BstrText(result));
    VariantClear(&result);
  }
}

TEST(FormatToVariant, RefusesABufferShorterThanTheType) {
  TestCatalog catalog{"convert", true};
  CTypeTreeItem& root = catalog.Load(u"UNVT_raw16");
  const Bytes raw = Hex("00");
  VARIANT result;
  VariantInit(&result);
  EXPECT_FALSE(FormatToVariant(root, raw.data(), raw.size(), VT_BSTR, &result, -1));
  EXPECT_EQ(result.vt, VT_EMPTY);
}

}  // namespace
}  // namespace vornfmt::test
