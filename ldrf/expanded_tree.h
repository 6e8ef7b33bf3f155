#pragma once
// A type's tree as the cursor delivers it: nodes in depth-first pre-order,
// array elements expanded and named NAME[i] after their array node (so the
// elements of an element a[1] that is an array are a[1][0], a[1][1], ...),
// byte offsets absolute from the start of the type. Children are found by
// name in logarithmic time.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ldrf/type_definitions.h"

namespace vornfmt::ldrf {

struct TreeNode {
  const NodeDef* def = nullptr;  // kind details; offsets there are relative
  std::string name;
  uint16_t offset = 0;           // absolute
  uint16_t childCount = 0;       // members or elements
  // Names findable from this node: its children, and for array children
  // their elements; sorted by name, first occurrence kept.
  std::vector<std::pair<std::string, uint32_t>> findable;
};

class ExpandedTree {
 public:
  // The definition must outlive the tree (keep its TypeFileData alive).
  explicit ExpandedTree(const TypeDef& type);

  size_t size() const { return nodes_.size(); }
  const TreeNode& node(size_t i) const { return nodes_[i]; }
  // Index of the node named `name` findable from node `from`, or -1.
  int64_t FindFrom(size_t from, std::string_view name) const;

 private:
  uint32_t Add(const NodeDef& def, std::string name, uint32_t base);
  void IndexChildren(uint32_t parent, const std::vector<uint32_t>& children);

  std::vector<TreeNode> nodes_;
};

}  // namespace vornfmt::ldrf
