#include "typetree/leaf_facts.h"

#include "typetree/library_access.h"
#include "typetree/type_tree_item.h"

namespace vornfmt {
namespace {

thread_local bool factsEnabled = true;

// The type whose tree handle selects `node`: the nearest item above it.
CTypeTreeItem* TypeRootOf(CTypeTreeItemBase& node) {
  for (CTypeTreeItemBase* p = &node; p; p = p->Parent())
    if (CTypeTreeItem* item = p->AsTypeRoot()) return item;
  return nullptr;
}

bool StillCurrent(const LeafFacts& facts) {
  const uint64_t stamp = facts.typeRoot->OpeningStamp();
  return stamp != 0 && stamp == facts.openingStamp && facts.catalogEpoch == CatalogEpoch();
}

// Asks the library, as the codec did per call before the facts were kept.
bool ReadFacts(CTypeTreeItemBase& node, LeafFacts& facts) {
  facts = LeafFacts{};
  facts.typeRoot = TypeRootOf(node);
  facts.catalogEpoch = CatalogEpoch();
  if (!SelectLeaf(node, facts.details)) return false;
  // The stamp is taken after the selection, which may have reopened the type.
  facts.openingStamp = facts.typeRoot ? facts.typeRoot->OpeningStamp() : 0;
  ResourceGuard guard(ResourceLock());
  const LdrfHandle tree = facts.details.tree;
  if (node.kind == kKindFloat) Lib().LdrfGetFloatDetails(tree, &facts.floatMinimum, &facts.floatMaximum);
  facts.hasEnumSet = TreeCallSucceeded(Lib().LdrfGetEnumDetails(tree, nullptr, &facts.enumSet, nullptr, nullptr));
  facts.span = LeafSpan(node, facts.details);
  return true;
}

}  // namespace

void SetLeafFactsEnabled(bool on) { factsEnabled = on; }

const LeafFacts* FactsOf(CTypeTreeItemBase& node) {
  if (!factsEnabled) {
    thread_local LeafFacts scratch;
    return ReadFacts(node, scratch) ? &scratch : nullptr;
  }
  if (node.facts && node.facts->typeRoot && StillCurrent(*node.facts)) return node.facts.get();
  if (!node.facts) node.facts = std::make_unique<LeafFacts>();
  if (ReadFacts(node, *node.facts)) return node.facts.get();
  node.facts.reset();
  return nullptr;
}

}  // namespace vornfmt
