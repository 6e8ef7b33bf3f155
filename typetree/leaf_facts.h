#pragma once
// What decoding, encoding and the enumeration questions need of one node,
// asked of the library once and kept on the node: its bits in the raw data,
// its scaling and raw limits, a float's limits and the enumeration set.
//
// The library is only read and a type file never changes under an open
// catalog, so these answers stay what the library would give as long as the
// tree handle of the node's type stays the same. They are stamped with that
// opening (CTypeTreeItem::OpeningStamp) and with the catalog epoch; a
// freed, reopened or reloaded type, a closed or reopened catalog and another
// engine all make the next question go to the library again. Facts are read
// on a node's first question, not when the tree is built, so a node that
// cannot be selected stays unanswered exactly as without them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "typetree/leaf_details.h"
#include "typetree/raw_bits.h"

namespace vornfmt {

// A node keeps the member names of at most this many values; past them a
// name is asked of the library each time (a hostile set may be large).
inline constexpr size_t kKeptEnumNames = 256;

class CTypeTreeItem;
class CTypeTreeItemBase;

struct LeafFacts {
  LeafDetails details;  // scaling, limits and bitfield placement (scaled kinds)
  BitSpan span;         // converted kinds
  float floatMinimum = 0, floatMaximum = 0;
  int32_t enumSet = 0;
  bool hasEnumSet = false;
  // Member names of the enumeration set asked so far, by value: they go with
  // the other facts, so the same stamps drop them.
  mutable std::unordered_map<int32_t, std::u16string> enumNames;
  // Whose opening they were read under.
  const CTypeTreeItem* typeRoot = nullptr;
  uint64_t openingStamp = 0;
  uint32_t catalogEpoch = 0;
};

// The facts of `node`, read from the library when it has none or only stale
// ones; null when the node cannot be selected (nothing is kept then). Off
// (every call asks the library) while SetLeafFactsEnabled(false) is in force
// on this thread: the differential test compares both.
const LeafFacts* FactsOf(CTypeTreeItemBase& node);
void SetLeafFactsEnabled(bool on);

}  // namespace vornfmt
