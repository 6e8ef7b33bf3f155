#include "typetree/type_tree_item_base.h"

#include "catalog/text_buffer.h"
#include "typetree/leaf_facts.h"
#include "typetree/library_access.h"

namespace vornfmt {

CTypeTreeItemBase::~CTypeTreeItemBase() { ClearChildren(); }

void CTypeTreeItemBase::ClearChildren() {
  while (!children.empty()) children.pop_back();
}

CTypeTreeItemBase& CTypeTreeItemBase::AddChild(std::unique_ptr<CTypeTreeItemBase> child) {
  child->parent = this;
  children.push_back(std::move(child));
  return *children.back();
}

std::u16string CTypeTreeItemBase::GetName() const { return PathName(); }

std::u16string CTypeTreeItemBase::PathName() const {
  if (!parent) return name;
  std::u16string path = parent->PathName();
  if (kind == kKindArray || name.empty()) return path;
  if (path.empty()) return name;
  path += u'.';
  path += name;
  return path;
}

LdrfHandle CTypeTreeItemBase::SelectNode() {
  if (!parent) return 0;
  const LdrfHandle tree = parent->SelectNode();
  if (kind == kKindArray || tree == 0) return tree;
  ResourceGuard guard(ResourceLock());
  std::optional<std::string> converted;
  if (!hasNarrowName) converted = Narrow(name);
  const char* text = hasNarrowName ? narrowName.c_str() : converted ? converted->c_str() : nullptr;
  if (Lib().LdrfFindTypeTreeNode(tree, 1, text) != LDRF_OK) return 0;
  const LdrfResult r = Lib().LdrfReadTypeTreeNode(tree, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                  nullptr, nullptr, nullptr, nullptr, nullptr);
  return TreeCallSucceeded(r) ? tree : 0;
}

void CTypeTreeItemBase::ClearValues() {
  value.Clear();
  for (auto& child : children) child->ClearValues();
}

}  // namespace vornfmt
