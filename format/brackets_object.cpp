#include "format/brackets_object.h"

#include "format/conversion_kind.h"
#include "format/scaling_part.h"

namespace vornfmt {

CBracketsObject::~CBracketsObject() {
  // Items first, then the children, then the branches.
  items_.clear();
  children_.clear();
  then_branch_.reset();
  else_branch_.reset();
}

CFmtStringItem* CBracketsObject::AddItem(std::u16string_view name, std::u16string_view argument,
                                         std::u16string_view piece, char16_t letter) {
  items_.push_back(std::make_unique<CFmtStringItem>(name, ReadScalingPart(argument), piece,
                                                    ConversionKindFromLetter(letter)));
  kind_ = BracketKind::Items;
  return items_.back().get();
}

}  // namespace vornfmt
