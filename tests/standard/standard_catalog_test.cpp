// The shipped catalog (resources/catalog) as the library delivers it: every
// type of tests/data/standard-layout.txt (written straight from the dataset by
// tools/catalog/extract_standard_layout.py) is loaded as a type tree and its
// subfields are compared with the layout's leaves: path, bit offset, width
// and kind. The generated data itself, limits and texts included, is audited
// against the same layout by tests/standard/test_standard_catalog.py.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "tests/support/test_catalog.h"

namespace vornfmt::test {
namespace {

struct Leaf {
  std::string path, kind;
  int bitOffset = 0, bits = 0;
};

struct Type {
  std::string set, name, kind;
  std::vector<Leaf> leaves;
};

std::vector<Type> LoadLayout() {
  std::vector<Type> types;
  std::ifstream in(std::string(VORNFMT_SOURCE_DIR) + "/tests/data/standard-layout.txt");
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> f;
    std::istringstream fields(line);
    for (std::string field; std::getline(fields, field, '\t');) f.push_back(field);
    if (f[0] == "type") types.push_back({f[1], f[4], f[5], {}});
    if (f[0] != "leaf") continue;
    // Bitfield details: BIT WIDTH MIN MAX. A double float, which is not
    // converted, has no size in the tree.
    // A whole-byte bitfield is converted as a one-byte scalar (bitfields are 1 to 7 bits).
    const bool bitfield = f[6] == "bitfield" && f[8] != "8", unsized = f[6] == "float" && f[7] == "double";
    const std::string kind = f[6] == "bitfield" && !bitfield ? "scalar" : f[6];
    types.back().leaves.push_back({f[1] == "-" ? "" : f[1], kind, std::stoi(f[2]) * 8 + (bitfield ? std::stoi(f[7]) : 0),
                                   bitfield ? std::stoi(f[8]) : unsized ? 0 : std::stoi(f[3]) * 8});
  }
  return types;
}

// The layout's kind of a leaf, from the kind the library names.
std::string KindClass(std::u16string_view kind) {
  if (kind == u"bitfield" || kind == u"enum") return codepage::Utf16ToUtf8(std::u16string(kind));
  if (kind == u"float" || kind == u"double float") return "float";
  return "scalar";
}

TEST(StandardCatalog, EveryTypeLoadsWithTheDatasetLayout) {
  const std::vector<Type> types = LoadLayout();
  ASSERT_EQ(types.size(), 614u);  // 210 SNVTs, 380 SCPTs, 7 UNVTs, 17 UCPTs
  TestCatalog catalog(std::string(VORNFMT_SOURCE_DIR) + "/resources/catalog", false);
  int differing = 0;
  for (const Type& t : types) {
    SCOPED_TRACE(t.name);
    const bool iot = t.set == "iot";
    CTypeTreeItem& root = catalog.Load(codepage::Utf8ToUtf16(t.name), iot ? u"9000000500000000" : kPid, iot);
    std::vector<Leaf> got;
    for (int16_t i = root.GetSubfieldCount() == 0 ? -1 : 0; i < root.GetSubfieldCount(); ++i) {
      CTypeTreeItemBase& node = *root.GetSubfield(i);
      got.push_back({i < 0 ? "" : codepage::Utf16ToUtf8(node.GetName()), KindClass(node.GetKindName()),
                     node.GetBitOffset(), node.GetSize(false)});
    }
    std::vector<Leaf> expected = t.leaves;
    if (t.kind == "inherited") expected = {{"", "scalar", 0, 32}};
    size_t i = 0;
    while (i < got.size() && i < expected.size() && got[i].path == expected[i].path && got[i].kind == expected[i].kind &&
           got[i].bitOffset == expected[i].bitOffset && got[i].bits == expected[i].bits)
      ++i;
    const bool same = i == got.size() && i == expected.size();
    differing += !same;
    if (!same && differing <= 10) {
      const Leaf none{"(none)", "", -1, -1}, &g = i < got.size() ? got[i] : none, &e = i < expected.size() ? expected[i] : none;
      ADD_FAILURE() << "subfield " << i << ": " << g.path << " " << g.kind << " at bit " << g.bitOffset << ", " << g.bits
                    << " bits; expected " << e.path << " " << e.kind << " at bit " << e.bitOffset << ", " << e.bits;
    }
  }
  EXPECT_EQ(differing, 0);
}

}  // namespace
}  // namespace vornfmt::test
