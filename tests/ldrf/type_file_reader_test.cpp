// The type-file reader: derived layouts and the rejection of malformed files.
#include "ldrf/type_file_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

namespace vornfmt::ldrf {
namespace {

std::string WithNvt(const std::string& node, const std::string& extra = "") {
  return R"({"format":"vornfmt-types","version":1,
             "set":{"program_id":"0000000000000000","scope":0},)" +
         extra + R"("nvts":[{"index":1,"name":"SNVT_x","node":)" + node + "}]}";
}

TEST(TypeFileReader, LaysOutStructMembersBitfieldsAndArrays) {
  TypeFileData data;
  std::string error;
  ASSERT_TRUE(ParseTypeFile(WithNvt(R"({"kind":"struct","members":[
      {"kind":"unsigned char","name":"a"},
      {"kind":"bitfield","name":"b","width":3},
      {"kind":"bitfield","name":"c","width":5},
      {"kind":"bitfield","name":"d","width":1},
      {"kind":"array","name":"e","count":3,"element":{"kind":"signed long"}},
      {"kind":"union","name":"u","members":[{"kind":"signed quad"},{"kind":"unsigned char"}]}]})"),
                            data, error))
      << error;
  const NodeDef& root = data.nvts[0].root;
  ASSERT_EQ(root.members.size(), 6u);
  using Place = std::pair<int, int>;  // offset and bit, or offset and size
  const auto& m = root.members;
  EXPECT_EQ(Place(m[1].offset, m[1].bit), Place(1, 0));
  EXPECT_EQ(Place(m[2].offset, m[2].bit), Place(1, 3));  // 3 + 5 bits share a byte
  EXPECT_EQ(Place(m[3].offset, m[3].bit), Place(2, 0));  // no room left: next byte
  EXPECT_EQ(Place(m[4].offset, m[4].size), Place(3, 6));
  EXPECT_EQ(Place(m[5].offset, m[5].size), Place(9, 4));  // a union: the largest member
  EXPECT_EQ(root.size, 13);
  EXPECT_EQ(root.name, "SNVT_x");      // the root takes the type's name
  EXPECT_EQ(root.expandedNodes, 1u + 1 + 3 + (1 + 3) + (1 + 2));
}

TEST(TypeFileReader, DefaultsLimitsToTheRawRangeOfTheKind) {
  TypeFileData data;
  std::string error;
  ASSERT_TRUE(ParseTypeFile(WithNvt(R"({"kind":"struct","members":[
      {"kind":"unsigned long"},{"kind":"signed short"},{"kind":"bitfield","width":4},{"kind":"signed quad"}]})"),
                            data, error))
      << error;
  const auto& m = data.nvts[0].root.members;
  using Range = std::pair<int64_t, int64_t>;
  EXPECT_EQ(Range(m[0].minimum, m[0].maximum), Range(0, 65535));
  EXPECT_EQ(Range(m[1].minimum, m[1].maximum), Range(-128, 127));
  EXPECT_EQ(Range(m[2].minimum, m[2].maximum), Range(0, 15));
  EXPECT_EQ(Range(m[3].minimum, m[3].maximum), Range(INT32_MIN, INT32_MAX));
}

TEST(TypeFileReader, ReferenceTakesTheSizeOfTheReferencedTypeOfTheSameFile) {
  TypeFileData data;
  std::string error;
  const std::string text = R"({"format":"vornfmt-types","version":1,
      "set":{"program_id":"0000000000000000","scope":0},
      "nvts":[{"index":1,"name":"SNVT_a","node":{"kind":"reference","scope":0,"index":2}},
              {"index":2,"name":"SNVT_b","node":{"kind":"signed quad"}}]})";
  ASSERT_TRUE(ParseTypeFile(text, data, error)) << error;
  EXPECT_EQ(data.nvts[0].root.size, 4);
}

struct Malformed {
  const char* what;
  std::string text;
  const char* message;
};

class TypeFileReaderRejects : public testing::TestWithParam<Malformed> {};

TEST_P(TypeFileReaderRejects, WithAMessage) {
  TypeFileData data;
  std::string error;
  EXPECT_FALSE(ParseTypeFile(GetParam().text, data, error));
  EXPECT_NE(error.find(GetParam().message), std::string::npos) << error;
}

std::string Nested(int depth) {
  std::string node = R"({"kind":"unsigned char"})";
  for (int i = 0; i < depth; ++i) node = R"({"kind":"struct","members":[)" + node + "]}";
  return node;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TypeFileReaderRejects,
    testing::Values(
        Malformed{"not json", "{", "not valid JSON"},
        Malformed{"wrong format", R"({"format":"x","version":1})", "\"format\""},
        Malformed{"no scope", R"({"format":"vornfmt-types","version":1,"set":{"program_id":"0000000000000000"}})",
                  "\"scope\""},
        Malformed{"short pid", R"({"format":"vornfmt-types","version":1,"set":{"program_id":"00","scope":0}})",
                  "program_id"},
        Malformed{"unknown kind", WithNvt(R"({"kind":"quadruple"})"), "unknown \"kind\""},
        Malformed{"kind code", WithNvt(R"({"kind":17})"), "outside 1..16"},
        Malformed{"missing enum set", WithNvt(R"({"kind":"enum","enum":4})"), "enumeration set"},
        Malformed{"size mismatch", WithNvt(R"({"kind":"signed long","size":3})"), "does not match"},
        Malformed{"struct too small", WithNvt(R"({"kind":"struct","size":1,"members":[{"kind":"signed long"}]})"),
                  "smaller than"},
        Malformed{"bitfield past byte", WithNvt(R"({"kind":"bitfield","width":4,"bit":6})"), "within the byte"},
        Malformed{"limit too large", WithNvt(R"({"kind":"unsigned char","max":4294967296})"), "outside"},
        Malformed{"too deep", WithNvt(Nested(40)), "too deeply"},
        Malformed{"too many nodes",
                  WithNvt(R"({"kind":"array","count":65535,"element":{"kind":"struct","members":[{"kind":"char"}]}})"),
                  "too many nodes"},
        Malformed{"too large", WithNvt(R"({"kind":"array","count":40000,"element":{"kind":"signed long"}})"),
                  "65535 bytes"},
        Malformed{"foreign reference without size", WithNvt(R"({"kind":"reference","scope":3,"index":1})"),
                  "must state \"size\""},
        Malformed{"reference cycle",
                  R"({"format":"vornfmt-types","version":1,"set":{"program_id":"0000000000000000","scope":0},
                      "nvts":[{"index":1,"name":"SNVT_a","node":{"kind":"reference","scope":0,"index":2}},
                              {"index":2,"name":"SNVT_b","node":{"kind":"reference","scope":0,"index":1}}]})",
                  "cycle"},
        Malformed{"duplicate index",
                  R"({"format":"vornfmt-types","version":1,"set":{"program_id":"0000000000000000","scope":0},
                      "nvts":[{"index":1,"name":"SNVT_a","node":{"kind":"char"}},
                              {"index":1,"name":"SNVT_b","node":{"kind":"char"}}]})",
                  "used twice"},
        Malformed{"enum value out of range", WithNvt(R"({"kind":"char"})",
                                                     R"("enum_sets":[{"set":1,"members":[{"name":"a","value":300}]}],)"),
                  "outside -128..127"}),
    [](const testing::TestParamInfo<Malformed>& info) {
      std::string name = info.param.what;
      for (char& c : name)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
      return name;
    });

TEST(ProgramIdText, AcceptsColonsAndRejectsOtherShapes) {
  ProgramId id{};
  ASSERT_TRUE(ParseProgramIdText("9F:FF:FF:05:01:84:04:60", id));
  EXPECT_EQ(id[0], 0x9F);
  EXPECT_EQ(id[7], 0x60);
  EXPECT_FALSE(ParseProgramIdText("9FFFFF050184046", id));
  EXPECT_FALSE(ParseProgramIdText("9FFFFF05018404600", id));
  EXPECT_FALSE(ParseProgramIdText("9FFFFF05018404G0", id));
}

}  // namespace
}  // namespace vornfmt::ldrf
