// The program-ID text rule.
#include "catalog/program_id.h"

#include <gtest/gtest.h>

namespace vornfmt {
namespace {

TEST(ProgramIdRule, ConvertsHexadecimalText) {
  const struct {
    std::u16string text;
    ProgramIdBytes bytes;
  } rows[] = {{u"9FFFFF0501840460", {0x9F, 0xFF, 0xFF, 0x05, 0x01, 0x84, 0x04, 0x60}},
              {u"9fffff0501840460", {0x9F, 0xFF, 0xFF, 0x05, 0x01, 0x84, 0x04, 0x60}},
              {u"ABC:12", {0x0A, 0xBC, 0, 0, 0, 0, 0, 0}},          // cut at ':', odd count
              {u"", {0, 0, 0, 0, 0, 0, 0, 0}},
              {u"G1", {0, 0, 0, 0, 0, 0, 0, 0}},                    // no leading digit at all
              {u"1", {0x01, 0, 0, 0, 0, 0, 0, 0}},
              {u"0102030405060708090A", {1, 2, 3, 4, 5, 6, 7, 8}},  // beyond 16 digits ignored
              {u"12 34", {0x12, 0, 0, 0, 0, 0, 0, 0}},
              {u"\uFF11\uFF12", {0, 0, 0, 0, 0, 0, 0, 0}}};         // full-width digits are not hex
  for (const auto& row : rows) EXPECT_EQ(ProgramIdFromText(row.text), row.bytes) << row.text.size();
}

}  // namespace
}  // namespace vornfmt
