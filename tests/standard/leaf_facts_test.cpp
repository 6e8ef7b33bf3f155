// The facts a tree keeps per node (typetree/leaf_facts.h) change nothing:
// every standard type, formatted and written back with them, answers what
// asking the library on every call answers; and they are read once per
// opening of a type, again after the type was freed or the catalog changed;
// enumeration member names with them.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "convert/conversion_drivers.h"
#include "platform/automation/bstr_text.h"
#include "platform/automation/oleauto.h"
#include "platform/code_page.h"
#include "tests/support/scripted_library.h"
#include "tests/support/test_catalog.h"
#include "typetree/leaf_facts.h"

namespace vornfmt::test {
namespace {

const std::string kStandardCatalog = std::string(VORNFMT_SOURCE_DIR) + "/resources/catalog";

// Every answer of the drivers for one buffer: the whole text, each
// subfield's text and number, and the bytes the whole text writes back
// into zeros, each with its success.
std::vector<std::string> Answers(CTypeTreeItem& root, const Bytes& raw) {
  std::vector<std::string> answers;
  VARIANT v;
  VariantInit(&v);
  for (int16_t sub = -1; sub < root.GetSubfieldCount(); ++sub) {
    for (VARTYPE vt : {VARTYPE(VT_BSTR), VARTYPE(VT_R8)}) {
      std::ostringstream answer;
      answer.precision(17);
      answer << FormatToVariant(root, raw.data(), raw.size(), vt, &v, sub) << ' ';
      if (v.vt == VT_BSTR) answer << codepage::Utf16ToUtf8(BstrText(v));
      if (v.vt == VT_R8) answer << v.dblVal;
      if (sub == -1 && vt == VT_BSTR && v.vt == VT_BSTR) {
        Bytes written(raw.size(), 0);
        answer << " -> " << WriteFromVariant(root, written.data(), written.size(), &v, -1) << ' ' << HexOf(written);
      }
      answers.push_back(answer.str());
      VariantClear(&v);
    }
  }
  return answers;
}

TEST(LeafFacts, EveryStandardTypeAnswersAsWithoutThem) {
  if (!std::filesystem::exists(kStandardCatalog + "/standard.fmt")) GTEST_SKIP() << "no standard catalog";
  TestCatalog catalog(kStandardCatalog, true);
  std::mt19937 random(20261207);
  int types = 0;
  for (bool nvt : {true, false}) {
    for (int index = 1; index <= 700; ++index) {
      CTypeTreeItem root;
      if (!root.LoadByIndex(static_cast<int16_t>(index), nvt, kPid, 0)) continue;
      ++types;
      for (int n = 0; n < 8; ++n) {
        Bytes raw(root.GetSize(true));
        for (uint8_t& byte : raw) byte = static_cast<uint8_t>(random());
        SetLeafFactsEnabled(false);
        const auto asked = Answers(root, raw);
        SetLeafFactsEnabled(true);
        const std::string name = codepage::Utf16ToUtf8(root.typeName);
        EXPECT_EQ(Answers(root, raw), asked) << name << ", facts read";
        EXPECT_EQ(Answers(root, raw), asked) << name << ", facts kept";
      }
    }
  }
  EXPECT_EQ(types, 210 + 380);
}

TEST(LeafFacts, AreReadOncePerOpeningOfTheType) {
  if (!std::filesystem::exists(kStandardCatalog + "/standard.fmt")) GTEST_SKIP() << "no standard catalog";
  TestCatalog catalog(kStandardCatalog, true);
  CTypeTreeItem root;
  ASSERT_TRUE(root.LoadByName(u"SNVT_alarm_2", kPid, 0));
  const Bytes raw(root.GetSize(true), 0x41);
  auto treeCalls = [&] {
    TheScript().finds = TheScript().reads = TheScript().scans = 0;
    const auto answers = Answers(root, raw);
    EXPECT_FALSE(answers.empty());
    return TheScript().finds + TheScript().reads + TheScript().scans;
  };
  EXPECT_GT(treeCalls(), 0);  // read on the first question
  EXPECT_EQ(treeCalls(), 0);
  root.FreeTree();  // the type is reopened and its facts read again
  EXPECT_GT(treeCalls(), 0);
  EXPECT_EQ(treeCalls(), 0);
  TestCatalog another(kStandardCatalog, true);  // another engine
  EXPECT_GT(treeCalls(), 0);
  EXPECT_EQ(treeCalls(), 0);
}

TEST(LeafFacts, KeepEnumerationNamesPerOpeningOfTheType) {
  if (!std::filesystem::exists(kStandardCatalog + "/standard.fmt")) GTEST_SKIP() << "no standard catalog";
  TestCatalog catalog(kStandardCatalog, true);
  CTypeTreeItem root;
  ASSERT_TRUE(root.LoadByName(u"SNVT_alarm_2", kPid, 0));
  const Bytes raw(root.GetSize(true), 0x01);
  auto memberCalls = [&] {
    TheScript().enumMembers = 0;
    EXPECT_FALSE(Answers(root, raw).empty());
    return TheScript().enumMembers;
  };
  const int first = memberCalls();
  EXPECT_GT(first, 0);
  EXPECT_EQ(memberCalls(), 0);
  root.FreeTree();
  EXPECT_EQ(memberCalls(), first);
  SetLeafFactsEnabled(false);  // asked on every call
  const int asked = memberCalls();
  EXPECT_GE(asked, first);
  EXPECT_EQ(memberCalls(), asked);
  SetLeafFactsEnabled(true);
}

}  // namespace
}  // namespace vornfmt::test
