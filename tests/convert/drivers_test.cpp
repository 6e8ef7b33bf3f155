// The drivers with numbers: FormatVT in every VARIANT type, WriteVT with
// VT_BOOL and other numbers, refused writes, and the editing step.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "convert/conversion_drivers.h"
#include "convert/edit_value.h"
#include "convert/variant_convert.h"
#include "platform/automation/oleauto.h"
#include "tests/support/test_catalog.h"

namespace vornfmt::test {
namespace {

double AsDouble(const VARIANT& v) {
  switch (v.vt) {
    case VT_I2: return v.iVal;
    case VT_I4: return v.lVal;
    case VT_R8: return v.dblVal;
    case VT_BOOL: return v.boolVal;
    case VT_ERROR: return v.scode;
    default: return -12345;
  }
}

TEST(FormatsNumber, InTheRequestedType) {
  TestCatalog catalog{"convert", true};
  const struct {
    const char* behaviour;
    const char16_t* type;
    const char* raw;  // UNVT_halves: value = raw x 0.5
    VARTYPE vt;
    bool ok;
    VARTYPE resultType;
    double number;  // the result read back as a double
  } rows[] = {
      {"R8AsIs", u"UNVT_halves", "002B", VT_R8, true, VT_R8, 21.5},
      {"I4RoundsHalfToEven", u"UNVT_halves", "002B", VT_I4, true, VT_I4, 22},
      {"BoolTrue", u"UNVT_halves", "002B", VT_BOOL, true, VT_BOOL, VARIANT_TRUE},
      {"BoolFalseForZero", u"UNVT_halves", "0000", VT_BOOL, true, VT_BOOL, VARIANT_FALSE},
      // 32767.5 rounds half to even to 32768, one past VT_I2.
      {"I2RoundsPastItsRange", u"UNVT_halves", "FFFF", VT_I2, false, VT_ERROR, DISP_E_OVERFLOW},
      {"I2Fits", u"UNVT_halves", "FFFD", VT_I2, true, VT_I2, 32766},
      {"NoFormatGivesZero", u"UNVT_noformat", "07", VT_I4, true, VT_I4, 0},
  };
  for (const auto& c : rows) {
    SCOPED_TRACE(c.behaviour);
    CTypeTreeItem& root = catalog.Load(c.type);
    const Bytes raw = Hex(c.raw);
    VARIANT result;
    VariantInit(&result);
    const bool ok = FormatToVariant(root, raw.data(), raw.size(), c.vt, &result, -1) != 0;
    EXPECT_EQ(std::tuple(ok, result.vt, AsDouble(result)), std::tuple(c.ok, c.resultType, c.number));
    VariantClear(&result);
  }
}

VARIANT Number(VARTYPE vt, double d) {
  VARIANT v;
  VariantInit(&v);
  v.vt = vt;
  if (vt == VT_BOOL) v.boolVal = static_cast<VARIANT_BOOL>(d);
  else v.dblVal = d;
  return v;
}

// The editing step while messages are on, with a scripted user interface.
class ScriptedUi : public ValueEditorUi {
 public:
  void ShowMessage(uint32_t id) override { messages.push_back(id); }
  bool EditNumber(std::u16string& text, CTypeTreeItemBase&) override { return Answer(text); }
  bool EditEnumeration(std::u16string& text, CTypeTreeItemBase&) override { return Answer(text); }
  bool EditStructure(std::u16string& text, CTypeTreeItem&) override { return Answer(text); }

  std::vector<uint32_t> messages;
  std::vector<std::u16string> shown;
  std::vector<std::u16string> answers;  // consumed in order; none left: Cancel

 private:
  bool Answer(std::u16string& text) {
    shown.push_back(text);
    if (answers.empty()) return false;
    text = answers.front();
    answers.erase(answers.begin());
    return true;
  }
};

// The pieces the assembly puts in place, over the test's own catalog.
class EditingStep : public testing::Test {
 protected:
  void SetUp() override {
    previous = SetValueEditorUi(&ui);
    previousHandler = SetLimitBreachHandler(&EditValue);
  }
  void TearDown() override {
    SetLimitBreachHandler(previousHandler);
    SetValueEditorUi(previous);
    SetViewMessages(0);
  }
  TestCatalog catalog{"convert", true};
  ScriptedUi ui;
  ValueEditorUi* previous = nullptr;
  LimitBreachHandler previousHandler = nullptr;
};

// Messages are off: refusals show nothing.
TEST_F(EditingStep, WritesNumbers) {
  const struct {
    const char16_t* type;
    int16_t sub;
    VARIANT value;
    bool ok;
    const char* after;
  } cases[] = {
      {u"UNVT_halves", -1, Number(VT_BOOL, VARIANT_TRUE), true, "0002"},  // 1 through scale 0.5
      {u"UNVT_halves", -1, Number(VT_BOOL, VARIANT_FALSE), true, "0000"},
      {u"UNVT_switch", 1, Number(VT_BOOL, VARIANT_TRUE), true, "AA01"},  // state: item scale 1
      {u"UNVT_noformat", -1, Number(VT_R8, 1), false, "AA"},             // no format
      {u"UNVT_halves", -1, Number(VT_R8, 21.5), true, "002B"},
      {u"UNVT_letter", -1, Number(VT_R8, 1e9), false, "AA"},             // breaks the 8-bit limit
      {u"UNVT_tenths", -1, Number(VT_R8, -100.0), true, "FC18"},         // raw minimum -1000
      {u"UNVT_tenths", -1, Number(VT_R8, -100.04), false, "AAAA"},       // below it before rounding
      {u"UNVT_halves", -1, Number(VT_UNKNOWN, 0), false, "AAAA"},         // no conversion to a number
  };
  ui.answers = {u"5"};
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    CTypeTreeItem& root = catalog.Load(c.type);
    Bytes raw = Hex(std::string(c.after).size() == 4 ? "AAAA" : "AA");
    VARIANT value = c.value;
    EXPECT_EQ(WriteFromVariant(root, raw.data(), raw.size(), &value, c.sub) != 0, c.ok);
    EXPECT_EQ(raw, Hex(c.after));
    EXPECT_TRUE(c.value.vt != VT_UNKNOWN || value.vt == VT_EMPTY) << "a failed conversion empties the value";
  }
  EXPECT_EQ(std::tuple(ui.messages.size(), ui.shown.size()), std::tuple(0u, 0u));
}

// With messages on: a limit breach opens the numeric dialog until Cancel, a
// wrong text corrected is written; not while the tree is not interactive.
TEST_F(EditingStep, AsksUntilTheTextFitsOrCancel) {
  const struct {
    const char16_t* text;
    std::vector<std::u16string> answers;
    bool interactive, ok;
    std::vector<uint32_t> messages;
    std::vector<std::u16string> shown;
    const char* after;
  } cases[] = {
      {u"1e9", {}, true, false, {kMessageDataExceedsBounds}, {u"1e9"}, "1234"},
      {u"1x", {u"also wrong", u"-0.2"}, true, true, {kMessageWrongData, kMessageWrongData}, {u"1x", u"also wrong"},
       "FFFE"},
      {u"1x", {u"-0.2"}, false, false, {}, {}, "1234"},
  };
  SetViewMessages(1);
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    CTypeTreeItem& root = catalog.Load(u"UNVT_tenths");
    root.SetInteractive(c.interactive);
    ui.answers = c.answers;
    ui.messages.clear();
    ui.shown.clear();
    Bytes raw = Hex("1234");
    VARIANT value;
    VariantInit(&value);
    SetBstr(value, c.text);
    const bool ok = WriteFromVariant(root, raw.data(), raw.size(), &value, -1) != 0;
    VariantClear(&value);
    EXPECT_EQ(std::tie(ok, ui.messages, ui.shown, raw), std::tuple(c.ok, c.messages, c.shown, Hex(c.after)));
  }
}

}  // namespace
}  // namespace vornfmt::test
