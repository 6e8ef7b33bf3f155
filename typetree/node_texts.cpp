// The language texts of a node, fetched under the program ID of its tree.
#include "catalog/formatter_engine.h"
#include "typetree/type_tree_item.h"

namespace vornfmt {

std::u16string CTypeTreeItemBase::LookUp(const LanguageStringRef& ref) const {
  if (!owner) return {};
  return TheEngine().LookupString(owner->pid, ref.scope, ref.index);
}

std::u16string CTypeTreeItemBase::GetNameText() const { return LookUp(nameRef); }
std::u16string CTypeTreeItemBase::GetCommentText() const { return LookUp(commentRef); }
std::u16string CTypeTreeItemBase::GetUnitsRefText() const { return LookUp(unitsRef); }

}  // namespace vornfmt
