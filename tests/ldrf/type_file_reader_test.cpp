// The type-file reader: derived layouts and the rejection of malformed files.
#include "ldrf/type_file_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vornfmt::ldrf {
namespace {

std::string WithNvt(const std::string& node, const std::string& extra = "") {
  return R"({"format":"vornfmt-types","version":1,
             "set":{"program_id":"0000000000000000","scope":0},)" +
         extra + R"("nvts":[{"index":1,"name":"SNVT_x","node":)" + node + "}]}";
}

std::string Nested(int depth) {
  std::string node = R"({"kind":"unsigned char"})";
  for (int i = 0; i < depth; ++i) node = R"({"kind":"struct","members":[)" + node + "]}";
  return node;
}

// SNVT_a with index 1 and SNVT_b with index `second`.
std::string TwoNvts(const std::string& a, char second, const std::string& b) {
  return R"({"format":"vornfmt-types","version":1,"set":{"program_id":"0000000000000000","scope":0},
            "nvts":[{"index":1,"name":"SNVT_a","node":)" + a + R"(},{"index":)" + second +
         R"(,"name":"SNVT_b","node":)" + b + "}]}";
}

TypeFileData Parsed(const std::string& text) {
  TypeFileData data;
  std::string error;
  EXPECT_TRUE(ParseTypeFile(text, data, error)) << error;
  return data;
}

// Places derived from the members; limits default to the raw range of the kind.
TEST(TypeFileReader, LaysOutMembersAndDefaultsTheirLimits) {
  const TypeFileData data = Parsed(WithNvt(R"({"kind":"struct","members":[
      {"kind":"unsigned char","name":"a"},
      {"kind":"bitfield","name":"b","width":3},
      {"kind":"bitfield","name":"c","width":5},
      {"kind":"bitfield","name":"d","width":1},
      {"kind":"array","name":"e","count":3,"element":{"kind":"signed long"}},
      {"kind":"union","name":"u","members":[{"kind":"signed quad"},{"kind":"unsigned char"}]},
      {"kind":"unsigned long"},{"kind":"signed short"},{"kind":"signed quad"}]})"));
  ASSERT_EQ(data.nvts.size(), 1u);
  const NodeDef& root = data.nvts[0].root;
  ASSERT_EQ(root.members.size(), 9u);
  using Pair = std::pair<int64_t, int64_t>;  // offset and bit, offset and size, or the limits
  const auto& m = root.members;
  EXPECT_EQ(Pair(m[1].offset, m[1].bit), Pair(1, 0));
  EXPECT_EQ(Pair(m[2].offset, m[2].bit), Pair(1, 3));  // 3 + 5 bits share a byte
  EXPECT_EQ(Pair(m[3].offset, m[3].bit), Pair(2, 0));  // no room left: next byte
  EXPECT_EQ(Pair(m[4].offset, m[4].size), Pair(3, 6));
  EXPECT_EQ(Pair(m[5].offset, m[5].size), Pair(9, 4));  // a union: the largest member
  EXPECT_EQ(Pair(m[8].offset, m[8].size), Pair(16, 4));
  EXPECT_EQ(root.size, 20);
  EXPECT_EQ(root.name, "SNVT_x");  // the root takes the type's name
  EXPECT_EQ(root.expandedNodes, 1u + 1 + 3 + (1 + 3) + (1 + 2) + 3);
  std::vector<Pair> limits;
  for (size_t i : {0, 1, 2, 6, 7, 8}) limits.emplace_back(m[i].minimum, m[i].maximum);
  EXPECT_EQ(limits, (std::vector<Pair>{{0, 255}, {0, 7}, {0, 31}, {0, 65535}, {-128, 127}, {INT32_MIN, INT32_MAX}}));
}

TEST(TypeFileReader, ReferenceTakesTheSizeOfTheReferencedTypeOfTheSameFile) {
  const TypeFileData data =
      Parsed(TwoNvts(R"({"kind":"reference","scope":0,"index":2})", '2', R"({"kind":"signed quad"})"));
  ASSERT_EQ(data.nvts.size(), 2u);
  EXPECT_EQ(data.nvts[0].root.size, 4);
}

TEST(TypeFileReader, RejectsMalformedFilesWithAMessage) {
  const std::pair<std::string, const char*> cases[] = {  // text, message
      {"{", "not valid JSON"},
      {R"({"format":"x","version":1})", "\"format\""},
      {R"({"format":"vornfmt-types","version":1,"set":{"program_id":"0000000000000000"}})", "\"scope\""},
      {R"({"format":"vornfmt-types","version":1,"set":{"program_id":"00","scope":0}})", "program_id"},
      {WithNvt(R"({"kind":"quadruple"})"), "unknown \"kind\""},
      {WithNvt(R"({"kind":17})"), "outside 1..16"},
      {WithNvt(R"({"kind":"enum","enum":4})"), "enumeration set"},
      {WithNvt(R"({"kind":"signed long","size":3})"), "does not match"},
      {WithNvt(R"({"kind":"struct","size":1,"members":[{"kind":"signed long"}]})"), "smaller than"},
      {WithNvt(R"({"kind":"bitfield","width":4,"bit":6})"), "within the byte"},
      {WithNvt(R"({"kind":"unsigned char","max":4294967296})"), "outside"},
      {WithNvt(Nested(40)), "too deeply"},
      {WithNvt(R"({"kind":"array","count":65535,"element":{"kind":"struct","members":[{"kind":"char"}]}})"),
       "too many nodes"},
      {WithNvt(R"({"kind":"array","count":40000,"element":{"kind":"signed long"}})"), "65535 bytes"},
      {WithNvt(R"({"kind":"reference","scope":3,"index":1})"), "must state \"size\""},  // a foreign reference
      {TwoNvts(R"({"kind":"reference","scope":0,"index":2})", '2', R"({"kind":"reference","scope":0,"index":1})"),
       "cycle"},
      {TwoNvts(R"({"kind":"char"})", '1', R"({"kind":"char"})"), "used twice"},
      {WithNvt(R"({"kind":"char"})", R"("enum_sets":[{"set":1,"members":[{"name":"a","value":300}]}],)"),
       "outside -128..127"},
  };
  for (const auto& [text, message] : cases) {
    SCOPED_TRACE(message);
    TypeFileData data;
    std::string error;
    EXPECT_FALSE(ParseTypeFile(text, data, error));
    EXPECT_NE(error.find(message), std::string::npos) << error;
  }
}

TEST(ProgramIdText, AcceptsColonsAndRejectsOtherShapes) {
  ProgramId id{};
  ASSERT_TRUE(ParseProgramIdText("9F:FF:FF:05:01:84:04:60", id));
  EXPECT_EQ(std::tuple(id[0], id[7]), std::tuple(0x9F, 0x60));
  EXPECT_FALSE(ParseProgramIdText("9FFFFF050184046", id));
  EXPECT_FALSE(ParseProgramIdText("9FFFFF05018404600", id));
  EXPECT_FALSE(ParseProgramIdText("9FFFFF05018404G0", id));
}

}  // namespace
}  // namespace vornfmt::ldrf
