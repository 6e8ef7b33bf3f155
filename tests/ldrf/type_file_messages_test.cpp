// The reader's reasons, word for word: each names the place of the fault
// (type, member path, array element, enumeration set) as it always has,
// although the place is put into words only when the file is refused.
// Also what the JSON layer decides: the last of a key given twice, a byte
// order mark, nesting, numbers that do not fit 64 bits.
#include <gtest/gtest.h>

#include <string>

#include "ldrf/type_file_reader.h"

namespace vornfmt::ldrf {
namespace {

constexpr char kHead[] = R"({"format":"vornfmt-types","version":1,"set":{"program_id":"0000000000000000","scope":0},)";

std::string Nvts(const std::string& types, const std::string& extra = "") {
  return kHead + extra + R"("nvts":[)" + types + "]}";
}
std::string OneNvt(const std::string& node) { return Nvts(R"({"index":1,"name":"UNVT_x","node":)" + node + "}"); }

struct Refused {
  const char* what;
  std::string text;
  const char* message;  // the whole reason
};

void PrintTo(const Refused& row, std::ostream* out) { *out << row.what; }

class TypeFileMessage : public testing::TestWithParam<Refused> {};

TEST_P(TypeFileMessage, IsTheWholeReason) {
  TypeFileData data;
  std::string error;
  EXPECT_FALSE(ParseTypeFile(GetParam().text, data, error));
  EXPECT_EQ(error, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Places, TypeFileMessage,
    testing::Values(
        Refused{"document", "[1]", "type file: the document must be an object"},
        Refused{"set_scope", R"({"format":"vornfmt-types","version":1,"set":{"program_id":"0000000000000000","scope":9}})",
                "set: \"scope\" = 9 is outside 0..6"},
        Refused{"enum_member", Nvts("", R"("enum_sets":[{"set":3,"members":[{"name":"a"}]}],)"),
                "enum set 3: member \"a\" needs \"value\""},
        Refused{"table_entry", Nvts(R"({"index":1})"), "nvts : every type needs \"index\" and \"name\""},
        Refused{"member_path",
                OneNvt(R"({"kind":"struct","members":[{"kind":"struct","name":"a","members":[{"kind":"char","name":"b","min":"x"}]}]})"),
                "nvts UNVT_x.a.b: \"min\" must be a whole number"},
        Refused{"unnamed_member_keeps_the_parent",
                OneNvt(R"({"kind":"struct","name":"r","members":[{"kind":"bitfield"}]})"),
                "nvts UNVT_x.r: a bitfield needs \"width\""},
        Refused{"array_element",
                OneNvt(R"({"kind":"array","name":"e","count":2,"element":{"kind":"char","name_ref":-1}})"),
                "nvts UNVT_x.e[]: \"name_ref\" must be an index or [scope, index]"},
        Refused{"kind_not_a_name", OneNvt(R"({"kind":[1]})"),
                "nvts UNVT_x: \"kind\" must be a kind name or code, not array"},
        Refused{"layout_of_a_member",
                OneNvt(R"({"kind":"struct","members":[{"kind":"struct","name":"s","members":[{"kind":"signed long","name":"v","size":1}]}]})"),
                "nvts UNVT_x.s.v: \"size\" 1 does not match the layout (2)"},
        // Sizes are compared from the type's root, whose name is not repeated.
        Refused{"stated_size_in_an_element",
                Nvts(R"({"index":1,"name":"UNVT_a","node":{"kind":"array","name":"e","count":2,"element":{"kind":"reference","scope":0,"index":2,"size":1}}},)"
                     R"({"index":2,"name":"UNVT_b","node":{"kind":"signed long"}})"),
                "nvts UNVT_a[]: \"size\" 1 disagrees with UNVT_b (2 bytes), the type it refers to"},
        Refused{"cpts_table", kHead + std::string(R"("cpts":[{"index":1,"name":"UCPT_c","node":{"kind":"float","max":"x"}}]})"),
                "cpts UCPT_c: \"max\" must be a number"}),
    [](const testing::TestParamInfo<Refused>& info) { return std::string(info.param.what); });

// Where the JSON layer decides: numbers beyond 64 bits and nesting are
// refused while parsing, with simdjson's reason; a "format" that is no text
// is refused as any other wrong one.
INSTANTIATE_TEST_SUITE_P(
    Json, TypeFileMessage,
    testing::Values(
        Refused{"format_not_a_text", R"({"format":7,"version":1})", "type file: \"format\" must be \"vornfmt-types\""},
        Refused{"truncated", "{", "not valid JSON: The JSON document has an improper structure: missing or superfluous "
                                  "commas, braces, missing keys, etc."},
        Refused{"empty", "", "not valid JSON: Empty: no JSON found"},
        Refused{"above_uint64", OneNvt(R"({"kind":"char","max":18446744073709551616})"),
                "not valid JSON: Problem while parsing a number"},
        Refused{"nested_257_deep", OneNvt(std::string(257, '[') + std::string(257, ']')),
                "not valid JSON: objects and lists nest deeper than 256 levels"}),
    [](const testing::TestParamInfo<Refused>& info) { return std::string(info.param.what); });

TEST(TypeFileJson, AKeyGivenTwiceTakesItsLastValue) {
  TypeFileData data;
  std::string error;
  ASSERT_TRUE(ParseTypeFile(OneNvt(R"({"kind":"char","max":5,"kind":"unsigned char","max":200})"), data, error))
      << error;
  EXPECT_EQ(data.nvts[0].root.kind, kUnsignedChar);
  EXPECT_EQ(data.nvts[0].root.maximum, 200);
}

TEST(TypeFileJson, AByteOrderMarkMayOpenTheFile) {
  TypeFileData data;
  std::string error;
  EXPECT_TRUE(ParseTypeFile("\xEF\xBB\xBF" + OneNvt(R"({"kind":"char"})"), data, error)) << error;
  EXPECT_EQ(data.nvts.size(), 1u);
}

// A text with room after it is parsed in place; without, it is copied: the
// result is the same, also for a text cut short right before that room.
TEST(TypeFileJson, ParsesTheSameWithAndWithoutRoomAfterTheText) {
  const std::string whole = OneNvt(R"({"kind":"struct","members":[{"kind":"char","name":"a"},{"kind":"float","name":"b"}]})");
  for (size_t room : {size_t{0}, size_t{200}}) {
    std::string text = whole;
    text.reserve(whole.size() + room);
    TypeFileData data;
    std::string error;
    ASSERT_TRUE(ParseTypeFile(text, data, error)) << error;
    EXPECT_EQ(data.nvts[0].root.size, 5);
    std::string cut = whole.substr(0, whole.size() - 1);
    cut.reserve(cut.size() + room);
    EXPECT_FALSE(ParseTypeFile(cut, data, error));
    EXPECT_EQ(error.rfind("not valid JSON: ", 0), 0u) << error;
  }
}

// 256 levels are still JSON: the reader's own limit names the type.
TEST(TypeFileJson, NestingWithinTheParsersLimitMeetsTheReadersOwn) {
  std::string node = R"({"kind":"char"})";
  for (int i = 0; i < 100; ++i) node = R"({"kind":"struct","members":[)" + node + "]}";
  TypeFileData data;
  std::string error;
  EXPECT_FALSE(ParseTypeFile(OneNvt(node), data, error));
  EXPECT_EQ(error, "nvts UNVT_x: nodes nest too deeply");
}

}  // namespace
}  // namespace vornfmt::ldrf
