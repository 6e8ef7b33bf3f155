// Catalog reading and the search by program ID and scope.
#include <gtest/gtest.h>

#include "ldrf/catalog_index.h"
#include "tests/ldrf/ldrf_test_support.h"

namespace vornfmt::test {
namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

struct ScopeCase {
  uint8_t scope;
  std::array<uint8_t, 8> device;
  bool matches;
};

// Template 8A:BC:DE:11:22:33:44:55 (format nibble 8, manufacturer ABCDE,
// class 1122, usage 33, channel 44, model 55).
TEST(ScopeRules, CompareTheFieldsTheScopeCovers) {
  const ScopeCase rows[] = {
      {0, {0, 0, 0, 0, 0, 0, 0, 0}, true},
      {1, {0, 0, 0, 0x11, 0x22, 0, 0, 0}, true}, {1, {0, 0, 0, 0x11, 0x23, 0, 0, 0}, false},
      {2, {0, 0, 0, 0x11, 0x22, 0x33, 0, 0}, true}, {2, {0, 0, 0, 0x11, 0x22, 0x34, 0, 0}, false},
      {3, {0x9A, 0xBC, 0xDE, 0, 0, 0, 0, 0}, true},   // format nibble ignored
      {3, {0x8B, 0xBC, 0xDE, 0, 0, 0, 0, 0}, false},  // manufacturer's top nibble
      {4, {0x8A, 0xBC, 0xDE, 0x11, 0x22, 0, 0, 0}, true}, {4, {0x8A, 0xBC, 0xDE, 0x11, 0x00, 0, 0, 0}, false},
      {5, {0x8A, 0xBC, 0xDE, 0x11, 0x22, 0x33, 0, 0}, true}, {5, {0x8A, 0xBC, 0xDE, 0x11, 0x22, 0x30, 0, 0}, false},
      {6, {0x8A, 0xBC, 0xDE, 0x11, 0x22, 0x33, 0x00, 0x55}, true},  // channel ignored
      {6, {0x8A, 0xBC, 0xDE, 0x11, 0x22, 0x33, 0x44, 0x56}, false},
      {7, {0x8A, 0xBC, 0xDE, 0x11, 0x22, 0x33, 0x44, 0x55}, false},
  };
  for (const ScopeCase& c : rows) {
    SCOPED_TRACE(&c - rows);
    const ldrf::ProgramId pattern = {0x8A, 0xBC, 0xDE, 0x11, 0x22, 0x33, 0x44, 0x55};
    EXPECT_EQ(ldrf::ProgramIdMatches(c.device, pattern, c.scope), c.matches);
  }
}

TEST(CatalogSearch, FindsTheHighestVersionOfTheSelectorsScopeAndKind) {
  OpenedCatalog catalog(TestData("catalog-a"));
  ASSERT_EQ(catalog.result, LDRF_OK);
  EXPECT_TRUE(EndsWith(catalog.Search(Pid({0x12, 0x34}), 0), "catalog-a/standard.typ"));
  EXPECT_TRUE(EndsWith(catalog.Search(Pid({0, 0, 0, 0x01, 0x02}), 1), "catalog-b/classes.typ"));
  EXPECT_EQ(catalog.Search(Pid({0, 0, 0, 0x01, 0x03}), 1), "");
  EXPECT_TRUE(EndsWith(catalog.Search(Pid({0x80, 0, 1, 2, 3, 4, 9, 7}), 6), "model.typ"));
  EXPECT_EQ(catalog.Search(Pid({0x80, 0, 1, 2, 3, 4, 9, 8}), 6), "");
  EXPECT_EQ(catalog.Search(Pid({}), 7), "");
  // The highest version wins; a set without a format file is not found for one.
  EXPECT_TRUE(EndsWith(catalog.Search(Pid({0x80, 0, 1}), 3), "vendor2.typ"));
  EXPECT_TRUE(EndsWith(catalog.Search(Pid({0x80, 0, 1}), 3, LDRF_KIND_FORMAT_FILE), "vendor2.fmt"));
  EXPECT_EQ(catalog.Search(Pid({0, 0, 0, 1, 2}), 1, LDRF_KIND_FORMAT_FILE), "");
}

TEST(CatalogSearch, ListsFormatFilesInCatalogOrderWithStableTags) {
  OpenedCatalog catalog(TestData("catalog-a"));
  uint16_t count = 0;
  ASSERT_EQ(LdrfGetCatalogInfo(catalog.handle, nullptr, nullptr, nullptr, nullptr, nullptr, &count), LDRF_OK);
  ASSERT_EQ(count, 2);
  std::vector<std::string> listed;
  for (uint16_t i = 0; i <= count + 1; ++i) {
    char path[260];
    uint32_t length = sizeof path;
    if (LdrfCatalogGetFile(catalog.handle, 5, i, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, path,
                           &length) == LDRF_OK)
      listed.emplace_back(path, length);
  }
  ASSERT_EQ(listed.size(), 2u);  // index 0 and count + 1 are refused
  EXPECT_TRUE(EndsWith(listed[0], "standard.fmt"));
  EXPECT_TRUE(EndsWith(listed[1], "vendor2.fmt"));
  uint16_t tag = 0;
  catalog.Search(Pid({0, 0, 0, 1, 2}), 1, LDRF_KIND_TYPE_FILE, &tag);
  EXPECT_EQ(tag, 5);  // four sets of catalog-a first, then catalog-b; catalog-a is not read twice
}

TEST(CatalogSearch, RefusesWhatIsNotACatalog) {
  LdrfHandle handle = 0;
  EXPECT_EQ(LdrfOpenCatalog(TestData("no-such-folder").c_str(), 1, &handle), LDRF_CANNOT_READ);
  EXPECT_EQ(LdrfOpenCatalog(TestData("catalog-a").c_str(), 2, &handle), LDRF_BAD_PARAMETER);
  EXPECT_EQ(LdrfOpenCatalog(nullptr, 1, &handle), LDRF_BAD_PARAMETER);
  EXPECT_EQ(LdrfCloseCatalog(123456), LDRF_BAD_HANDLE);
}

TEST(CatalogSearch, SkipsAMalformedSetAndKeepsTheRest) {
  ldrf::CatalogIndex index;
  std::string error;
  ASSERT_TRUE(index.Build(TestData("broken"), error)) << error;
  ASSERT_EQ(index.sets().size(), 1u);
  ASSERT_EQ(index.skipped().size(), 1u);
  EXPECT_NE(index.skipped()[0].find("cut.typ"), std::string::npos);
}

TEST(CatalogSearch, UnknownLanguageKeyFails) {
  OpenedCatalog catalog(TestData("catalog-a"));
  char path[260];
  uint32_t length = sizeof path;
  uint16_t tag = 0;
  auto pid = Pid({});
  EXPECT_EQ(LdrfSearchCatalog(catalog.handle, pid.data(), 0, 3, 0x12345600, path, &length, &tag, nullptr),
            LDRF_UNKNOWN_LANGUAGE);
}

}  // namespace
}  // namespace vornfmt::test
