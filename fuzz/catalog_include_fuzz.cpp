// The catalog folder reader: a hostile catalog.json (the list of included
// folders) in a folder that holds two small resource sets and two folders
// that include each other. Reading either succeeds or fails with a reason;
// cycles, missing folders and deep chains end.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "ldrf/catalog_index.h"

namespace {

namespace fs = std::filesystem;

void Write(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

fs::path Root() {
  static const fs::path root = [] {
    std::string source = __FILE__;  // .../fuzz/catalog_include_fuzz.cpp
    source.resize(source.rfind('/'));
    source.resize(source.rfind('/'));
    const fs::path made = fs::temp_directory_path() / ("vornfmt-catalog-fuzz-" + std::to_string(::getpid()));
    fs::create_directories(made / "a");
    fs::create_directories(made / "b");
    fs::copy_file(source + "/tests/data/catalog-a/model.typ", made / "a" / "model.typ",
                  fs::copy_options::overwrite_existing);
    fs::copy_file(source + "/tests/data/catalog-a/vendor.typ", made / "b" / "vendor.typ",
                  fs::copy_options::overwrite_existing);
    Write(made / "a" / "catalog.json", R"({"include": ["../b"]})");
    Write(made / "b" / "catalog.json", R"({"include": ["../a", ".."]})");
    return made;
  }();
  return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path root = Root();
  Write(root / "catalog.json", std::string(reinterpret_cast<const char*>(data), size));
  vornfmt::ldrf::CatalogIndex index;
  std::string error;
  const bool read = index.Build(root.string(), error);
  if (!read && error.empty()) __builtin_trap();
  if (read && index.sets().size() > 0xFFFF) __builtin_trap();
  return 0;
}
