// Trees of hand-made type files that once went wrong: fields beyond what the
// codec addresses, references whose stated size or expanded tree is out of
// bounds, and nested arrays whose elements must be reachable by name. Each
// case writes its own catalog folder and loads through the real library.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/typetree/tree_library.h"
#include "typetree/codec.h"
#include "typetree/type_tree_item.h"

namespace vornfmt::test {
namespace {

inline constexpr char16_t kPid[] = u"8000010203040506";

// A catalog folder of type files given as (file name, text), removed again
// with the object; `set` writes one set's type file.
class TempCatalog {
 public:
  TempCatalog() {
    static int serial = 0;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    folder_ = std::filesystem::temp_directory_path() /
              ("vornfmt-regression-" + std::to_string(stamp) + "-" + std::to_string(++serial));
    std::filesystem::create_directories(folder_);
  }
  ~TempCatalog() { std::filesystem::remove_all(folder_); }
  TempCatalog(const TempCatalog&) = delete;
  TempCatalog& operator=(const TempCatalog&) = delete;

  // A set of `scope` matching kPid whose network-variable types are `nvts`.
  TempCatalog& Set(const std::string& file, int scope, const std::string& nvts) {
    std::ofstream(folder_ / file) << R"({"format":"vornfmt-types","version":1,"set":{"program_id":"8000010203040506","scope":)"
                                  << scope << R"(},"nvts":[)" << nvts << "]}";
    return *this;
  }
  std::string Folder() const { return folder_.string(); }

 private:
  std::filesystem::path folder_;
};

std::string Type(int index, const std::string& name, const std::string& node) {
  return R"({"index":)" + std::to_string(index) + R"(,"name":")" + name + R"(","node":)" + node + "}";
}

// The codec addresses bits with signed 16-bit offsets (32,768 bits, 4,096
// bytes): a field at byte 4095 is the last it can reach. Beyond it a field
// read 0 (from 4096) or wrapped onto byte 0 (from 8192); such types are
// refused when the file is read, so they do not load.
TEST(TypeTreeRegression, EveryFieldThatLoadsIsReadFromItsOwnByte) {
  for (int at : {1, 1000, 4095, 4096, 6000, 8192, 8200}) {
    TempCatalog catalog;
    catalog.Set("far.typ", 3, Type(1, "UNVT_far", R"({"kind":"struct","members":[
        {"kind":"unsigned char","name":"first"},
        {"kind":"unsigned char","name":"far","offset":)" + std::to_string(at) + "}]}"));
    ScriptedEngine engine(catalog.Folder());
    CTypeTreeItem root;
    const bool loaded = root.LoadByName(u"UNVT_far", kPid, 3);
    EXPECT_EQ(loaded, at <= 4095) << at;
    if (!loaded) continue;
    std::vector<uint8_t> raw(static_cast<size_t>(at) + 1, 0);
    raw[0] = 0x11;
    raw[static_cast<size_t>(at)] = 0x22;
    ASSERT_TRUE(Decode(root, raw.data(), raw.size())) << at;
    EXPECT_EQ(root.GetSubfield(0)->value.value, 0x11) << at;
    EXPECT_EQ(root.GetSubfield(1)->value.value, 0x22) << at;
  }
}

}  // namespace
}  // namespace vornfmt::test
