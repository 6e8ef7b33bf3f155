// The drivers with numbers: FormatVT in every VARIANT type, WriteVT with
// VT_BOOL and other numbers, refused writes, and the editing step.
#include <gtest/gtest.h>

#include <vector>

#include "convert/conversion_drivers.h"
#include "convert/edit_value.h"
#include "convert/variant_convert.h"
#include "platform/automation/oleauto.h"
#include "tests/convert/convert_catalog.h"

namespace vornfmt::test {
namespace {

struct NumberCase {
  const char* behaviour;
  const char* raw;  // UNVT_halves: value = raw x 0.5
  VARTYPE vt;
  bool ok;
  VARTYPE resultType;
  double number;  // the result read back as a double
};

std::string Name(const testing::TestParamInfo<NumberCase>& info) { return info.param.behaviour; }

double AsDouble(const VARIANT& v) {
  switch (v.vt) {
    case VT_I1: return v.cVal;
    case VT_UI1: return v.bVal;
    case VT_I2: return v.iVal;
    case VT_UI2: return v.uiVal;
    case VT_I4: return v.lVal;
    case VT_UI4: return v.ulVal;
    case VT_R4: return v.fltVal;
    case VT_R8: return v.dblVal;
    case VT_BOOL: return v.boolVal;
    case VT_ERROR: return v.scode;
    default: return -12345;
  }
}

class FormatsNumber : public testing::TestWithParam<NumberCase> {
 protected:
  ConvertCatalog catalog;
};

TEST_P(FormatsNumber, InTheRequestedType) {
  const NumberCase& c = GetParam();
  CTypeTreeItem* root = catalog.Load(u"UNVT_halves");
  ASSERT_NE(root, nullptr);
  const Bytes raw = Hex(c.raw);
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(FormatToVariant(*root, raw.data(), raw.size(), c.vt, &result, -1) != 0, c.ok);
  EXPECT_EQ(result.vt, c.resultType);
  EXPECT_DOUBLE_EQ(AsDouble(result), c.number);
  VariantClear(&result);
}

INSTANTIATE_TEST_SUITE_P(
    EveryType, FormatsNumber,
    testing::Values(NumberCase{"R8AsIs", "002B", VT_R8, true, VT_R8, 21.5},
                    NumberCase{"R4", "002B", VT_R4, true, VT_R4, 21.5},
                    NumberCase{"I4RoundsHalfToEven", "002B", VT_I4, true, VT_I4, 22},
                    NumberCase{"I4RoundsHalfToEvenDown", "0029", VT_I4, true, VT_I4, 20},
                    NumberCase{"I2", "002B", VT_I2, true, VT_I2, 22},
                    NumberCase{"I1", "002B", VT_I1, true, VT_I1, 22},
                    NumberCase{"UI1", "002B", VT_UI1, true, VT_UI1, 22},
                    NumberCase{"UI2", "002B", VT_UI2, true, VT_UI2, 22},
                    NumberCase{"UI4", "002B", VT_UI4, true, VT_UI4, 22},
                    NumberCase{"BoolTrue", "002B", VT_BOOL, true, VT_BOOL, VARIANT_TRUE},
                    NumberCase{"BoolFalseForZero", "0000", VT_BOOL, true, VT_BOOL, VARIANT_FALSE},
                    NumberCase{"I1Overflows", "FFFF", VT_I1, false, VT_ERROR, DISP_E_OVERFLOW},
                    NumberCase{"UI1Overflows", "FFFF", VT_UI1, false, VT_ERROR, DISP_E_OVERFLOW},
                    // 32767.5 rounds half to even to 32768, one past VT_I2.
                    NumberCase{"I2RoundsPastItsRange", "FFFF", VT_I2, false, VT_ERROR, DISP_E_OVERFLOW},
                    NumberCase{"I2Fits", "FFFD", VT_I2, true, VT_I2, 32766}),
    Name);

class Drivers : public testing::Test {
 protected:
  void TearDown() override { SetViewMessages(0); }
  ConvertCatalog catalog;
};

TEST_F(Drivers, NoFormatGivesZeroAsANumber) {
  CTypeTreeItem* root = catalog.Load(u"UNVT_noformat");
  ASSERT_NE(root, nullptr);
  const Bytes raw = Hex("07");
  VARIANT result;
  VariantInit(&result);
  EXPECT_TRUE(FormatToVariant(*root, raw.data(), raw.size(), VT_I4, &result, -1));
  EXPECT_EQ(result.vt, VT_I4);
  EXPECT_EQ(result.lVal, 0);
}

TEST_F(Drivers, HexSubfieldAsText) {
  CTypeTreeItem* root = catalog.Load(u"UNVT_hex");
  ASSERT_NE(root, nullptr);
  const Bytes raw = Hex("FFFE");
  VARIANT result;
  VariantInit(&result);
  EXPECT_TRUE(FormatToVariant(*root, raw.data(), raw.size(), VT_BSTR, &result, -1));
  EXPECT_EQ(std::u16string(BstrText(result)), u"fffffffe");
  VariantClear(&result);
}

struct NumberWrite {
  const char16_t* type;
  int16_t sub;
  VARIANT value;
  bool ok;
  const char* after;
};

VARIANT Bool(VARIANT_BOOL b) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = b;
  return v;
}

VARIANT Real(double d) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_R8;
  v.dblVal = d;
  return v;
}

TEST_F(Drivers, WritesNumbers) {
  const std::vector<NumberWrite> cases{
      {u"UNVT_halves", -1, Bool(VARIANT_TRUE), true, "0002"},   // 1 through scale 0.5
      {u"UNVT_halves", -1, Bool(VARIANT_FALSE), true, "0000"},
      {u"UNVT_switch", 1, Bool(VARIANT_TRUE), true, "AA01"},    // state: item scale 1
      {u"UNVT_noformat", -1, Real(1), false, "AA"},             // no format
      {u"UNVT_halves", -1, Real(21.5), true, "002B"},
      {u"UNVT_letter", -1, Real(1e9), false, "AA"},             // breaks the 8-bit limit
      {u"UNVT_tenths", -1, Real(-100.0), true, "FC18"},          // raw minimum -1000
      {u"UNVT_tenths", -1, Real(-100.04), false, "AAAA"},       // below it before rounding
  };
  for (const NumberWrite& c : cases) {
    CTypeTreeItem* root = catalog.Load(c.type);
    ASSERT_NE(root, nullptr);
    Bytes raw = Hex(std::string(c.after).size() == 4 ? "AAAA" : "AA");
    VARIANT value = c.value;
    EXPECT_EQ(WriteFromVariant(*root, raw.data(), raw.size(), &value, c.sub) != 0, c.ok);
    EXPECT_EQ(raw, Hex(c.after));
  }
}

TEST_F(Drivers, AValueThatIsNoNumberChangesNoByte) {
  CTypeTreeItem* root = catalog.Load(u"UNVT_halves");
  ASSERT_NE(root, nullptr);
  Bytes raw = Hex("1234");
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_UNKNOWN;  // no conversion to a number
  value.punkVal = nullptr;
  EXPECT_FALSE(WriteFromVariant(*root, raw.data(), raw.size(), &value, -1));
  EXPECT_EQ(raw, Hex("1234"));
  EXPECT_EQ(value.vt, VT_EMPTY);
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

class EditingStep : public Drivers {
 protected:
  void SetUp() override { previous = SetValueEditorUi(&ui); }
  void TearDown() override {
    SetValueEditorUi(previous);
    Drivers::TearDown();
  }
  bool Write(CTypeTreeItem& root, Bytes& raw, const char16_t* text) {
    VARIANT value;
    VariantInit(&value);
    SetBstr(value, text);
    const bool ok = WriteFromVariant(root, raw.data(), raw.size(), &value, -1);
    VariantClear(&value);
    return ok;
  }
  ScriptedUi ui;
  ValueEditorUi* previous = nullptr;
};

TEST_F(EditingStep, ShowsNothingWhileMessagesAreOff) {
  CTypeTreeItem* root = catalog.Load(u"UNVT_letter");
  ASSERT_NE(root, nullptr);
  Bytes raw = Hex("AA");
  ui.answers = {u"5"};
  VARIANT big = Real(1e9);
  EXPECT_FALSE(WriteFromVariant(*root, raw.data(), raw.size(), &big, -1));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(EditingStep, LimitBreachOpensTheNumericDialogUntilCancel) {
  CTypeTreeItem* root = catalog.Load(u"UNVT_tenths");
  ASSERT_NE(root, nullptr);
  SetViewMessages(1);
  Bytes raw = Hex("1234");
  EXPECT_FALSE(Write(*root, raw, u"1e9"));
  EXPECT_EQ(ui.messages, std::vector<uint32_t>{kMessageDataExceedsBounds});
  EXPECT_EQ(ui.shown, std::vector<std::u16string>{u"1e9"});
  EXPECT_EQ(raw, Hex("1234"));
}

TEST_F(EditingStep, WrongTextCorrectedIsWritten) {
  CTypeTreeItem* root = catalog.Load(u"UNVT_tenths");
  ASSERT_NE(root, nullptr);
  SetViewMessages(1);
  ui.answers = {u"also wrong", u"-0.2"};
  Bytes raw = Hex("1234");
  EXPECT_TRUE(Write(*root, raw, u"1x"));
  EXPECT_EQ(ui.messages, (std::vector<uint32_t>{kMessageWrongData, kMessageWrongData}));
  EXPECT_EQ(ui.shown, (std::vector<std::u16string>{u"1x", u"also wrong"}));
  EXPECT_EQ(raw, Hex("FFFE"));
}

TEST_F(EditingStep, NotWhileTheTreeIsNotInteractive) {
  CTypeTreeItem* root = catalog.Load(u"UNVT_tenths");
  ASSERT_NE(root, nullptr);
  SetViewMessages(1);
  root->SetInteractive(false);
  Bytes raw = Hex("1234");
  EXPECT_FALSE(Write(*root, raw, u"1x"));
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace vornfmt::test
