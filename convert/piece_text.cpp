#include "convert/piece_text.h"

namespace vornfmt {

void AppendPiece(std::u16string& out, std::u16string_view piece, std::u16string_view argument) {
  bool argumentUsed = false;
  size_t i = 0;
  while (i < piece.size()) {
    const size_t percent = piece.find(u'%', i);
    if (percent == std::u16string_view::npos || percent + 1 == piece.size()) {
      out.append(piece.substr(i));
      return;
    }
    out.append(piece.substr(i, percent - i));
    const char16_t next = piece[percent + 1];
    if (next == u'%') {
      out.push_back(u'%');
      i = percent + 2;
    } else if (next == u's') {
      if (!argumentUsed) out.append(argument);
      argumentUsed = true;
      i = percent + 2;
    } else {
      out.push_back(u'%');
      i = percent + 1;
    }
  }
}

std::u16string PieceText(std::u16string_view piece, std::u16string_view argument) {
  std::u16string out;
  AppendPiece(out, piece, argument);
  return out;
}

}  // namespace vornfmt
