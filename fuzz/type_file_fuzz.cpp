// Type-file reader: any text either loads or is refused; a loaded file's
// trees expand and every node is findable from its parent.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ldrf/expanded_tree.h"
#include "ldrf/type_file_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vornfmt::ldrf;
  TypeFileData file;
  std::string error;
  if (!ParseTypeFile(std::string_view(reinterpret_cast<const char*>(data), size), file, error)) return 0;
  for (const auto* table : {&file.nvts, &file.cpts}) {
    for (const TypeDef& type : *table) {
      ExpandedTree tree(type);
      if (tree.size() != type.root.expandedNodes) __builtin_trap();
      for (size_t i = 0; i < tree.size(); ++i) {
        const TreeNode& node = tree.node(i);
        if (uint32_t{node.offset} + node.def->size > type.root.size) __builtin_trap();
        for (const auto& [name, index] : node.findable)
          if (tree.FindFrom(i, name) < 0) __builtin_trap();
      }
    }
  }
  return 0;
}
