#include "format/fmt_string_item.h"

#include "format/format_arena.h"
#include "format/mask_conversions.h"

namespace vornfmt {

CFmtStringItem::CFmtStringItem(std::u16string_view name, const ScalingPart& scaling,
                               std::u16string_view piece, ConversionKind kind)
    : scaling_(scaling), kind_(kind), own_(std::make_unique<OwnTexts>()) {
  own_->name.assign(name);
  name_ = &own_->name;
  piece_ = &own_->piece;
  SetPiece(piece);
}

void CFmtStringItem::SetPiece(std::u16string_view piece) {
  if (own_) {
    own_->piece.assign(piece);
    MaskConversions(own_->piece);
    UseMaskedPiece(own_->piece);
    return;
  }
  std::u16string masked(piece);
  MaskConversions(masked);
  UseMaskedPiece(arena_->Intern(masked));
}

}  // namespace vornfmt
