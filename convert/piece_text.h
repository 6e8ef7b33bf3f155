#pragma once
// A piece of a compiled format used as a printf-like format with one string
// argument. Pieces come from format files, so they are never handed to a C
// formatter: this does the one substitution they can ask for.
#include <string>
#include <string_view>

namespace vornfmt {

// Appends `piece` to `out` with its first "%s" replaced by `argument` and
// every "%%" folded to '%'. A further "%s" (a format text with more
// conversions than arguments) gives nothing: the piece has only one value.
// Any other '%' sequence ("%5.2f", "%u", a lone '%') is kept as written.
void AppendPiece(std::u16string& out, std::u16string_view piece, std::u16string_view argument);

std::u16string PieceText(std::u16string_view piece, std::u16string_view argument);

}  // namespace vornfmt
