// Two threads format and write on one engine, each through a tree of its
// own, and get what one thread alone gets. Built with ThreadSanitizer by
// scripts/tsan.sh: the trees' kept facts and resolutions, the catalog's
// type files and the resource lock are shared between them.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "catalog/formatter_engine.h"
#include "convert/conversion_drivers.h"
#include "convert/formatter_assembly.h"
#include "platform/automation/bstr_text.h"
#include "platform/automation/oleauto.h"
#include "platform/code_page.h"

namespace vornfmt {
namespace {

constexpr char16_t kPid[] = u"0000000000000000";

struct Work {
  const char16_t* type;
  std::vector<uint8_t> bytes;
};

const Work kWork[] = {
    {u"SNVT_switch", {0xC8, 0x01}},
    {u"SNVT_temp_p", {0x0A, 0x28}},
    {u"SNVT_alarm_2", std::vector<uint8_t>(31, 0x41)},
    {u"SNVT_str_asc", std::vector<uint8_t>(31, 0x42)},
};

// Formats and writes back every work kRounds times on trees of this call's
// own; the texts and the written bytes, in order.
std::vector<std::u16string> FormatAndWriteBack(int rounds) {
  std::vector<std::u16string> answers;
  for (const Work& work : kWork) {
    CTypeTreeItem root;
    if (!root.LoadByName(work.type, kPid, 0)) return {u"not loaded"};
    VARIANT v;
    VariantInit(&v);
    for (int round = 0; round < rounds; ++round) {
      std::u16string answer;
      if (FormatToVariant(root, work.bytes.data(), work.bytes.size(), VT_BSTR, &v, -1)) answer = BstrText(v);
      std::vector<uint8_t> written(work.bytes.size(), 0);
      answer += WriteFromVariant(root, written.data(), written.size(), &v, -1) ? u" wrote " : u" refused ";
      answer.append(written.begin(), written.end());
      answers.push_back(std::move(answer));
      VariantClear(&v);
    }
  }
  return answers;
}

TEST(EngineThreads, TwoThreadsWithTreesOfTheirOwnAnswerAsOne) {
  const auto formatter = AssembleFormatter({.widen = &WidenWindows1252});
  formatter->Engine().OpenCatalog(codepage::Utf8ToUtf16(std::string(VORNFMT_SOURCE_DIR) + "/resources/catalog"));
  constexpr int kRounds = 40;
  const std::vector<std::u16string> alone = FormatAndWriteBack(kRounds);
  ASSERT_EQ(alone.size(), std::size(kWork) * kRounds);
  EXPECT_EQ(alone.front().substr(0, 5), u"100 1");
  std::vector<std::u16string> first, second;
  std::thread a([&] { first = FormatAndWriteBack(kRounds); });
  std::thread b([&] { second = FormatAndWriteBack(kRounds); });
  a.join();
  b.join();
  EXPECT_EQ(first, alone);
  EXPECT_EQ(second, alone);
}

}  // namespace
}  // namespace vornfmt
