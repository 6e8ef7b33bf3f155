// Why a write was refused: the refusals the library notes for the caller of
// TypeElementCore::Write, while the answer stays the automation member's.
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

class WriteRefusals : public testing::Test {
 protected:
  void SetUp() override {
    formatter = AssembleFormatter({.widen = &WidenWindows1252});
    formatter->Engine().OpenCatalog(codepage::Utf8ToUtf16(std::string(VORNFMT_TEST_DATA) + "/tool"));
  }
  // Writes `text` into zero bytes of `type`; answers WriteVT's answer.
  bool Write(const char16_t* type, const char16_t* text, int16_t sub, std::vector<WriteRefusal>& why,
             std::vector<uint8_t>* bytes = nullptr) {
    TypeElementCore element;
    EXPECT_TRUE(element.LoadByName(type, kPid, 0));
    std::vector<uint8_t> raw(static_cast<size_t>(element.Length(-1)), 0);
    VARIANT value;
    VariantInit(&value);
    SetBstr(value, text);
    const bool ok = element.Write(raw, value, sub, &why);
    VariantClear(&value);
    if (bytes) *bytes = raw;
    return ok;
  }
  std::unique_ptr<Formatter> formatter;
};

TEST_F(WriteRefusals, ABrokenLimitNamesItsField) {
  std::vector<WriteRefusal> why;
  std::vector<uint8_t> raw;
  EXPECT_FALSE(Write(u"UNVT_pair", u"1/200", -1, why, &raw));
  ASSERT_EQ(why.size(), 1u);
  EXPECT_EQ(why[0].messageId, kMessageDataExceedsBounds);
  EXPECT_EQ(why[0].field, u"b");
  EXPECT_FALSE(why[0].wholeType);
  EXPECT_EQ(raw, (std::vector<uint8_t>{1, 0}));  // the field within its limits is written all the same
}

TEST_F(WriteRefusals, TextThatDoesNotReadIsWrongDataOfItsNode) {
  std::vector<WriteRefusal> why;
  EXPECT_FALSE(Write(u"UNVT_pair", u"x", 1, why));
  ASSERT_EQ(why.size(), 1u);
  EXPECT_EQ(why[0].messageId, kMessageWrongData);
  EXPECT_EQ(why[0].field, u"b");
  EXPECT_EQ(MessageText(why[0].messageId), u"Wrong data.");
  EXPECT_FALSE(Write(u"UNVT_pair", u"1-2", -1, why));
  ASSERT_EQ(why.size(), 1u);
  EXPECT_EQ(why[0].messageId, kMessageWrongData);
  EXPECT_EQ(why[0].field, u"UNVT_pair");
  EXPECT_TRUE(why[0].wholeType);
}

TEST_F(WriteRefusals, AFieldTheTextLeavesWithoutValue) {
  std::vector<WriteRefusal> why;
  EXPECT_FALSE(Write(u"UNVT_partial", u"5", -1, why));
  ASSERT_EQ(why.size(), 1u);
  EXPECT_EQ(why[0].messageId, kRefusalNoValue);
  EXPECT_EQ(why[0].field, u"b");
}

TEST_F(WriteRefusals, AnAcceptedWriteLeavesNothing) {
  std::vector<WriteRefusal> why{{kMessageWrongData, u"stale", false}};
  EXPECT_TRUE(Write(u"UNVT_pair", u"1/2", -1, why));
  EXPECT_TRUE(why.empty());
}

}  // namespace
}  // namespace vornfmt
