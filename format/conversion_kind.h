#pragma once
// How an item of a compiled format shows its value, set from the conversion
// letter that ends the item's piece.
#include <cstdint>
#include <string_view>

namespace vornfmt {

enum class ConversionKind : std::int32_t {
  Float = 0,     // 'f'
  Char = 1,      // 'c'
  String = 2,    // 's'
  EnumName = 3,  // 'm'
  Hex = 4,       // 'x'
  Decimal = 5,   // 'd'
  Other = 6,     // any other letter
  Literal = 7,   // the piece has no conversion (letter 0)
};

constexpr ConversionKind ConversionKindFromLetter(char16_t letter) {
  switch (letter) {
    case u'f': return ConversionKind::Float;
    case u'c': return ConversionKind::Char;
    case u's': return ConversionKind::String;
    case u'm': return ConversionKind::EnumName;
    case u'x': return ConversionKind::Hex;
    case u'd': return ConversionKind::Decimal;
    case 0: return ConversionKind::Literal;
    default: return ConversionKind::Other;
  }
}

// "Float", "Char", ... for listings.
std::string_view ConversionKindName(ConversionKind kind);

}  // namespace vornfmt
