// Trees of hand-made type files that once went wrong: fields beyond what the
// codec addresses, references whose stated size or expanded tree is out of
// bounds, and nested arrays whose elements must be reachable by name. Each
// case writes its own catalog folder and loads through the real library.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tests/support/test_catalog.h"
#include "typetree/codec.h"
#include "typetree/type_tree_item.h"

namespace vornfmt::test {
namespace {

inline constexpr char16_t kSetPid[] = u"8000010203040506";

// A catalog folder of type files given as (file name, text), removed again
// with the object; `set` writes one set's type file.
class TempCatalog {
 public:
  // A set of `scope` matching kSetPid whose network-variable types are `nvts`.
  TempCatalog& Set(const std::string& file, int scope, const std::string& nvts) {
    std::ofstream(folder_.path() / file) << R"({"format":"vornfmt-types","version":1,"set":{"program_id":"8000010203040506","scope":)"
                                  << scope << R"(},"nvts":[)" << nvts << "]}";
    return *this;
  }
  std::string Folder() const { return folder_.path().string(); }

 private:
  TempFolder folder_{"vornfmt-regression"};
};

std::string Type(int index, const std::string& name, const std::string& node) {
  return R"({"index":)" + std::to_string(index) + R"(,"name":")" + name + R"(","node":)" + node + "}";
}

// The codec addresses bits with signed 16-bit offsets (32,768 bits, 4,096
// bytes): a field at byte 4095 is the last it can reach. Beyond it a field
// read 0 (from 4096) or wrapped onto byte 0 (from 8192); such types are
// refused when the file is read, so they do not load.
TEST(TypeTreeRegression, EveryFieldThatLoadsIsReadFromItsOwnByte) {
  for (int at : {1, 1000, 4095, 4096, 6000, 8192, 8200}) {
    TempCatalog catalog;
    catalog.Set("far.typ", 3, Type(1, "UNVT_far", R"({"kind":"struct","members":[
        {"kind":"unsigned char","name":"first"},
        {"kind":"unsigned char","name":"far","offset":)" + std::to_string(at) + "}]}"));
    TestCatalog engine(catalog.Folder(), false);
    CTypeTreeItem root;
    const bool loaded = root.LoadByName(u"UNVT_far", kSetPid, 3);
    EXPECT_EQ(loaded, at <= 4095) << at;
    if (!loaded) continue;
    std::vector<uint8_t> raw(static_cast<size_t>(at) + 1, 0);
    raw[0] = 0x11;
    raw[static_cast<size_t>(at)] = 0x22;
    ASSERT_TRUE(Decode(root, raw.data(), raw.size())) << at;
    EXPECT_EQ(root.GetSubfield(0)->value.value, 0x11) << at;
    EXPECT_EQ(root.GetSubfield(1)->value.value, 0x22) << at;
  }
}

// A reference to a type of another set states its size; the referenced type
// is followed only when it takes exactly that size (else its fields would lie
// outside the reference, beyond the raw data or over its neighbours). A
// refused one is an unknown leaf, as a failed look-up is, and the root says why.
TEST(TypeTreeRegression, AReferenceToAnotherSetIsFollowedOnlyAtItsStatedSize) {
  const struct {
    int stated;
    int32_t kind;  // of the nested item
  } table[] = {{4, kKindSignedQuad}, {2, kKindUnknown}, {6, kKindUnknown}};
  for (const auto& row : table) {
    TempCatalog catalog;
    catalog.Set("device.typ", 3, Type(1, "UNVT_a", R"({"kind":"struct","members":[{"kind":"unsigned char","name":"x"},
        {"kind":"reference","name":"r","scope":4,"index":7,"size":)" + std::to_string(row.stated) + R"(},
        {"kind":"unsigned char","name":"z"}]})"));
    catalog.Set("other.typ", 4, Type(7, "UNVT_q", R"({"kind":"signed quad"})"));
    TestCatalog engine(catalog.Folder(), false);
    CTypeTreeItem root;
    ASSERT_TRUE(root.LoadByName(u"UNVT_a", kSetPid, 3)) << row.stated;
    ASSERT_EQ(root.GetSubfieldCount(), 3) << row.stated;
    EXPECT_EQ(root.GetSubfield(1)->kind, row.kind) << row.stated;
    EXPECT_EQ(root.GetSubfield(1)->GetName(), u"r") << row.stated;
    const std::u16string expected = row.kind == kKindUnknown
        ? u"UNVT_a.r: the reference states " + std::u16string(1, u'0' + row.stated) + u" bytes; UNVT_q takes 4"
        : u"";
    EXPECT_EQ(root.LoadProblem(), expected) << row.stated;
  }
}

// The documented bound of 100,000 nodes holds for the whole tree, the nodes
// of referenced types included: a union of references, each consistent in
// size, can no longer multiply one type's nodes without end. A tree beyond
// the bound does not load, and the root says why.
TEST(TypeTreeRegression, TheNodeBoundHoldsForTheTreeWithItsReferences) {
  const struct {
    int references;  // each to a type of 1 + 600 nodes
    bool loads;
  } table[] = {{150, true}, {200, false}, {4000, false}};
  for (const auto& row : table) {
    std::string members;
    for (int i = 0; i < row.references; ++i)
      members += std::string(i ? "," : "") + R"({"kind":"reference","name":"r)" + std::to_string(i) +
                 R"(","scope":4,"index":7,"size":600})";
    TempCatalog catalog;
    catalog.Set("device.typ", 3, Type(1, "UNVT_many", R"({"kind":"union","members":[)" + members + "]}"));
    catalog.Set("other.typ", 4, Type(7, "UNVT_wide", R"({"kind":"array","count":600,"element":{"kind":"char"}})"));
    TestCatalog engine(catalog.Folder(), false);
    CTypeTreeItem root;
    EXPECT_EQ(root.LoadByName(u"UNVT_many", kSetPid, 3), row.loads) << row.references;
    EXPECT_EQ(root.Subfields().size(), row.loads ? size_t(row.references) * 600 : 0u) << row.references;
    EXPECT_EQ(root.LoadProblem(), row.loads ? u"" : u"UNVT_many: the type and its references expand to more than 100000 nodes")
        << row.references;
  }
}

// Elements of nested arrays are named after the element they lie in, so that
// every one has a name of its own: a[1][0], not a second [0]. Each name finds
// its own subfield, and each subfield reads its own byte.
TEST(TypeTreeRegression, ElementsOfNestedArraysHaveNamesOfTheirOwn) {
  const std::string pair = R"({"kind":"array","count":2,"element":{"kind":"unsigned char"}})";
  const struct {
    std::string node;
    std::vector<std::u16string> names;
  } table[] = {
      {R"({"kind":"array","name":"a","count":2,"element":)" + pair + "}", {u"a[0][0]", u"a[0][1]", u"a[1][0]", u"a[1][1]"}},
      {R"({"kind":"array","name":"a","count":2,"element":{"kind":"array","name":"b","count":2,"element":{"kind":"char"}}})",
       {u"a[0][0]", u"a[0][1]", u"a[1][0]", u"a[1][1]"}},
      {R"({"kind":"struct","members":[{"kind":"char","name":"h"},{"kind":"array","name":"m","count":2,"element":)" + pair +
           "}]}",
       {u"h", u"m[0][0]", u"m[0][1]", u"m[1][0]", u"m[1][1]"}},
      {R"({"kind":"array","name":"a","count":2,"element":{"kind":"array","count":1,"element":)" + pair + "}}",
       {u"a[0][0][0]", u"a[0][0][1]", u"a[1][0][0]", u"a[1][0][1]"}},
      {R"({"kind":"array","name":"a","count":2,"element":{"kind":"struct","members":[{"kind":"array","name":"v","count":2,"element":{"kind":"char"}}]}})",
       {u"a[0].v[0]", u"a[0].v[1]", u"a[1].v[0]", u"a[1].v[1]"}},
  };
  for (const auto& row : table) {
    TempCatalog catalog;
    catalog.Set("nested.typ", 3, Type(1, "UNVT_nested", row.node));
    TestCatalog engine(catalog.Folder(), false);
    CTypeTreeItem root;
    ASSERT_TRUE(root.LoadByName(u"UNVT_nested", kSetPid, 3)) << row.node;
    std::vector<std::u16string> names;
    for (const CTypeTreeItemBase* node : root.Subfields()) names.push_back(node->GetName());
    EXPECT_EQ(names, row.names) << row.node;
    std::vector<uint8_t> raw(root.size);
    for (size_t i = 0; i < raw.size(); ++i) raw[i] = static_cast<uint8_t>(i + 1);
    ASSERT_TRUE(Decode(root, raw.data(), raw.size()));
    for (int16_t i = 0; i < root.GetSubfieldCount(); ++i) {
      EXPECT_EQ(root.FindSubIndexByName(row.names[size_t(i)]), i) << row.node;
      EXPECT_EQ(root.GetSubfield(i)->value.value, i + 1) << row.node;
    }
  }
}

}  // namespace
}  // namespace vornfmt::test
