#include "ldrf/expanded_tree.h"

#include <algorithm>

namespace vornfmt::ldrf {

ExpandedTree::ExpandedTree(const TypeDef& type) {
  nodes_.reserve(type.root.expandedNodes);
  Add(type.root, type.root.name, 0);
}

// Appends def (at absolute offset base + its own offset) and everything below
// it; answers its index. Depth is bounded by the reader's nesting limit.
uint32_t ExpandedTree::Add(const NodeDef& def, std::string name, uint32_t base) {
  const uint32_t self = static_cast<uint32_t>(nodes_.size());
  const uint32_t offset = base + def.offset;
  nodes_.push_back(TreeNode{&def, std::move(name), static_cast<uint16_t>(offset), 0, {}});
  std::vector<uint32_t> children;
  if (def.kind == kStruct || def.kind == kUnion) {
    for (const NodeDef& member : def.members) children.push_back(Add(member, member.name, offset));
  } else if (def.kind == kArray) {
    const NodeDef& element = *def.element;
    // Elements are named after the array node as delivered, not after its
    // definition: the elements of an array that is itself an element (of an
    // array of arrays) then carry that element's index too -- a[1][0] -- and
    // every element of the type has a name of its own. An array's path name
    // leaves its own name out, so nothing else would tell them apart.
    const std::string arrayName = nodes_[self].name;
    for (uint32_t i = 0; i < def.count; ++i) {
      std::string elementName = arrayName + "[" + std::to_string(i) + "]";
      // Element i starts i element sizes into the array.
      children.push_back(Add(element, std::move(elementName), offset + i * element.size - element.offset));
    }
  }
  nodes_[self].childCount = static_cast<uint16_t>(children.size());
  IndexChildren(self, children);
  return self;
}

void ExpandedTree::IndexChildren(uint32_t parent, const std::vector<uint32_t>& children) {
  auto& findable = nodes_[parent].findable;
  for (uint32_t child : children) {
    findable.emplace_back(nodes_[child].name, child);
    if (nodes_[child].def->kind != kArray) continue;
    for (const auto& element : nodes_[child].findable) findable.push_back(element);
  }
  std::stable_sort(findable.begin(), findable.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  auto last = std::unique(findable.begin(), findable.end(),
                          [](const auto& a, const auto& b) { return a.first == b.first; });
  findable.erase(last, findable.end());
}

int64_t ExpandedTree::FindFrom(size_t from, std::string_view name) const {
  const auto& findable = nodes_[from].findable;
  auto it = std::lower_bound(findable.begin(), findable.end(), name,
                             [](const auto& entry, std::string_view key) { return entry.first < key; });
  if (it == findable.end() || it->first != name) return -1;
  return it->second;
}

}  // namespace vornfmt::ldrf

