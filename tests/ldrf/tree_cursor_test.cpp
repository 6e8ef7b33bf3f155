// The type-tree cursor: pre-order reading, finding by name, detail calls.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "tests/ldrf/ldrf_test_support.h"

namespace vornfmt::test {
namespace {

class TreeCursor : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(file.result, LDRF_OK);
    uint16_t index = 0;
    ASSERT_EQ(LdrfGetNVTByName(file.handle, "SNVT_record", &index, &tree), LDRF_OK);
    EXPECT_EQ(index, 2);
  }
  void TearDown() override { LdrfFreeTypeTree(tree); }

  OpenedTypeFile file{TestData("catalog-a/standard.typ")};
  LdrfHandle tree = 0;
};

TEST_F(TreeCursor, ReadsEveryNodeInPreOrderWithAbsoluteOffsets) {
  uint16_t rootSize = 0;
  int32_t peek = -1;
  ASSERT_EQ(LdrfScanTypeTree(tree, &rootSize, &peek), LDRF_OK);
  EXPECT_EQ(std::pair(rootSize, peek), std::pair(uint16_t{16}, 0));
  const std::tuple<std::string, int32_t, uint16_t, uint16_t> expected[] = {  // name, kind, offset, size
      {"SNVT_record", 9, 0, 16}, {"f1", 2, 0, 1},       {"f2", 9, 1, 3},   {"g1", 5, 1, 2},
      {"g2", 7, 3, 1},           {"on", 11, 4, 1},      {"mode", 11, 4, 1}, {"wide", 11, 5, 1},
      {"pair", 8, 6, 4},         {"pair[0]", 9, 6, 2},  {"x", 2, 6, 1},     {"y", 3, 7, 1},
      {"pair[1]", 9, 8, 2},      {"x", 2, 8, 1},        {"y", 3, 9, 1},     {"f3", 12, 10, 4},
      {"lvl", 14, 14, 2}};
  for (const auto& e : expected) {
    const NodeRead node = ReadNode(tree);
    EXPECT_EQ(node.result, &e == std::end(expected) - 1 ? LDRF_OK : LDRF_MORE) << std::get<0>(e);
    EXPECT_EQ(std::tie(node.name, node.kind, node.offset, node.size), e);
  }
  EXPECT_EQ(ReadNode(tree).result, LDRF_OUT_OF_SEQUENCE);
}

TEST_F(TreeCursor, FindsChildrenAndArrayElementsByName) {
  LdrfScanTypeTree(tree, nullptr, nullptr);
  EXPECT_EQ(LdrfFindTypeTreeNode(tree, 1, "f1"), LDRF_OUT_OF_SEQUENCE);  // nothing read yet
  ReadNode(tree);
  ASSERT_EQ(LdrfFindTypeTreeNode(tree, 1, "pair[1]"), LDRF_OK);  // an element, from the array's parent
  EXPECT_EQ(ReadNode(tree).offset, 8);
  ASSERT_EQ(LdrfFindTypeTreeNode(tree, 1, "y"), LDRF_OK);
  NodeRead y = ReadNode(tree);
  EXPECT_EQ(std::tuple(y.offset, y.result), std::tuple(9, LDRF_MORE));
  EXPECT_EQ(LdrfFindTypeTreeNode(tree, 1, "g1"), LDRF_NOT_FOUND);  // not below y

  LdrfScanTypeTree(tree, nullptr, nullptr);
  ReadNode(tree);
  EXPECT_EQ(LdrfFindTypeTreeNode(tree, 1, "g1"), LDRF_NOT_FOUND);  // a grandchild, not a child
  EXPECT_EQ(LdrfFindTypeTreeNode(tree, 1, "pair"), LDRF_OK);
  EXPECT_EQ(LdrfFindTypeTreeNode(tree, 2, "pair"), LDRF_BAD_PARAMETER);
  ASSERT_EQ(LdrfFindTypeTreeNode(tree, 1, "lvl"), LDRF_OK);
  EXPECT_EQ(ReadNode(tree).result, LDRF_OK);  // the last node of the scan
}

TEST_F(TreeCursor, DetailCallsDescribeTheNodeJustRead) {
  LdrfScanTypeTree(tree, nullptr, nullptr);
  uint16_t count = 0;
  EXPECT_EQ(LdrfGetStructUnionDetails(tree, &count), LDRF_OUT_OF_SEQUENCE);
  ReadNode(tree);
  ASSERT_EQ(LdrfGetStructUnionDetails(tree, &count), LDRF_OK);
  EXPECT_EQ(count, 8);
  int32_t minimum = 0, maximum = 0;
  EXPECT_EQ(LdrfGetScalarDetails(tree, &minimum, &maximum, nullptr, nullptr, nullptr), LDRF_WRONG_NODE_KIND);

  // The other detail calls are checked through the type trees built on them
  // (tests/typetree: bounds, codec and tree-model tests).
  LdrfFindTypeTreeNode(tree, 1, "lvl");
  ReadNode(tree);
  uint8_t scope = 9;
  uint32_t index = 0;
  ASSERT_EQ(LdrfGetReferenceDetails(tree, &scope, &index), LDRF_OK);
  EXPECT_EQ(std::tuple(scope, index), std::tuple(0, 1u));
}

class StandardFile : public testing::Test {
 protected:
  OpenedTypeFile file{TestData("catalog-a/standard.typ")};
  LdrfHandle tree = 0;
};

// Types are looked up in their own table; a reference root shows through peek.
TEST_F(StandardFile, LooksUpTypesByIndexAndNameInTheirOwnTable) {
  uint16_t index = 0, count = 0;
  EXPECT_EQ(std::tuple(LdrfGetNVT(file.handle, 99, &tree), LdrfGetNVT(file.handle, 0, &tree)),
            std::tuple(LDRF_NOT_FOUND, LDRF_NOT_FOUND));
  EXPECT_EQ(LdrfGetCPTByName(file.handle, "SNVT_level", &index, &tree, nullptr, nullptr, nullptr, nullptr, nullptr),
            LDRF_NOT_FOUND);
  EXPECT_EQ(LdrfGetNVTByName(file.handle, "snvt_level", &index, &tree), LDRF_NOT_FOUND);
  ASSERT_EQ(LdrfGetTypeFileInfo(file.handle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr),
            LDRF_OK);
  EXPECT_EQ(count, 6);
  ASSERT_EQ(LdrfGetCPT(file.handle, 1, &tree, nullptr, nullptr, nullptr, nullptr, nullptr), LDRF_OK);
  uint16_t size = 0;
  int32_t peek = 0;
  LdrfScanTypeTree(tree, &size, &peek);
  EXPECT_EQ(std::tuple(peek, size), std::tuple(1, 2));
  EXPECT_EQ(LdrfFreeTypeTree(tree), LDRF_OK);
  EXPECT_EQ(LdrfFreeTypeTree(tree), LDRF_BAD_HANDLE);
}

TEST(TypeTrees, TreeOutlivesItsClosedFile) {
  LdrfHandle tree = 0;
  {
    OpenedTypeFile file(TestData("catalog-a/standard.typ"));
    ASSERT_EQ(LdrfGetNVT(file.handle, 2, &tree), LDRF_OK);
  }
  LdrfScanTypeTree(tree, nullptr, nullptr);
  EXPECT_EQ(ReadNode(tree).name, "SNVT_record");
  LdrfFreeTypeTree(tree);
}

TEST_F(StandardFile, EnumerationMembersByValueAndIndex) {
  uint16_t count = 0;
  EXPECT_EQ(LdrfGetEnumMemberCount(file.handle, &count), LDRF_OUT_OF_SEQUENCE);
  ASSERT_EQ(LdrfSelectEnumSet(file.handle, 1, nullptr, nullptr, nullptr, nullptr), LDRF_OK);
  ASSERT_EQ(LdrfGetEnumMemberCount(file.handle, &count), LDRF_OK);
  EXPECT_EQ(count, 3);
  char name[8];
  uint32_t length = sizeof name;
  ASSERT_EQ(LdrfGetEnumMember(file.handle, 2, name, &length, nullptr, nullptr), LDRF_OK);
  EXPECT_STREQ(name, "gamma");
  length = sizeof name;
  EXPECT_EQ(LdrfGetEnumMember(file.handle, 3, name, &length, nullptr, nullptr), LDRF_NOT_FOUND);
  int32_t value = -1;
  length = sizeof name;
  ASSERT_EQ(LdrfGetEnumMemberByIndex(file.handle, 2, &value, name, &length, nullptr, nullptr), LDRF_OK);
  EXPECT_EQ(std::tuple(std::string(name), value), std::tuple("beta", 1));
  length = 3;  // "beta" does not fit: cut and reported
  EXPECT_EQ(LdrfGetEnumMemberByIndex(file.handle, 2, nullptr, name, &length, nullptr, nullptr), LDRF_BUFFER_TOO_SMALL);
  EXPECT_STREQ(name, "be");
  EXPECT_EQ(LdrfSelectEnumSet(file.handle, 9, nullptr, nullptr, nullptr, nullptr), LDRF_NOT_FOUND);
  EXPECT_EQ(LdrfGetEnumMemberCount(file.handle, &count), LDRF_OUT_OF_SEQUENCE);
}

TEST(Languages, KeysOfKnownExtensionsOnly) {
  uint32_t key = 0;
  ASSERT_EQ(LdrfGetLanguageKeyFromExtension(nullptr, "enu", &key), LDRF_OK);
  EXPECT_EQ(key, 0x656E7500u);
  ASSERT_EQ(LdrfGetLanguageKeyFromExtension(nullptr, "DEU", &key), LDRF_OK);
  EXPECT_EQ(key, 0x64657500u);
  EXPECT_EQ(LdrfGetLanguageKeyFromExtension(nullptr, "xyz", &key), LDRF_UNKNOWN_LANGUAGE);
  EXPECT_EQ(LdrfGetLanguageKeyFromExtension(nullptr, "enus", &key), LDRF_UNKNOWN_LANGUAGE);
  uint32_t info = 0;
  EXPECT_EQ(LdrfGetLanguageInfo(nullptr, nullptr, 0x64657500, nullptr, nullptr, &info, nullptr, nullptr, nullptr),
            LDRF_OK);
  EXPECT_EQ(info, 0x64657500u);
  EXPECT_EQ(LdrfGetLanguageInfo(nullptr, nullptr, 0x78797A00, nullptr, nullptr, &info, nullptr, nullptr, nullptr),
            LDRF_UNKNOWN_LANGUAGE);
}

// Text `index` of scope 0 for program ID 0 in language `key`, or the failure.
std::string Request(uint32_t key, const std::string& folder, uint32_t index) {
  LdrfHandle service = 0;
  if (LdrfStartStringService(key, TestData(folder).c_str(), &service) != LDRF_OK) return "<no service>";
  char text[260];
  uint32_t length = sizeof text;
  const LdrfResult r = LdrfStringServiceRequest(service, Pid({}).data(), 0, index, text, &length);
  EXPECT_EQ(LdrfStopStringService(&service), LDRF_OK);
  return r == LDRF_OK ? std::string(text, length) : "<result " + std::to_string(r) + ">";
}

// ANSI texts of the matching set; none in the German file, no French file.
TEST(Languages, StringServiceDeliversAnsiTextsOfTheMatchingSet) {
  const std::string notFound = "<result " + std::to_string(LDRF_NOT_FOUND) + ">";
  const std::tuple<uint32_t, const char*, uint32_t, std::string> requests[] = {
      {0x656E7500, "catalog-a", 1, "Level"}, {0x64657500, "catalog-a", 1, "Pegel"},
      {0x656E7500, "catalog-a", 4, "Gr\xFC\xDF" "e"},  // Windows-1252
      {0x64657500, "catalog-a", 2, notFound}, {0x66726100, "catalog-a", 1, notFound},
      {0x656E7500, "nowhere", 1, "<no service>"}};
  for (const auto& [key, folder, index, text] : requests)
    EXPECT_EQ(Request(key, folder, index), text) << std::hex << key << " " << index;
}

}  // namespace
}  // namespace vornfmt::test
