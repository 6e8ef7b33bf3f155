#pragma once
// A catalog opened with its format files in a formatter assembled for the
// test, the module-wide one while the object lives; types are
// loaded from it by name. By default the conversion tests' own catalog
// (tests/data/convert).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "convert/formatter_assembly.h"
#include "typetree/type_tree_item.h"

namespace vornfmt::test {

using Bytes = std::vector<uint8_t>;

class ConvertCatalog {
 public:
  ConvertCatalog();
  explicit ConvertCatalog(const std::string& folder);
  ConvertCatalog(const ConvertCatalog&) = delete;
  ConvertCatalog& operator=(const ConvertCatalog&) = delete;
  ~ConvertCatalog();

  // Loads `type`; the tree lives as long as this object. Null when missing.
  CTypeTreeItem* Load(const std::u16string& type);

 private:
  std::unique_ptr<Formatter> formatter_;
  std::vector<std::unique_ptr<CTypeTreeItem>> trees_;
};

// "0A28" -> {0x0A, 0x28}.
Bytes Hex(const std::string& text);

}  // namespace vornfmt::test
