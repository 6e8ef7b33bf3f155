#include "format/conversion_kind.h"

namespace vornfmt {

std::string_view ConversionKindName(ConversionKind kind) {
  switch (kind) {
    case ConversionKind::Float: return "Float";
    case ConversionKind::Char: return "Char";
    case ConversionKind::String: return "String";
    case ConversionKind::EnumName: return "EnumName";
    case ConversionKind::Hex: return "Hex";
    case ConversionKind::Decimal: return "Decimal";
    case ConversionKind::Other: return "Other";
    case ConversionKind::Literal: return "Literal";
  }
  return "Unknown";
}

}  // namespace vornfmt
