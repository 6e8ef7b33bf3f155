// Building trees: subfield numbering, path names, look-ups, references,
// reference cycles, scripted read failures and the cost of selecting a node.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST_F(TreeModel, NumbersLeavesInPreOrderThroughStructuresArraysAndReferences) {
  ASSERT_TRUE(root.LoadByName(u"SNVT_record", kPid, 0));
  const std::vector<std::u16string> expected = {u"f1",        u"f2.g1",     u"f2.g2",     u"on",
                                                u"mode",      u"wide",      u"pair[0].x", u"pair[0].y",
                                                u"pair[1].x", u"pair[1].y", u"f3",        u"lvl"};
  EXPECT_EQ(SubfieldNames(root), expected);
  EXPECT_EQ(root.GetSubfieldCount(), 12);
  EXPECT_EQ(root.GetName(), u"SNVT_record");
  EXPECT_TRUE(root.name.empty());
  // The referenced type's root is the leaf at the reference's place.
  CTypeTreeItemBase* lvl = root.GetSubfield(11);
  ASSERT_NE(lvl, nullptr);
  EXPECT_NE(dynamic_cast<CTypeTreeItem*>(lvl), nullptr);
  EXPECT_EQ(lvl->kind, kKindSignedLong);
  EXPECT_EQ(lvl->GetName(), u"lvl");
  EXPECT_EQ(lvl->GetBitOffset(), 14 * 8);
  for (const CTypeTreeItemBase* node : root.Subfields()) EXPECT_EQ(node->owner, &root) << "subfield";
}

TEST_F(TreeModel, LookUpsByIndexAndNameAreExactAndCaseSensitive) {
  ASSERT_TRUE(root.LoadByName(u"SNVT_record", kPid, 0));
  EXPECT_EQ(root.GetSubfield(-1), &root);
  EXPECT_EQ(root.GetSubfield(12), nullptr);
  EXPECT_EQ(root.GetSubfield(-2), nullptr);
  EXPECT_EQ(root.FindSubIndexByName(u"pair[1].x"), 8);
  EXPECT_EQ(root.FindSubIndexByName(u"F1"), -1);
  EXPECT_EQ(root.FindSubIndexByName(u"f2"), -1);  // a structure is not a subfield
  EXPECT_EQ(root.FindSubIndexByName(u"SNVT_record"), -1);
  EXPECT_EQ(root.FindItemByName(u"SNVT_record"), &root);
  EXPECT_EQ(root.FindItemByName(u"f2.g2"), root.GetSubfield(2));
  EXPECT_EQ(root.FindItemByName(u"nothing"), nullptr);
}

TEST_F(TreeModel, AScalarTypeHasNoSubfieldsAndIsAddressedAsAWhole) {
  ASSERT_TRUE(root.LoadByName(u"SNVT_level", kPid, 0));
  EXPECT_EQ(root.GetSubfieldCount(), 0);
  EXPECT_EQ(root.GetName(), u"SNVT_level");
  EXPECT_EQ(root.kind, kKindSignedLong);
  EXPECT_EQ(root.typeIndex, 1);
  EXPECT_EQ(root.GetNameText(), u"Level");
  EXPECT_EQ(root.GetCommentText(), u"A level in tenths");
  EXPECT_EQ(root.measurementSystem, u"SI");
  CTypeTreeItem us;  // a measurement system suffix is split off
  ASSERT_TRUE(us.LoadByName(u"SNVT_level#US", kPid, 0));
  EXPECT_EQ(us.typeName, u"SNVT_level");
  EXPECT_EQ(us.measurementSystem, u"US");
}

TEST_F(TreeModel, FailedLoadsAnswerFalse) {
  CTypeTreeItem empty, unknown, noFile, index0, onlySystem;
  EXPECT_FALSE(empty.LoadByName(u"", kPid, 0));
  EXPECT_FALSE(unknown.LoadByName(u"SNVT_nothing", kPid, 0));
  EXPECT_FALSE(noFile.LoadByName(u"SNVT_level", kPid, 6));
  EXPECT_FALSE(index0.LoadByIndex(0, true, kPid, 0));
  EXPECT_FALSE(onlySystem.LoadByName(u"#US", kPid, 0));
  EXPECT_EQ(unknown.treeHandle, 0u);
}

TEST_F(TreeModel, ConfigurationPropertiesByNameAndIndex) {
  // One referring to a network variable keeps its own name.
  ASSERT_TRUE(root.LoadByName(u"SCPTlevel", kPid, 0));
  EXPECT_EQ(root.typeName, u"SCPTlevel");
  EXPECT_EQ(root.GetName(), u"SCPTlevel");
  EXPECT_EQ(root.typeIndex, 1);
  EXPECT_EQ(root.isNetworkVariable, 1);
  EXPECT_EQ(root.kind, kKindSignedLong);
  EXPECT_TRUE(root.name.empty());
  ASSERT_TRUE(root.LoadByIndex(2, false, kPid, 0));
  EXPECT_EQ(root.typeName, u"SCPTdouble");
  EXPECT_EQ(root.kind, kKindDoubleFloat);
  EXPECT_EQ(root.isNetworkVariable, 0);
}

TEST_F(TreeModel, VariantTypesFollowKindAndScaling) {
  CTypeTreeItem record, level, either;
  ASSERT_TRUE(record.LoadByName(u"SNVT_record", kPid, 0));
  ASSERT_TRUE(level.LoadByName(u"SNVT_level", kPid, 0));
  ASSERT_TRUE(either.LoadByName(u"SNVT_either", kPid, 0));
  const std::vector<uint16_t> expected = {vt::kUI1, vt::kI2, vt::kBstr, vt::kUI1, vt::kUI1, vt::kUI1,
                                          vt::kUI1, vt::kI1, vt::kUI1,  vt::kI1,  vt::kR4,  vt::kR4};
  for (int16_t i = 0; i < record.GetSubfieldCount(); ++i)
    EXPECT_EQ(record.GetSubfield(i)->GetVariantType(), expected[static_cast<size_t>(i)]) << i;
  EXPECT_EQ(record.GetVariantType(), vt::kBstr);
  EXPECT_EQ(level.GetVariantType(), vt::kR4);  // multiplier 1, exponent -1
  EXPECT_EQ(either.GetVariantType(), vt::kBstr);
  EXPECT_EQ(either.GetSubfield(0)->GetVariantType(), vt::kI4);
}

TEST_F(TreeModel, SizesAndBitOffsetsOfEveryKind) {
  CTypeTreeItem record;
  ASSERT_TRUE(record.LoadByName(u"SNVT_record", kPid, 0));
  struct Row {
    int16_t sub;
    uint16_t bitOffset, bits, bytes;
  };
  const std::vector<Row> table = {{0, 0, 8, 1},    {1, 8, 16, 2},   {2, 24, 8, 1},   {3, 32, 1, 1},
                                  {4, 33, 3, 1},   {5, 40, 6, 1},   {6, 48, 8, 1},   {9, 72, 8, 1},
                                  {10, 80, 32, 4}, {11, 112, 16, 2}, {-1, 0, 128, 16}};
  for (const Row& row : table) {
    CTypeTreeItemBase* node = record.GetSubfield(row.sub);
    EXPECT_EQ(node->GetBitOffset(), row.bitOffset) << row.sub;
    EXPECT_EQ(node->GetSize(false), row.bits) << row.sub;
    EXPECT_EQ(node->GetSize(true), row.bytes) << row.sub;
  }
}

TEST_F(TestTypes, UnsignedQuadAndDoubleHaveNoSize) {
  CTypeTreeItem uquad, dbl;
  ASSERT_TRUE(uquad.LoadByName(u"UNVT_uquad", kPid, 0));
  ASSERT_TRUE(dbl.LoadByName(u"UNVT_double", kPid, 0));
  EXPECT_EQ(uquad.GetSize(true), 0);
  EXPECT_EQ(dbl.GetSize(false), 0);
  EXPECT_EQ(dbl.GetBitOffset(), 0);
  EXPECT_EQ(uquad.GetVariantType(), vt::kBstr);
}

TEST_F(TestTypes, AnArrayOfFourTwoFieldStructuresGivesEightSubfields) {
  ASSERT_TRUE(root.LoadByName(u"UNVT_pairs", kPid, 0));
  EXPECT_EQ(root.Children().size(), 4u);
  EXPECT_EQ(root.GetSubfieldCount(), 8);
  EXPECT_EQ(root.GetSubfield(7)->GetName(), u"UNVT_pairs[3].y");  // element names as the library spells them
  EXPECT_EQ(root.GetSubfield(7)->GetBitOffset(), 56);
}

TEST_F(TestTypes, FieldsOfAReferencedTypeAreNamedUnderTheReferringField) {
  ASSERT_TRUE(root.LoadByName(u"UNVT_outer", kPid, 0));
  const std::vector<std::u16string> expected = {u"head", u"inner.a", u"inner.b", u"inner.v", u"letter"};
  EXPECT_EQ(SubfieldNames(root), expected);
  EXPECT_EQ(root.GetSubfield(3)->GetBitOffset(), 24);  // reference at byte 1, field at byte 2 of its type
  EXPECT_EQ(root.GetSubfield(4)->GetBitOffset(), 40);
}

TEST_F(TestTypes, NestedStructuresInArrayElementsAreNamedWithFullStops) {
  ASSERT_TRUE(root.LoadByName(u"UNVT_deep", kPid, 0));
  EXPECT_EQ(root.FindSubIndexByName(u"s.arr[2].t.x"), 9);
  EXPECT_EQ(root.GetSubfield(9)->GetBitOffset(), 88);
}

TEST_F(TestTypes, AFailedReferenceIsAnUnknownLeafAndTheLoadSucceeds) {
  ASSERT_TRUE(root.LoadByName(u"UNVT_dangling", kPid, 0));
  const std::vector<std::u16string> expected = {u"a", u"gone", u"z"};
  EXPECT_EQ(SubfieldNames(root), expected);
  EXPECT_EQ(root.GetSubfield(1)->kind, kKindUnknown);
  EXPECT_EQ(root.GetSubfield(1)->GetVariantType(), vt::kEmpty);
}

TEST_F(TestTypes, AReferenceCycleStopsAtTheDepthBound) {
  ASSERT_TRUE(root.LoadByName(u"UNVT_loop", kPid, 0));
  // a, then next.a for each followed level, then the unknown leaf past the bound.
  ASSERT_EQ(root.GetSubfieldCount(), kMaxReferenceDepth + 2);
  CTypeTreeItemBase* last = root.GetSubfield(kMaxReferenceDepth + 1);
  EXPECT_EQ(last->kind, kKindUnknown);
  std::u16string expectedName;
  for (int i = 0; i <= kMaxReferenceDepth; ++i) expectedName += i == 0 ? u"next" : u".next";
  EXPECT_EQ(last->GetName(), expectedName);
}

TEST_F(TestTypes, ATypeThatIsAReferenceToItselfLoadsAsUnknown) {
  ASSERT_TRUE(root.LoadByName(u"UNVT_self", kPid, 0));
  EXPECT_EQ(root.kind, kKindUnknown);
  EXPECT_EQ(root.GetSubfieldCount(), 0);
  EXPECT_EQ(root.typeName, u"UNVT_self");
}

TEST_F(TestTypes, ATypeReferringToItselfManyTimesStopsAtTheLoadBudget) {
  ASSERT_TRUE(root.LoadByName(u"UNVT_fanout", kPid, 0));
  // Three references per level would give 3^9 leaves; the budget cuts it.
  EXPECT_GT(root.Subfields().size(), 3u * kMaxReferenceLoads / 2);
  EXPECT_LT(root.Subfields().size(), 3u * kMaxReferenceLoads);
  EXPECT_LE(TheScript().scans, 3 * kMaxReferenceLoads);
}

TEST_F(TestTypes, AMemberReadEndingTheScanStopsTheStructure) {
  TheScript().readToAlter = 4;  // root, m1, m2, then m3 answers "last node"
  TheScript().alteredResult = LDRF_OK;
  ASSERT_TRUE(root.LoadByName(u"UNVT_five", kPid, 0));
  EXPECT_EQ(root.Children().size(), 3u);
  const std::vector<std::u16string> expected = {u"m1", u"m2", u"m3"};
  EXPECT_EQ(SubfieldNames(root), expected);
}

TEST_F(TestTypes, AFailedMemberReadKeepsWhatWasReadAndGetsNoMembers) {
  TheScript().readToAlter = 6;  // root, w1..w4, then the structure s fails
  TheScript().alteredResult = LDRF_MALFORMED;
  ASSERT_TRUE(root.LoadByName(u"UNVT_deep", kPid, 0));
  ASSERT_EQ(root.Children().size(), 5u);
  const CTypeTreeItemBase& s = *root.Children()[4];
  EXPECT_EQ(s.name, u"s");
  EXPECT_EQ(s.kind, kKindStruct);
  EXPECT_TRUE(s.Children().empty());
  EXPECT_EQ(root.GetSubfieldCount(), 4);
}

TEST_F(TestTypes, AFailedRootReadGivesAnEmptyTree) {
  TheScript().readToAlter = 1;
  TheScript().alteredResult = LDRF_OUT_OF_SEQUENCE;
  ASSERT_TRUE(root.LoadByName(u"UNVT_five", kPid, 0));
  EXPECT_TRUE(root.Children().empty());
  EXPECT_EQ(root.GetSubfieldCount(), 0);
}

TEST_F(TestTypes, SelectingANodeCostsOneFindPerNamedLevel) {
  ASSERT_TRUE(root.LoadByName(u"UNVT_deep", kPid, 0));
  const struct {
    int16_t sub;
    int finds;
  } table[] = {{0, 1}, {3, 1}, {4, 3}, {9, 4}};  // w1; w4; s, arr[0], p; s, arr[2], t, x
  for (const auto& row : table) {
    TheScript().finds = 0;
    TheScript().scans = 0;
    ASSERT_NE(root.GetSubfield(row.sub)->SelectNode(), 0u) << row.sub;
    EXPECT_EQ(TheScript().finds, row.finds) << row.sub;
    EXPECT_EQ(TheScript().scans, 1) << row.sub;
  }
}

TEST_F(TestTypes, FailedSelectionGivesNeutralAnswers) {
  ASSERT_TRUE(root.LoadByName(u"UNVT_bits", kPid, 0));
  TheScript().failFinds = true;
  CTypeTreeItemBase* down = root.GetSubfield(2);
  EXPECT_EQ(down->SelectNode(), 0u);
  EXPECT_EQ(down->GetVariantType(), vt::kEmpty);
  EXPECT_EQ(down->GetSize(false), 0);
  EXPECT_EQ(down->GetBitOffset(), 8);  // the bit within the byte is not known
}

TEST_F(TestTypes, ARootWhoseTreeWasFreedReopensIt) {
  ASSERT_TRUE(root.LoadByName(u"UNVT_padded", kPid, 0));
  root.FreeTree();
  EXPECT_EQ(root.treeHandle, 0u);
  EXPECT_NE(root.GetSubfield(2)->SelectNode(), 0u);
  EXPECT_NE(root.treeHandle, 0u);
  EXPECT_EQ(root.GetSubfieldCount(), 3);
}

TEST_F(TestTypes, ClearValuesEmptiesTheWholeSubtree) {
  ASSERT_TRUE(root.LoadByName(u"UNVT_outer", kPid, 0));
  for (CTypeTreeItemBase* node : root.Subfields()) node->value.Store(7.0);
  root.value.Store(1.0);
  root.ClearValues();
  EXPECT_FALSE(root.value.IsSet());
  for (CTypeTreeItemBase* node : root.Subfields()) {
    EXPECT_FALSE(node->value.IsSet());
    EXPECT_EQ(node->value.value, 0.0);
  }
}

TEST_F(TestTypes, ASecondLoadReplacesTheNodes) {
  ASSERT_TRUE(root.LoadByName(u"UNVT_padded", kPid, 0));
  ASSERT_TRUE(root.LoadByName(u"UNVT_padded", kPid, 0));
  EXPECT_EQ(root.GetSubfieldCount(), 3);
  EXPECT_EQ(root.Children().size(), 3u);
  ASSERT_TRUE(root.LoadByName(u"UNVT_five", kPid, 0));
  EXPECT_EQ(root.GetSubfieldCount(), 5);
}

TEST_F(TestTypes, WithoutFormatFileThereIsNoFormatOrMeasurementSystem) {
  ASSERT_TRUE(root.LoadByName(u"UNVT_padded", kPid, 0));
  EXPECT_EQ(root.GetFormat(), nullptr);
  EXPECT_EQ(root.GetMeasurementSystem(), u"");
}

}  // namespace
}  // namespace vornfmt::test

namespace vornfmt::test {
namespace {

class WithFormats : public testing::Test {
 protected:
  TestCatalog types{"typetree", true};
  CTypeTreeItem root;
};

TEST_F(WithFormats, TheMeasurementSystemChoosesTheFormat) {
  CTypeTreeItem si, us, other;
  ASSERT_TRUE(si.LoadByName(u"UNVT_padded", kPid, 0));
  ASSERT_TRUE(us.LoadByName(u"UNVT_padded#US", kPid, 0));
  ASSERT_TRUE(other.LoadByName(u"UNVT_padded#XX", kPid, 0));
  ASSERT_NE(si.GetFormat(), nullptr);
  EXPECT_EQ(si.GetMeasurementSystem(), u"SI");
  EXPECT_EQ(us.GetMeasurementSystem(), u"US");
  EXPECT_EQ(other.GetMeasurementSystem(), u"US");  // no such system: the default
  si.SetMeasurementSystem(u"US");
  EXPECT_EQ(si.GetMeasurementSystem(), u"US");
  EXPECT_EQ(si.GetFormat(), us.GetFormat());
}

TEST_F(WithFormats, ATypeWithoutEntryHasNoFormat) {
  ASSERT_TRUE(root.LoadByName(u"UNVT_five", kPid, 0));
  EXPECT_NE(root.formatFile, nullptr);
  EXPECT_EQ(root.GetFormat(), nullptr);
  EXPECT_EQ(root.GetMeasurementSystem(), u"");
}

}  // namespace
}  // namespace vornfmt::test
