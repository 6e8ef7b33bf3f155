#pragma once
// The objects behind the library's handles. All access holds LibraryMutex().
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "ldrf/catalog_index.h"
#include "ldrf/expanded_tree.h"
#include "ldrf/library_state.h"

namespace vornfmt::ldrf {

struct OpenCatalogObject {
  std::shared_ptr<const CatalogIndex> index;
};

struct OpenTypeFileObject {
  std::shared_ptr<const TypeFileData> data;
  const std::vector<EnumMember>* selectedSet = nullptr;
  // Trees made so far, by (network variable?, type index).
  std::map<std::pair<bool, uint16_t>, std::shared_ptr<const ExpandedTree>> trees;
};

struct TreeCursorObject {
  std::shared_ptr<const TypeFileData> data;  // keeps the definitions alive
  std::shared_ptr<const ExpandedTree> tree;
  int64_t current = -1;  // node last read
  size_t next = 0;       // node the next read delivers
};

struct StringServiceObject {
  uint32_t languageKey = 0;
  std::shared_ptr<const CatalogIndex> index;
};

struct Library {
  HandleTable<OpenCatalogObject> catalogs;
  HandleTable<OpenTypeFileObject> files;
  HandleTable<TreeCursorObject> trees;
  HandleTable<StringServiceObject> services;
  // The last index read for each catalog folder, shared with string services.
  std::map<std::string, std::shared_ptr<const CatalogIndex>> indexByFolder;
};

Library& TheLibrary();

}  // namespace vornfmt::ldrf
