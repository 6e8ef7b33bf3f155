#include "tools/tool_text.h"

#include <algorithm>

#include "platform/hex_digit.h"

namespace vornfmt::tool {

bool UnpackHex(std::string_view text, std::vector<uint8_t>& bytes) {
  bytes.clear();
  int high = -1;
  for (char c : text) {
    if (c == ' ' || c == ':') {
      if (high >= 0) return false;  // a separator inside a pair
      continue;
    }
    const int digit = HexDigit(c);
    if (digit < 0) return false;
    if (high < 0) {
      high = digit;
    } else {
      bytes.push_back(static_cast<uint8_t>(high * 16 + digit));
      high = -1;
    }
  }
  return high < 0;
}

std::string HexOf(const std::vector<uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (uint8_t b : bytes) {
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 15]);
  }
  return out;
}

std::pair<std::string_view, std::string_view> SplitBatchLine(std::string_view line) {
  // A plain scan: find_first_of over a set costs a memchr per character.
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  size_t split = 0;
  while (split < line.size() && !blank(line[split])) ++split;
  size_t hexStart = split;
  while (hexStart < line.size() && blank(line[hexStart])) ++hexStart;
  return {line.substr(0, split), line.substr(hexStart)};
}

}  // namespace vornfmt::tool
