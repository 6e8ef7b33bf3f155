// The program-ID text rule.
#include "catalog/program_id.h"

#include <gtest/gtest.h>

namespace vornfmt {
namespace {

struct PidCase {
  std::u16string text;
  ProgramIdBytes bytes;
};

class ProgramIdRule : public testing::TestWithParam<PidCase> {};

TEST_P(ProgramIdRule, ConvertsHexadecimalText) { EXPECT_EQ(ProgramIdFromText(GetParam().text), GetParam().bytes); }

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgramIdRule,
    testing::Values(PidCase{u"9FFFFF0501840460", {0x9F, 0xFF, 0xFF, 0x05, 0x01, 0x84, 0x04, 0x60}},
                    PidCase{u"9fffff0501840460", {0x9F, 0xFF, 0xFF, 0x05, 0x01, 0x84, 0x04, 0x60}},
                    PidCase{u"ABC:12", {0x0A, 0xBC, 0, 0, 0, 0, 0, 0}},          // cut at ':', odd count
                    PidCase{u"", {0, 0, 0, 0, 0, 0, 0, 0}},
                    PidCase{u"G1", {0, 0, 0, 0, 0, 0, 0, 0}},                    // no leading digit at all
                    PidCase{u"1", {0x01, 0, 0, 0, 0, 0, 0, 0}},
                    PidCase{u"0102030405060708090A", {1, 2, 3, 4, 5, 6, 7, 8}},  // beyond 16 digits ignored
                    PidCase{u"12 34", {0x12, 0, 0, 0, 0, 0, 0, 0}},
                    PidCase{u"\uFF11\uFF12", {0, 0, 0, 0, 0, 0, 0, 0}}));        // full-width digits are not hex

}  // namespace
}  // namespace vornfmt
