#pragma once
// The text the tool reads besides its options: raw bytes as hexadecimal
// text, and the lines of batch input. Plain text handling, kept apart from
// the commands so that it can be fuzzed on its own.
#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vornfmt::tool {

// Bytes from hexadecimal text: pairs of digits, optionally separated by
// blanks or ':' ("0A28", "0a 28", "0A:28"). False for anything else.
bool UnpackHex(std::string_view text, std::vector<uint8_t>& bytes);

// Upper-case hexadecimal digits without separators.
std::string HexOf(const std::vector<uint8_t>& bytes);

// The longest batch line read: a type name and the hexadecimal text of the
// longest type (65,535 bytes, three characters each with separators) fit.
constexpr size_t kMaxBatchLine = size_t{1} << 20;

// A batch line "TYPE HEX": the type up to the first blank or tab, the hex
// text after the blanks and tabs that follow it (either may be empty).
std::pair<std::string_view, std::string_view> SplitBatchLine(std::string_view line);

}  // namespace vornfmt::tool
