// The type-element core over the shipped catalog, and the assembly that
// makes its engine the module's.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "control/type_element_core.h"
#include "convert/formatter_assembly.h"
#include "format/text_encoding.h"
#include "platform/code_page.h"

namespace vornfmt {
namespace {

constexpr char16_t kPid[] = u"0000000000000000";

class TypeElement : public testing::Test {
 protected:
  void SetUp() override {
    formatter = AssembleFormatter({.widen = &WidenWindows1252});
    formatter->Engine().OpenCatalog(codepage::Utf8ToUtf16(std::string(VORNFMT_SOURCE_DIR) + "/resources/catalog"));
    ASSERT_TRUE(element.LoadByName(u"SNVT_switch", kPid, 0));
  }
  std::u16string FormatText(const std::vector<uint8_t>& raw, int16_t sub, bool* ok = nullptr) {
    VARIANT result;
    VariantInit(&result);
    const bool answer = element.Format(raw, VT_BSTR, result, sub);
    if (ok) *ok = answer;
    std::u16string text = ResultText(result);
    VariantClear(&result);
    return text;
  }
  std::unique_ptr<Formatter> formatter;
  TypeElementCore element;
};

TEST_F(TypeElement, AnswersTheLayoutAndNothingOutsideIt) {
  EXPECT_EQ(element.SubfieldsCount(), 2);
  EXPECT_EQ(element.Index(), 95);
  EXPECT_EQ(element.Selector(), 0);
  EXPECT_EQ(element.Name(-1), u"SNVT_switch");
  EXPECT_EQ(element.Name(1), u"state");
  EXPECT_EQ(element.Length(-1), 2);
  EXPECT_EQ(element.Canonical(0), VT_R4);
  for (int16_t outside : {int16_t{-2}, int16_t{2}}) {
    EXPECT_EQ(element.Name(outside), u"");
    EXPECT_EQ(element.Length(outside), 0);
    EXPECT_EQ(element.Canonical(outside), 0);
    double low = 7, high = 7;
    EXPECT_FALSE(element.GetBounds(outside, low, high));
  }
  double low = 0, high = 0;
  ASSERT_TRUE(element.GetBounds(0, low, high));
  EXPECT_EQ(low, 0.0);
  EXPECT_EQ(high, 100.0);
}

TEST_F(TypeElement, FindsSubfieldsByExactName) {
  int16_t sub = 5;
  EXPECT_TRUE(element.GetSubIndexByName(u"state", sub));
  EXPECT_EQ(sub, 1);
  EXPECT_FALSE(element.GetSubIndexByName(u"State", sub));
  EXPECT_EQ(sub, -1);
}

TEST_F(TypeElement, FormatsWholeTypesSubfieldsAndNumbers) {
  EXPECT_EQ(FormatText({0xC8, 0x01}, -1), u"100 1");
  EXPECT_EQ(FormatText({0xC8, 0x01}, 1), u"1");
  bool ok = true;
  EXPECT_EQ(FormatText({0xC8}, -1, &ok), u"");  // shorter than the type
  EXPECT_FALSE(ok);
  VARIANT number;
  VariantInit(&number);
  ASSERT_TRUE(element.Format(std::vector<uint8_t>{0x64, 0x00}, VT_R8, number, 0));
  EXPECT_EQ(number.vt, VT_R8);
  EXPECT_EQ(number.dblVal, 50.0);
}

TEST_F(TypeElement, WritesInPlaceAndRefusesEmptyValues) {
  std::vector<uint8_t> raw{0xAA, 0xBB};
  VARIANT value;
  VariantInit(&value);
  EXPECT_FALSE(element.Write(raw, value, -1));
  EXPECT_EQ(raw, (std::vector<uint8_t>{0xAA, 0xBB}));
  SetBstr(value, u"50 1");
  EXPECT_TRUE(element.Write(raw, value, -1));
  EXPECT_EQ(raw, (std::vector<uint8_t>{0x64, 0x01}));
  SetBstr(value, u"101");  // above the field's limit: refused, nothing written
  EXPECT_FALSE(element.Write(raw, value, 0));
  EXPECT_EQ(raw, (std::vector<uint8_t>{0x64, 0x01}));
  VariantClear(&value);
}

TEST_F(TypeElement, MeasurementSystemChoosesTheFormat) {
  TypeElementCore temperature;
  ASSERT_TRUE(temperature.LoadByName(u"SNVT_temp_p", kPid, 0));
  EXPECT_EQ(temperature.MeasurementSystem(), u"SI");
  temperature.SetMeasurementSystem(u"US");
  EXPECT_EQ(temperature.MeasurementSystem(), u"US");
}

TEST_F(TypeElement, LoadsByIndexAndFailsForWhatIsNotThere) {
  TypeElementCore byIndex;
  ASSERT_TRUE(byIndex.LoadByIndex(95, true, kPid, 0));
  EXPECT_EQ(byIndex.Name(-1), u"SNVT_switch");
  TypeElementCore missing;
  EXPECT_FALSE(missing.LoadByIndex(9999, true, kPid, 0));
  EXPECT_FALSE(missing.LoadByName(u"", kPid, 0));
  EXPECT_FALSE(missing.LoadByName(u"SNVT_nothing", kPid, 0));
}

// Closing the catalog destroys its format and type files: an element loaded
// under it must not reach them afterwards (AddressSanitizer builds report
// it if it does). Without a catalog it answers false; once one is open
// again it opens its type there, as after FreeTree.
TEST_F(TypeElement, OutlivingItsCatalogItOpensItsTypeInTheNextOne) {
  const std::u16string before = FormatText({0xC8, 0x01}, -1);
  formatter->Engine().CloseCatalog();
  bool ok = true;
  EXPECT_EQ(FormatText({0xC8, 0x01}, -1, &ok), u"");
  EXPECT_FALSE(ok);
  formatter->Engine().OpenCatalog(codepage::Utf8ToUtf16(std::string(VORNFMT_SOURCE_DIR) + "/resources/catalog"));
  EXPECT_EQ(FormatText({0xC8, 0x01}, -1, &ok), before);
  EXPECT_TRUE(ok);
}

TEST(Assembly, InstallsItsPiecesWhileItLivesAndPutsBackThePrevious) {
  const auto installedHandler = [] {
    const LimitBreachHandler current = SetLimitBreachHandler(nullptr);
    SetLimitBreachHandler(current);
    return current;
  };
  const LimitBreachHandler before = installedHandler();
  auto outer = AssembleFormatter({.viewMessages = 1});
  EXPECT_EQ(&TheEngine(), &outer->Engine());
  EXPECT_EQ(ViewMessages(), 1u);
  EXPECT_EQ(installedHandler(), &EditValue);
  {
    auto inner = AssembleFormatter();
    EXPECT_EQ(&TheEngine(), &inner->Engine());
    EXPECT_EQ(ViewMessages(), 0u);
  }
  EXPECT_EQ(&TheEngine(), &outer->Engine());
  EXPECT_EQ(ViewMessages(), 1u);
  outer.reset();
  EXPECT_EQ(installedHandler(), before);
}

}  // namespace
}  // namespace vornfmt
