#pragma once
// What one format item makes of one value: the value's text, its scaled
// number, the text of a given number, and its piece with that text put in.
//
// Scaled means value x scale + offset in double precision, with the item's
// scale and offset widened from single precision -- as format files define
// them -- so a scale written 0.1 acts as the single nearest to 0.1 and
// 235 x 0.1 shows as 23.5000003501773.
#include <string>
#include <string_view>

#include "format/fmt_string_item.h"
#include "typetree/type_tree_item_base.h"

namespace vornfmt {

double Scaled(const CFmtStringItem& item, double value);

// The value of `node` alone (without the literal text of the piece), by the
// item's kind: Float "%.15g" of the scaled value; Char and String one ANSI
// character from the low 8 bits of the truncated scaled value (none for 0);
// EnumName the member name of the low 16 bits of the truncated value (no
// scaling); Hex "%x" and Decimal "%d" of the truncated scaled value; Other
// nothing; Literal the piece itself.
std::u16string ValueText(const CFmtStringItem& item, CTypeTreeItemBase& node);

// The scaled value for Float, Hex and Decimal; the plain value otherwise.
double ScaledValue(const CFmtStringItem& item, const CTypeTreeItemBase& node);

// The text of `number` through the item (scaled, except for String). False,
// `out` untouched, for Literal items; String items leave `out` untouched and
// answer true; EnumName, Decimal and Other give "%d".
bool NumberText(const CFmtStringItem& item, double number, std::u16string& out);

// A piece of a compiled format is used as a printf-like format with one
// string argument. Pieces come from format files, so they are never handed
// to a C formatter: this does the one substitution they can ask for.
// Appends `piece` to `out` with its first "%s" replaced by `argument` and
// every "%%" folded to '%'. A further "%s" (a format text with more
// conversions than arguments) gives nothing: the piece has only one value.
// Any other '%' sequence ("%5.2f", "%u", a lone '%') is kept as written.
void AppendPiece(std::u16string& out, std::u16string_view piece, std::u16string_view argument);

// AppendPiece(out, item.Piece(), ValueText(item, node)), with a piece that
// is one bare conversion of a Float item written without a text between.
void AppendItemValue(std::u16string& out, const CFmtStringItem& item, CTypeTreeItemBase& node);

std::u16string PieceText(std::u16string_view piece, std::u16string_view argument);

}  // namespace vornfmt
