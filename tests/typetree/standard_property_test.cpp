// Over every type of the shipped standard catalog and a few hundred random
// buffers each: Decode then Encode writes back exactly the bytes of every
// field whose limits hold, never touches a bit no field covers, and never a
// byte outside the type.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tests/support/written_bits.h"
#include "tests/support/scripted_library.h"
#include "tests/support/test_catalog.h"
#include "typetree/codec.h"
#include "typetree/type_tree_item.h"

namespace vornfmt::test {
namespace {

constexpr int kBuffersPerType = 300;
constexpr size_t kCanary = 16;
constexpr uint8_t kCanaryByte = 0xC7;

const std::string kStandardCatalog = std::string(VORNFMT_SOURCE_DIR) + "/resources/catalog";

struct Counts {
  int types = 0;
  int wholeTypeRoundTrips = 0;
  int fieldRoundTrips = 0;
};

class StandardProperty : public testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kStandardCatalog + "/standard.typ")) GTEST_SKIP() << "no standard catalog";
    engine = std::make_unique<TestCatalog>(kStandardCatalog, false);
  }

  // One random buffer through one type; checks the properties.
  void CheckBuffer(CTypeTreeItem& root, size_t length, const Mask& written, std::mt19937& random, Counts& counts) {
    std::vector<uint8_t> original(length);
    for (uint8_t& byte : original) byte = static_cast<uint8_t>(random());
    ASSERT_TRUE(Decode(root, original.data(), length));
    // The target starts as the complement of the original, fenced by canaries.
    std::vector<uint8_t> target(length + 2 * kCanary, kCanaryByte);
    for (size_t i = 0; i < length; ++i) target[kCanary + i] = static_cast<uint8_t>(~original[i]);
    const bool whole = Encode(root, target.data() + kCanary, length, nullptr);
    for (size_t i = 0; i < kCanary; ++i) {
      ASSERT_EQ(target[i], kCanaryByte) << "before the type";
      ASSERT_EQ(target[kCanary + length + i], kCanaryByte) << "after the type";
    }
    if (whole) {
      ++counts.wholeTypeRoundTrips;
      for (size_t i = 0; i < length; ++i) {
        const uint8_t expected = Blend(original[i], static_cast<uint8_t>(~original[i]), written[i]);
        ASSERT_EQ(target[kCanary + i], expected) << "byte " << i;
      }
    }
    CheckEachField(root, original, counts);
  }

  // Field by field: a field whose limits hold writes its own bits and only those.
  void CheckEachField(CTypeTreeItem& root, const std::vector<uint8_t>& original, Counts& counts) {
    const size_t length = original.size();
    for (int16_t sub = root.GetSubfieldCount() == 0 ? -1 : 0; sub < root.GetSubfieldCount(); ++sub) {
      CTypeTreeItemBase& node = *root.GetSubfield(sub);
      if (!IsConvertedKind(node.kind)) continue;
      const Mask mine = WrittenBits(root, length, sub);
      std::vector<uint8_t> target(length);
      for (size_t i = 0; i < length; ++i) target[i] = static_cast<uint8_t>(~original[i]);
      const bool ok = Encode(node, target.data(), length, nullptr);
      counts.fieldRoundTrips += ok;
      for (size_t i = 0; i < length; ++i) {
        const uint8_t untouched = static_cast<uint8_t>(~original[i]);
        const uint8_t expected = ok ? Blend(original[i], untouched, mine[i]) : untouched;
        ASSERT_EQ(target[i], expected) << "subfield " << sub << " byte " << i;
      }
    }
  }

  void CheckType(CTypeTreeItem& root, std::mt19937& random, Counts& counts) {
    const size_t length = root.GetSize(true);
    const Mask written = WrittenBits(root, length);
    ++counts.types;
    for (int n = 0; n < kBuffersPerType; ++n) {
      CheckBuffer(root, length, written, random, counts);
      if (HasFatalFailure()) {
        ADD_FAILURE() << "type " << std::string(root.typeName.begin(), root.typeName.end());
        return;
      }
    }
  }

  std::unique_ptr<TestCatalog> engine;
};

TEST_F(StandardProperty, DecodeThenEncodeWritesBackEveryFieldWithinItsLimits) {
  std::mt19937 random(20240605);
  Counts counts;
  for (bool nvt : {true, false}) {
    for (int index = 1; index <= 700; ++index) {
      CTypeTreeItem root;
      if (!root.LoadByIndex(static_cast<int16_t>(index), nvt, kPid, 0)) continue;
      CheckType(root, random, counts);
      if (HasFatalFailure()) return;
    }
  }
  EXPECT_EQ(counts.types, 210 + 380);
  // Enough buffers keep every limit for the property to say something.
  EXPECT_GT(counts.wholeTypeRoundTrips, counts.types * kBuffersPerType / 10);
  EXPECT_GT(counts.fieldRoundTrips, counts.types * kBuffersPerType);
  RecordProperty("whole_type_round_trips", counts.wholeTypeRoundTrips);
  RecordProperty("field_round_trips", counts.fieldRoundTrips);
}

}  // namespace
}  // namespace vornfmt::test
