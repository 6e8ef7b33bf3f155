// Building trees: subfield numbering, path names, look-ups, references,
// reference cycles, scripted read failures and the cost of selecting a node.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/code_page.h"
#include "tests/support/scripted_library.h"
#include "tests/support/test_catalog.h"
#include "typetree/tree_builder.h"
#include "typetree/type_tree_item.h"
#include "typetree/variant_type.h"

namespace vornfmt::test {
namespace {

std::vector<std::u16string> SubfieldNames(const CTypeTreeItem& root) {
  std::vector<std::u16string> names;
  for (const CTypeTreeItemBase* node : root.Subfields()) names.push_back(node->GetName());
  return names;
}

// Each fixture's `root` is destroyed before its engine.
class TreeModel : public testing::Test {
 protected:
  TestCatalog catalogA{"catalog-a", false};
  CTypeTreeItem root;
};

class TestTypes : public testing::Test {
 protected:
  TestCatalog types{"typetree", false};
  CTypeTreeItem root;
};

// Leaves in pre-order through structures, arrays and references, each with
// its path name, place, size and VARIANT type; the root is subfield -1.
TEST_F(TreeModel, NumbersLeavesInPreOrderWithPlacesSizesAndVariantTypes) {
  ASSERT_TRUE(root.LoadByName(u"SNVT_record", kPid, 0));
  const struct {
    const char16_t* name;
    uint16_t bitOffset, bits, bytes, vt;
  } leaves[] = {{u"SNVT_record", 0, 128, 16, vt::kBstr}, {u"f1", 0, 8, 1, vt::kUI1},   {u"f2.g1", 8, 16, 2, vt::kI2},
                {u"f2.g2", 24, 8, 1, vt::kBstr},        {u"on", 32, 1, 1, vt::kUI1},  {u"mode", 33, 3, 1, vt::kUI1},
                {u"wide", 40, 6, 1, vt::kUI1},          {u"pair[0].x", 48, 8, 1, vt::kUI1},
                {u"pair[0].y", 56, 8, 1, vt::kI1},      {u"pair[1].x", 64, 8, 1, vt::kUI1},
                {u"pair[1].y", 72, 8, 1, vt::kI1},      {u"f3", 80, 32, 4, vt::kR4},
                {u"lvl", 112, 16, 2, vt::kR4}};  // the referenced type's root, at the reference's place
  ASSERT_EQ(root.GetSubfieldCount(), 12);
  for (int16_t sub = -1; sub < 12; ++sub) {
    const auto& leaf = leaves[sub + 1];
    SCOPED_TRACE(codepage::Utf16ToUtf8(leaf.name));
    CTypeTreeItemBase* node = root.GetSubfield(sub);
    EXPECT_EQ(std::tuple(node->GetName(), root.FindSubIndexByName(leaf.name), root.FindItemByName(leaf.name)),
              std::tuple(std::u16string(leaf.name), sub, node));
    EXPECT_EQ(std::tuple(node->GetBitOffset(), node->GetSize(false), node->GetSize(true), node->GetVariantType()),
              std::tuple(leaf.bitOffset, leaf.bits, leaf.bytes, leaf.vt));
    if (sub < 0) continue;
    EXPECT_EQ(node->owner, &root);
  }
  EXPECT_EQ(root.GetSubfield(-1), &root);
  EXPECT_TRUE(root.name.empty());
  EXPECT_NE(dynamic_cast<CTypeTreeItem*>(root.GetSubfield(11)), nullptr);
  EXPECT_EQ(root.GetSubfield(11)->kind, kKindSignedLong);
  // Look-ups are exact and case-sensitive; a structure is not a subfield.
  EXPECT_EQ(std::tuple(root.GetSubfield(12), root.GetSubfield(-2)), std::tuple(nullptr, nullptr));
  EXPECT_EQ(std::tuple(root.FindSubIndexByName(u"F1"), root.FindSubIndexByName(u"f2")), std::tuple(-1, -1));
  EXPECT_EQ(root.FindItemByName(u"nothing"), nullptr);
}

TEST_F(TreeModel, ScalarTypesAndPropertiesByNameAndIndex) {
  using namespace std::string_literals;
  ASSERT_TRUE(root.LoadByName(u"SNVT_level", kPid, 0));
  EXPECT_EQ(std::tuple(root.GetSubfieldCount(), root.GetName(), root.kind, root.typeIndex, root.measurementSystem),
            std::tuple(0, u"SNVT_level"s, kKindSignedLong, 1, u"SI"s));
  EXPECT_EQ(std::tuple(root.GetNameText(), root.GetCommentText(), root.GetVariantType()),
            std::tuple(u"Level"s, u"A level in tenths"s, vt::kR4));  // multiplier 1, exponent -1
  ASSERT_TRUE(root.LoadByName(u"SNVT_level#US", kPid, 0));  // a measurement system suffix is split off
  EXPECT_EQ(std::tuple(root.typeName, root.measurementSystem), std::tuple(u"SNVT_level"s, u"US"s));
  ASSERT_TRUE(root.LoadByName(u"SNVT_either", kPid, 0));
  EXPECT_EQ(std::tuple(root.GetVariantType(), root.GetSubfield(0)->GetVariantType()), std::tuple(vt::kBstr, vt::kI4));
  // A property referring to a network variable keeps its own name.
  ASSERT_TRUE(root.LoadByName(u"SCPTlevel", kPid, 0));
  EXPECT_EQ(std::tuple(root.typeName, root.GetName(), root.name, root.typeIndex, root.isNetworkVariable, root.kind),
            std::tuple(u"SCPTlevel"s, u"SCPTlevel"s, u""s, 1, 1, kKindSignedLong));
  ASSERT_TRUE(root.LoadByIndex(2, false, kPid, 0));
  EXPECT_EQ(std::tuple(root.typeName, root.kind, root.isNetworkVariable),
            std::tuple(u"SCPTdouble"s, kKindDoubleFloat, 0));
  CTypeTreeItem empty, unknown, noFile, index0, onlySystem;
  EXPECT_FALSE(empty.LoadByName(u"", kPid, 0));
  EXPECT_FALSE(unknown.LoadByName(u"SNVT_nothing", kPid, 0));
  EXPECT_FALSE(noFile.LoadByName(u"SNVT_level", kPid, 6));
  EXPECT_FALSE(index0.LoadByIndex(0, true, kPid, 0));
  EXPECT_FALSE(onlySystem.LoadByName(u"#US", kPid, 0));
  EXPECT_EQ(unknown.treeHandle, 0u);
}

// Array elements are named as the library spells them (the root's name
// first), fields of a referenced type under the referring field, nested
// structures with full stops; a failed reference is an unknown leaf.
TEST_F(TestTypes, PathNamesAndPlacesThroughArraysAndReferences) {
  const std::pair<const char16_t*, std::vector<std::pair<std::u16string, uint16_t>>> cases[] = {  // names, offsets
      {u"UNVT_pairs",
       {{u"UNVT_pairs[0].x", 0}, {u"UNVT_pairs[0].y", 8}, {u"UNVT_pairs[1].x", 16}, {u"UNVT_pairs[1].y", 24},
        {u"UNVT_pairs[2].x", 32}, {u"UNVT_pairs[2].y", 40}, {u"UNVT_pairs[3].x", 48}, {u"UNVT_pairs[3].y", 56}}},
      {u"UNVT_outer", {{u"head", 0}, {u"inner.a", 8}, {u"inner.b", 16}, {u"inner.v", 24}, {u"letter", 40}}},
      {u"UNVT_deep",
       {{u"w1", 0}, {u"w2", 8}, {u"w3", 16}, {u"w4", 24}, {u"s.arr[0].p", 32}, {u"s.arr[0].t.x", 40},
        {u"s.arr[1].p", 56}, {u"s.arr[1].t.x", 64}, {u"s.arr[2].p", 80}, {u"s.arr[2].t.x", 88}}},
      {u"UNVT_dangling", {{u"a", 0}, {u"gone", 8}, {u"z", 24}}},
  };
  for (const auto& [type, leaves] : cases) {
    CTypeTreeItem& tree = types.Load(type);
    ASSERT_EQ(tree.GetSubfieldCount(), static_cast<int16_t>(leaves.size())) << codepage::Utf16ToUtf8(type);
    for (int16_t sub = 0; sub < tree.GetSubfieldCount(); ++sub) {
      const auto& [name, bitOffset] = leaves[static_cast<size_t>(sub)];
      CTypeTreeItemBase* node = tree.GetSubfield(sub);
      EXPECT_EQ(std::tuple(node->GetName(), tree.FindSubIndexByName(name), node->GetBitOffset()),
                std::tuple(name, sub, bitOffset));
    }
  }
  EXPECT_EQ(types.Load(u"UNVT_pairs").Children().size(), 4u);
  CTypeTreeItem& dangling = types.Load(u"UNVT_dangling");
  EXPECT_EQ(std::tuple(dangling.GetSubfield(1)->kind, dangling.GetSubfield(1)->GetVariantType()),
            std::tuple(kKindUnknown, vt::kEmpty));
}

TEST_F(TestTypes, ReferenceCyclesStopAtTheDepthBoundAndTheLoadBudget) {
  ASSERT_TRUE(root.LoadByName(u"UNVT_loop", kPid, 0));
  // a, then next.a for each followed level, then the unknown leaf past the bound.
  ASSERT_EQ(root.GetSubfieldCount(), kMaxReferenceDepth + 2);
  CTypeTreeItemBase* last = root.GetSubfield(kMaxReferenceDepth + 1);
  EXPECT_EQ(last->kind, kKindUnknown);
  std::u16string expectedName;
  for (int i = 0; i <= kMaxReferenceDepth; ++i) expectedName += i == 0 ? u"next" : u".next";
  EXPECT_EQ(last->GetName(), expectedName);
  // A type that is a reference to itself loads as unknown.
  ASSERT_TRUE(root.LoadByName(u"UNVT_self", kPid, 0));
  EXPECT_EQ(std::tuple(root.kind, root.GetSubfieldCount(), root.typeName),
            std::tuple(kKindUnknown, 0, std::u16string(u"UNVT_self")));
  // Three references to itself per level would give 3^9 leaves; the budget cuts it.
  TheScript().scans = 0;
  ASSERT_TRUE(root.LoadByName(u"UNVT_fanout", kPid, 0));
  EXPECT_GT(root.Subfields().size(), 3u * kMaxReferenceLoads / 2);
  EXPECT_LT(root.Subfields().size(), 3u * kMaxReferenceLoads);
  EXPECT_LE(TheScript().scans, 3 * kMaxReferenceLoads);
}

// The `read`th node read (1: the root) answers `result`.
TEST_F(TestTypes, ScriptedReadFailures) {
  const struct {
    int read;
    LdrfResult result;
    const char16_t* type;
    std::vector<std::u16string> names;
    size_t children;
  } cases[] = {
      {4, LDRF_OK, u"UNVT_five", {u"m1", u"m2", u"m3"}, 3},  // m3 answers "last node": the structure ends
      {6, LDRF_MALFORMED, u"UNVT_deep", {u"w1", u"w2", u"w3", u"w4"}, 5},  // s fails: kept, no members
      {1, LDRF_OUT_OF_SEQUENCE, u"UNVT_five", {}, 0},  // the root fails: an empty tree
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.read);
    TheScript().readToAlter = c.read;
    TheScript().reads = 0;
    TheScript().alteredResult = c.result;
    CTypeTreeItem tree;
    ASSERT_TRUE(tree.LoadByName(c.type, kPid, 0));
    EXPECT_EQ(SubfieldNames(tree), c.names);
    EXPECT_EQ(tree.GetSubfieldCount(), static_cast<int16_t>(c.names.size()));
    ASSERT_EQ(tree.Children().size(), c.children);
    if (c.children == 5) {
      const CTypeTreeItemBase& s = *tree.Children()[4];
      EXPECT_EQ(s.name, u"s");
      EXPECT_EQ(s.kind, kKindStruct);
      EXPECT_TRUE(s.Children().empty());
    }
  }
}

TEST_F(TestTypes, SelectingANodeCostsOneFindPerNamedLevel) {
  ASSERT_TRUE(root.LoadByName(u"UNVT_deep", kPid, 0));
  // Subfield and finds: w1; w4; s, arr[0], p; s, arr[2], t, x.
  for (const auto& [sub, finds] : {std::pair<int16_t, int>{0, 1}, {3, 1}, {4, 3}, {9, 4}}) {
    TheScript().finds = 0;
    TheScript().scans = 0;
    ASSERT_NE(root.GetSubfield(sub)->SelectNode(), 0u) << sub;
    EXPECT_EQ(TheScript().finds, finds) << sub;
    EXPECT_EQ(TheScript().scans, 1) << sub;
  }
}

// Unsigned quad and double have no size; a failed selection gives neutral answers.
TEST_F(TestTypes, NoSizeAndFailedSelectionGiveNeutralAnswers) {
  CTypeTreeItem &uquad = types.Load(u"UNVT_uquad"), &dbl = types.Load(u"UNVT_double");
  EXPECT_EQ(std::tuple(uquad.GetSize(true), dbl.GetSize(false), dbl.GetBitOffset(), uquad.GetVariantType()),
            std::tuple(0, 0, 0, vt::kBstr));
  ASSERT_TRUE(root.LoadByName(u"UNVT_bits", kPid, 0));
  TheScript().failFinds = true;
  CTypeTreeItemBase* down = root.GetSubfield(2);
  // The bit within the byte is not known.
  EXPECT_EQ(std::tuple(down->SelectNode(), down->GetVariantType(), down->GetSize(false), down->GetBitOffset()),
            std::tuple(0u, vt::kEmpty, 0, 8));
}

// A second load replaces the nodes; a root whose tree was freed reopens it;
// ClearValues empties the whole subtree.
TEST_F(TestTypes, ReloadingReopeningAndClearing) {
  ASSERT_TRUE(root.LoadByName(u"UNVT_five", kPid, 0));
  ASSERT_TRUE(root.LoadByName(u"UNVT_padded", kPid, 0));
  EXPECT_EQ(std::tuple(root.GetSubfieldCount(), root.Children().size()), std::tuple(3, 3u));
  // No format file.
  EXPECT_EQ(std::tuple(root.GetFormat(), root.GetMeasurementSystem()), std::tuple(nullptr, std::u16string()));
  root.FreeTree();
  EXPECT_EQ(root.treeHandle, 0u);
  EXPECT_NE(root.GetSubfield(2)->SelectNode(), 0u);
  EXPECT_NE(root.treeHandle, 0u);
  EXPECT_EQ(root.GetSubfieldCount(), 3);
  ASSERT_TRUE(root.LoadByName(u"UNVT_outer", kPid, 0));
  for (CTypeTreeItemBase* node : root.Subfields()) node->value.Store(7.0);
  root.value.Store(1.0);
  root.ClearValues();
  EXPECT_FALSE(root.value.IsSet());
  for (CTypeTreeItemBase* node : root.Subfields())
    EXPECT_EQ(std::tuple(node->value.IsSet(), node->value.value), std::tuple(false, 0.0)) << node->name.size();
}

TEST(WithFormats, TheMeasurementSystemChoosesTheFormat) {
  TestCatalog types{"typetree", true};
  CTypeTreeItem &si = types.Load(u"UNVT_padded"), &us = types.Load(u"UNVT_padded#US");
  CTypeTreeItem &other = types.Load(u"UNVT_padded#XX"), &none = types.Load(u"UNVT_five");
  ASSERT_NE(si.GetFormat(), nullptr);
  // No such system: the default.
  EXPECT_EQ(std::tuple(si.GetMeasurementSystem(), us.GetMeasurementSystem(), other.GetMeasurementSystem()),
            std::tuple(std::u16string(u"SI"), std::u16string(u"US"), std::u16string(u"US")));
  si.SetMeasurementSystem(u"US");
  EXPECT_EQ(std::tuple(si.GetMeasurementSystem(), si.GetFormat()), std::tuple(u"US", us.GetFormat()));
  EXPECT_NE(none.formatFile, nullptr);  // a type without entry has no format
  EXPECT_EQ(std::tuple(none.GetFormat(), none.GetMeasurementSystem()), std::tuple(nullptr, std::u16string()));
}

}  // namespace
}  // namespace vornfmt::test
