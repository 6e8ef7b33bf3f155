// Reading text back through what a tree keeps for its own format (the items
// found once, the first trial patterns masked) stores what reading it by name
// through freshly built trial patterns stores: every standard type's own
// text, from random buffers, both ways.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "convert/conversion_drivers.h"
#include "convert/input/parse_values.h"
#include "convert/tree_text.h"
#include "platform/automation/bstr_text.h"
#include "platform/automation/oleauto.h"
#include "platform/code_page.h"
#include "tests/support/test_catalog.h"

namespace vornfmt::test {
namespace {

const std::string kStandardCatalog = std::string(VORNFMT_SOURCE_DIR) + "/resources/catalog";

// The whole-type parse without anything kept: every trial pattern built and
// masked anew, every item found by name.
bool ParsedByName(const CAlternateFmt& format, std::u16string_view text, CTypeTreeItem& root) {
  const TrialPatterns& trials = format.Trials();
  if (trials.TooMany()) return false;
  const uint64_t count = std::min(trials.PatternCount(), trials.LeafListCount());
  for (uint64_t k = 0; k < count; ++k) {
    CFmt scanner(trials.Pattern(k), text);
    if (!MatchText(format, scanner, root)) continue;
    LeafList chosen;
    ChosenLeaves(format, root, chosen);
    if (chosen == trials.Leaves(k)) return true;
  }
  return false;
}

void Snapshot(const CTypeTreeItemBase& node, std::ostringstream& out) {
  out << node.value.IsSet() << ':' << node.value.value << ' ';
  for (const auto& child : node.Children()) Snapshot(*child, out);
}

// The answer and every value slot after reading `text`.
std::string Read(CTypeTreeItem& root, std::u16string_view text, bool kept) {
  root.ClearValues();
  std::ostringstream out;
  out.precision(17);
  out << (kept ? ParseText(root, text, -1) : ParsedByName(*root.GetFormat(), text, root)) << " | ";
  Snapshot(root, out);
  return out.str();
}

TEST(KeptParse, EveryStandardTypeReadsAsByName) {
  if (!std::filesystem::exists(kStandardCatalog + "/standard.fmt")) GTEST_SKIP() << "no standard catalog";
  TestCatalog catalog(kStandardCatalog, true);
  std::mt19937 random(20261208);
  int texts = 0;
  for (bool nvt : {true, false}) {
    for (int index = 1; index <= 700; ++index) {
      CTypeTreeItem root;
      if (!root.LoadByIndex(static_cast<int16_t>(index), nvt, kPid, 0) || !root.GetFormat()) continue;
      for (int n = 0; n < 4; ++n) {
        Bytes raw(root.GetSize(true));
        for (uint8_t& byte : raw) byte = static_cast<uint8_t>(random());
        VARIANT shown;
        VariantInit(&shown);
        if (!FormatToVariant(root, raw.data(), raw.size(), VT_BSTR, &shown, -1)) continue;
        const std::u16string text(BstrText(shown));
        VariantClear(&shown);
        ++texts;
        const std::string name = codepage::Utf16ToUtf8(root.typeName) + " \"" + codepage::Utf16ToUtf8(text) + '"';
        const std::string byName = Read(root, text, false);
        EXPECT_EQ(Read(root, text, true), byName) << name << ", first read";
        EXPECT_EQ(Read(root, text, true), byName) << name << ", kept";
        // Text that matches no pattern tries them all.
        const std::u16string garbled = text + u"\x01?";
        EXPECT_EQ(Read(root, garbled, true), Read(root, garbled, false)) << name << ", garbled";
      }
    }
  }
  EXPECT_GT(texts, 2000);
}

}  // namespace
}  // namespace vornfmt::test
