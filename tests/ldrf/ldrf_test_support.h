#pragma once
// Opening test catalogs and type trees through the library's C functions.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "ldrf/ldrf.h"

namespace vornfmt::test {

inline std::string TestData(const std::string& name) { return std::string(VORNFMT_TEST_DATA) + "/" + name; }

inline std::array<uint8_t, 8> Pid(std::initializer_list<uint8_t> bytes) {
  std::array<uint8_t, 8> id{};
  size_t i = 0;
  for (uint8_t b : bytes) id[i++] = b;
  return id;
}

// A catalog, closed again at the end of the test.
class OpenedCatalog {
 public:
  explicit OpenedCatalog(const std::string& folder) { result = LdrfOpenCatalog(folder.c_str(), 1, &handle); }
  ~OpenedCatalog() {
    if (result == LDRF_OK) LdrfCloseCatalog(handle);
  }
  // Path of the set found for (pid, selector, kind), or "" when none.
  std::string Search(const std::array<uint8_t, 8>& pid, uint16_t selector, int32_t kind = LDRF_KIND_TYPE_FILE,
                     uint16_t* tag = nullptr) const {
    char path[260];
    uint32_t length = sizeof path;
    uint16_t found = 0;
    if (LdrfSearchCatalog(handle, pid.data(), selector, kind, 0x656E7500, path, &length, &found, nullptr) != LDRF_OK)
      return "";
    if (tag) *tag = found;
    return std::string(path, length);
  }
  LdrfHandle handle = 0;
  LdrfResult result = -1;
};

// The standard test type file, open.
class OpenedTypeFile {
 public:
  explicit OpenedTypeFile(const std::string& path, uint16_t tag = 0) {
    result = LdrfOpenFile(path.c_str(), LDRF_KIND_TYPE_FILE, tag, nullptr, &handle);
  }
  ~OpenedTypeFile() {
    if (result == LDRF_OK) LdrfCloseFile(handle);
  }
  LdrfHandle handle = 0;
  LdrfResult result = -1;
};

struct NodeRead {
  LdrfResult result = -1;
  int32_t kind = 0;
  uint16_t offset = 0, size = 0;
  std::string name;
};

inline NodeRead ReadNode(LdrfHandle tree) {
  NodeRead node;
  char name[260];
  uint32_t length = sizeof name;
  node.result = LdrfReadTypeTreeNode(tree, &node.kind, &node.offset, &node.size, name, &length, nullptr, nullptr,
                                     nullptr, nullptr, nullptr, nullptr);
  node.name.assign(name, length);
  return node;
}

}  // namespace vornfmt::test
