// Enumeration questions of a node, answered by the type file its type was
// read from, and the resolution of a scaled node.
#include "typetree/codec.h"
#include "typetree/leaf_details.h"
#include "typetree/leaf_facts.h"
#include "typetree/library_access.h"
#include "typetree/type_tree_item.h"

namespace vornfmt {
namespace {

// Enumeration sets are numbered per type file, so the set of a node is looked
// up in the file of the nearest item above it (for a field of a referenced
// type, the referenced type's file; for every other node, the owner's).
CTypeFile* EnumerationFile(CTypeTreeItemBase& node) {
  for (CTypeTreeItemBase* p = &node; p; p = p->Parent())
    if (CTypeTreeItem* item = p->AsTypeRoot()) return item->GetTypeFile();
  return node.owner ? node.owner->GetTypeFile() : nullptr;
}

}  // namespace

bool GetEnumSet(CTypeTreeItemBase& node, int32_t& set) {
  const LeafFacts* facts = FactsOf(node);
  if (!facts || !facts->hasEnumSet) return false;
  set = facts->enumSet;
  return true;
}

std::u16string EnumNameByValue(CTypeTreeItemBase& node, int32_t value) {
  CTypeFile* file = EnumerationFile(node);
  const LeafFacts* facts = file ? FactsOf(node) : nullptr;
  if (!facts || !facts->hasEnumSet) return {};
  if (const auto kept = facts->enumNames.find(value); kept != facts->enumNames.end()) return kept->second;
  std::u16string name = file->GetEnumMemberName(value, facts->enumSet);
  if (facts->enumNames.size() < kKeptEnumNames) facts->enumNames.emplace(value, name);
  return name;
}

bool EnumValueByName(CTypeTreeItemBase& node, std::u16string_view name, int8_t& value) {
  int32_t set = 0;
  CTypeFile* file = EnumerationFile(node);
  if (!file || !GetEnumSet(node, set)) return false;
  int32_t found = 0;
  if (!file->FindEnumValue(name, set, found)) return false;
  value = static_cast<int8_t>(found);
  return true;
}

void EnumNames(CTypeTreeItemBase& node, std::vector<std::u16string>& names) {
  int32_t set = 0;
  CTypeFile* file = EnumerationFile(node);
  if (!file || !GetEnumSet(node, set)) return;
  file->GetEnumMembers(set, names);
}

double GetResolution(CTypeTreeItemBase& node) {
  if (!IsScaledKind(node.kind)) return 0.0;
  LeafDetails details;
  if (!SelectLeaf(node, details)) return 0.0;
  return static_cast<double>(StepOf(details));
}

}  // namespace vornfmt
