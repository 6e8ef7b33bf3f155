#pragma once
// The value of one hexadecimal digit, for narrow and wide text alike.

namespace vornfmt {

// 0..15 for '0'-'9', 'a'-'f' and 'A'-'F'; -1 for anything else.
template <class Char>
constexpr int HexDigit(Char c) {
  if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
  return -1;
}

}  // namespace vornfmt
