#pragma once
// Program IDs given as hexadecimal text: cut at the first character that is
// not a hexadecimal digit, a "0" put in front of an odd count, each pair of
// digits one byte. Bytes the text does not reach stay 0; digits beyond the
// 16th are ignored.
#include <array>
#include <cstdint>
#include <string_view>

namespace vornfmt {

using ProgramIdBytes = std::array<uint8_t, 8>;

ProgramIdBytes ProgramIdFromText(std::u16string_view pid);

}  // namespace vornfmt
