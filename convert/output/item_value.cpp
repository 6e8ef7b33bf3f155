#include "convert/output/item_value.h"

#include "convert/output/locale_number_text.h"
#include "platform/code_page.h"
#include "typetree/codec.h"

namespace vornfmt {
namespace {

// One character of the ANSI code page; code 0 ends the text at once.
std::u16string AnsiCharText(int32_t code) {
  const auto byte = static_cast<char>(static_cast<uint8_t>(code));
  if (byte == 0) return {};
  return codepage::FromAnsi(std::string_view(&byte, 1));
}

}  // namespace

double Scaled(const CFmtStringItem& item, double value) {
  return value * static_cast<double>(item.Scale()) + static_cast<double>(item.Offset());
}

std::u16string ValueText(const CFmtStringItem& item, CTypeTreeItemBase& node) {
  const double v = node.value.value;
  switch (item.Kind()) {
    case ConversionKind::Float: return RealText(Scaled(item, v));
    case ConversionKind::Char:
    case ConversionKind::String: return AnsiCharText(Truncated(Scaled(item, v)));
    case ConversionKind::EnumName:
      return EnumNameByValue(node, static_cast<int16_t>(static_cast<uint16_t>(Truncated(v))));
    case ConversionKind::Hex: return HexText(Truncated(Scaled(item, v)));
    case ConversionKind::Decimal: return DecimalText(Truncated(Scaled(item, v)));
    case ConversionKind::Literal: return item.Piece();
    case ConversionKind::Other: break;
  }
  return {};
}

double ScaledValue(const CFmtStringItem& item, const CTypeTreeItemBase& node) {
  switch (item.Kind()) {
    case ConversionKind::Float:
    case ConversionKind::Hex:
    case ConversionKind::Decimal: return Scaled(item, node.value.value);
    default: return node.value.value;
  }
}

bool NumberText(const CFmtStringItem& item, double number, std::u16string& out) {
  const ConversionKind kind = item.Kind();
  if (static_cast<int32_t>(kind) > static_cast<int32_t>(ConversionKind::Other)) return false;
  if (kind == ConversionKind::String) return true;
  const double x = Scaled(item, number);
  switch (kind) {
    case ConversionKind::Float: out = RealText(x); break;
    case ConversionKind::Char: out = CharText(static_cast<char16_t>(static_cast<uint16_t>(Truncated(x)))); break;
    case ConversionKind::Hex: out = HexText(Truncated(x)); break;
    default: out = DecimalText(Truncated(x)); break;
  }
  return true;
}

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

void AppendItemValue(std::u16string& out, const CFmtStringItem& item, CTypeTreeItemBase& node) {
  if (item.Kind() == ConversionKind::Float && item.IsBarePlaceholder())
    return AppendRealText(out, Scaled(item, node.value.value));
  AppendPiece(out, item.Piece(), ValueText(item, node));
}

std::u16string PieceText(std::u16string_view piece, std::u16string_view argument) {
  std::u16string out;
  AppendPiece(out, piece, argument);
  return out;
}

}  // namespace vornfmt
