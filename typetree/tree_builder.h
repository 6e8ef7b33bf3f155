#pragma once
// Building a type tree from the resource library: the node reader and the
// flattening of the leaves into the root's subfields. LoadByName,
// LoadByIndex and BuildTree are members of CTypeTreeItem.
#include "catalog/ldrf_api.h"
#include "typetree/type_tree_item.h"

namespace vornfmt {

// References nested in references (and whole types that are references to
// references) are followed at most this deep. Deeper ones -- a cycle of
// references between types, in practice -- load as an empty nested item of
// kind 0 ("unknown"), as a failed look-up of the referenced type does. The
// standard types nest references two deep at most.
inline constexpr int kMaxReferenceDepth = 8;
// At most this many referenced types are loaded into one tree; the ones
// beyond load as empty items too. This keeps a type that refers to itself
// several times from growing exponentially within the depth bound.
inline constexpr int kMaxReferenceLoads = 4096;
// A whole tree, the nodes of every referenced type included, has at most
// this many nodes (the bound that docs/resource-files.md gives for a type);
// a type that goes beyond it through its references does not load.
inline constexpr uint32_t kMaxTreeNodes = 100000;

// Reads the next node of `tree`'s scan into `node` and, recursively, its
// members, elements or referenced type. Answers the last library result;
// a node's members are read only while the library answers 22 ("more").
LdrfResult ReadNode(CTypeTreeItemBase& node, LdrfHandle tree);

// Appends the leaves below `node` to `root`'s subfields in depth-first
// pre-order and makes `root` their owner.
void Flatten(CTypeTreeItemBase& node, CTypeTreeItem& root);

}  // namespace vornfmt
