#include "format/brackets_object.h"

#include "format/conversion_kind.h"
#include "format/mask_conversions.h"
#include "format/scaling_part.h"

namespace vornfmt {

CBracketsObject::~CBracketsObject() {
  // The nodes and items of the tree live in the arena and own nothing.
  if (owns_arena_) delete arena_;
}

FormatArena& CBracketsObject::Arena() {
  if (arena_ == nullptr) {
    arena_ = new FormatArena();
    owns_arena_ = true;
  }
  return *arena_;
}

CFmtStringItem* CBracketsObject::AddItem(std::u16string_view name, std::u16string_view argument,
                                         std::u16string_view piece, char16_t letter) {
  FormatArena& arena = Arena();
  std::u16string masked(piece);
  MaskConversions(masked);
  auto* item = arena.New<CFmtStringItem>(arena, arena.Intern(name), ReadScalingPart(argument),
                                          arena.Intern(masked), ConversionKindFromLetter(letter));
  items_.Append(item, arena);
  kind_ = BracketKind::Items;
  return item;
}

}  // namespace vornfmt
