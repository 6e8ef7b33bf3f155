#pragma once
// The type-name classes. A name is classified by plain, case-sensitive
// substring tests; the marker may stand anywhere in the name.
#include <cstddef>
#include <string_view>

namespace vornfmt {

// Contains "SNVT" or "UNVT".
bool IsNvtName(std::u16string_view name);
// Contains "SCPT" or "UCPT".
bool IsCptName(std::u16string_view name);
// Contains any of "SNVT", "UNVT", "SCPT", "UCPT".
bool IsTypeName(std::u16string_view name);

// Where a type name starts inside an entry text: the first "SNVT"; if there
// is none the first "UNVT"; then "SCPT"; then "UCPT". The first marker found
// in that order wins even when another one stands earlier in the text.
// npos when the text holds none of them.
std::size_t FindTypeNameStart(std::u16string_view text);

}  // namespace vornfmt
