// Type files built to hurt the reader: each must be refused with a one-line
// reason, without exhausting the stack or memory. A catalog holding such a
// file opens without it and names it among the skipped files.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "ldrf/catalog_index.h"
#include "tests/support/temp_folder.h"
#include "ldrf/type_file_reader.h"

namespace vornfmt::ldrf {
namespace {

constexpr char kHead[] = R"({"format":"vornfmt-types","version":1,"set":{"program_id":"0000000000000000","scope":0},)";

std::string File(const std::string& nvts) { return kHead + std::string(R"("nvts":[)") + nvts + "]}"; }
std::string Type(int index, const std::string& name, const std::string& node) {
  return R"({"index":)" + std::to_string(index) + R"(,"name":")" + name + R"(","node":)" + node + "}";
}
std::string OneType(const std::string& node) { return File(Type(1, "UNVT_x", node)); }

// `depth` times `open`, then `core`, then `depth` times `close`.
std::string Deep(int depth, const std::string& open, const std::string& core, const std::string& close) {
  std::string text;
  text.reserve((open.size() + close.size()) * static_cast<size_t>(depth) + core.size());
  for (int i = 0; i < depth; ++i) text += open;
  text += core;
  for (int i = 0; i < depth; ++i) text += close;
  return text;
}

constexpr int kDeep = 100000;

struct Hostile {
  const char* what;
  std::string text;
  const char* reason;  // a part of the one-line reason
};

void PrintTo(const Hostile& row, std::ostream* out) { *out << row.what; }

class HostileTypeFile : public testing::TestWithParam<Hostile> {};

TEST_P(HostileTypeFile, IsRefusedWithAOneLineReason) {
  TypeFileData data;
  std::string error;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(ParseTypeFile(GetParam().text, data, error));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_NE(error.find(GetParam().reason), std::string::npos) << error.substr(0, 300);
  EXPECT_EQ(error.find('\n'), std::string::npos) << error.substr(0, 300);
  EXPECT_LT(error.size(), 400u) << error.substr(0, 300);
}

INSTANTIATE_TEST_SUITE_P(
    Nesting, HostileTypeFile,
    testing::Values(
        // The parser refuses nesting beyond its bound before the reader sees it.
        Hostile{"kind_object", OneType(Deep(kDeep, R"({"kind":)", "1", "}")), "not valid JSON: objects and lists nest deeper"},
        Hostile{"kind_array", OneType(R"({"kind":)" + Deep(kDeep, "[", "1", "]") + "}"), "not valid JSON: objects and lists nest deeper"},
        Hostile{"kind_object_within_the_bound", OneType(Deep(200, R"({"kind":)", "1", "}")),
                "nvts UNVT_x: \"kind\" must be a kind name or code, not object"},
        Hostile{"line_break_in_a_name", OneType(R"({"kind":"struct","name":"a\nb","members":[{"kind":"quad"}]})"),
                "UNVT_x.a b: unknown \"kind\" \"quad\""}),
    [](const testing::TestParamInfo<Hostile>& info) { return std::string(info.param.what); });

INSTANTIATE_TEST_SUITE_P(
    Numbers, HostileTypeFile,
    testing::Values(
        Hostile{"scale_a_uint64_max", OneType(R"({"kind":"signed long","scale":[18446744073709551615,0,0]})"),
                "signed 16-bit"},
        Hostile{"scale_c_uint64_max", OneType(R"({"kind":"bitfield","width":1,"scale":[1,0,18446744073709551615]})"),
                "signed 16-bit"}),
    [](const testing::TestParamInfo<Hostile>& info) { return std::string(info.param.what); });

INSTANTIATE_TEST_SUITE_P(
    Offsets, HostileTypeFile,
    testing::Values(
        Hostile{"member_at_4096", OneType(R"({"kind":"struct","members":[{"kind":"char","offset":4096}]})"),
                "the type takes 4097 bytes"},
        Hostile{"array_of_4097", OneType(R"({"kind":"array","count":4097,"element":{"kind":"char"}})"),
                "the type takes 4097 bytes"},
        Hostile{"stated_struct_size", OneType(R"({"kind":"struct","size":8193,"members":[{"kind":"char"}]})"),
                "the type takes 8193 bytes"},
        Hostile{"foreign_reference", OneType(R"({"kind":"reference","scope":3,"index":1,"size":65535})"),
                "the type takes 65535 bytes"}),
    [](const testing::TestParamInfo<Hostile>& info) { return std::string(info.param.what); });

// 256 one-byte references to a 4,000-element type: once accepted, and a
// tree of a million nodes when loaded (with 60,000 elements, 15 million).
std::string ManyReferences() {
  std::string members;
  for (int i = 0; i < 256; ++i)
    members += std::string(i ? "," : "") + R"({"kind":"reference","name":"r)" + std::to_string(i) +
               R"(","scope":0,"index":2,"size":1})";
  return File(Type(1, "UNVT_many", R"({"kind":"struct","members":[)" + members + "]}") + "," +
              Type(2, "UNVT_big", R"({"kind":"array","count":4000,"element":{"kind":"char"}})"));
}

INSTANTIATE_TEST_SUITE_P(
    References, HostileTypeFile,
    testing::Values(
        Hostile{"stated_size_smaller", File(Type(1, "UNVT_a", R"({"kind":"reference","scope":0,"index":2,"size":1})") +
                                            "," + Type(2, "UNVT_b", R"({"kind":"signed quad"})")),
                "UNVT_a: \"size\" 1 disagrees with UNVT_b (4 bytes)"},
        Hostile{"stated_size_larger",
                File(Type(1, "UNVT_a", R"({"kind":"struct","members":[{"kind":"reference","name":"r","scope":0,"index":2,"size":9}]})") +
                     "," + Type(2, "UNVT_b", R"({"kind":"signed long"})")),
                "UNVT_a.r: \"size\" 9 disagrees with UNVT_b (2 bytes)"},
        Hostile{"cycle_of_stated_sizes",
                File(Type(1, "UNVT_a", R"({"kind":"struct","members":[{"kind":"char"},{"kind":"reference","name":"r","scope":0,"index":1,"size":2}]})")),
                "UNVT_a.r: \"size\" 2 disagrees with UNVT_a (3 bytes)"},
        Hostile{"many_references_to_a_large_type", ManyReferences(), "UNVT_many.r0: \"size\" 1 disagrees with UNVT_big (4000 bytes)"}),
    [](const testing::TestParamInfo<Hostile>& info) { return std::string(info.param.what); });

// Fields whose limits take values that their raw form, as the codec reads
// it, cannot hold: such a value would show as another one and not write back.
INSTANTIATE_TEST_SUITE_P(
    Limits, HostileTypeFile,
    testing::Values(
        Hostile{"bitfield_of_8_bits", OneType(R"({"kind":"bitfield","width":8})"), "1 to 7 bits"},
        Hostile{"char_up_to_255", OneType(R"({"kind":"char","max":255})"), "-128..127"},
        Hostile{"signed_short_up_to_200", OneType(R"({"kind":"signed short","min":0,"max":200})"), "-128..127"},
        Hostile{"unsigned_short_below_0", OneType(R"({"kind":"unsigned short","min":-1})"), "0..255"},
        Hostile{"unsigned_long_above", OneType(R"({"kind":"unsigned long","max":65536})"), "0..65535"},
        Hostile{"signed_long_below", OneType(R"({"kind":"signed long","min":-32769})"), "-32768..32767"}),
    [](const testing::TestParamInfo<Hostile>& info) { return std::string(info.param.what); });

// The reason reaches the catalog's list of skipped files, and the catalog
// still opens.
TEST(HostileTypeFile, IsSkippedByTheCatalogWithItsReason) {
  const vornfmt::test::TempFolder temp("vornfmt-hostile");
  const std::filesystem::path& folder = temp.path();
  std::ofstream(folder / "deep.typ") << OneType(Deep(kDeep, R"({"kind":)", "1", "}"));
  std::ofstream(folder / "good.typ") << OneType(R"({"kind":"char"})");
  CatalogIndex index;
  std::string error;
  EXPECT_TRUE(index.Build(folder.string(), error)) << error;
  EXPECT_EQ(index.sets().size(), 1u);
  ASSERT_EQ(index.skipped().size(), 1u);
  EXPECT_NE(index.skipped()[0].find("deep.typ: not valid JSON: objects and lists nest deeper"), std::string::npos)
      << index.skipped()[0];
}

}  // namespace
}  // namespace vornfmt::ldrf
