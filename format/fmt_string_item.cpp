#include "format/fmt_string_item.h"

#include "format/mask_conversions.h"

namespace vornfmt {

CFmtStringItem::CFmtStringItem(std::u16string_view name, const ScalingPart& scaling,
                               std::u16string_view piece, ConversionKind kind)
    : scaling_(scaling), kind_(kind), name_(name) {
  SetPiece(piece);
}

void CFmtStringItem::SetPiece(std::u16string_view piece) {
  piece_.assign(piece);
  MaskConversions(piece_);
}

}  // namespace vornfmt
