#include "catalog/program_id.h"

#include <string>

namespace vornfmt {
namespace {

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

}  // namespace

ProgramIdBytes ProgramIdFromText(std::u16string_view pid) {
  std::u16string digits;
  for (char16_t c : pid) {
    if (HexValue(c) < 0) break;
    digits.push_back(c);
  }
  if (digits.size() % 2 != 0) digits.insert(digits.begin(), u'0');
  ProgramIdBytes bytes{};
  for (size_t i = 0; i < bytes.size() && 2 * i + 1 < digits.size(); ++i)
    bytes[i] = static_cast<uint8_t>(HexValue(digits[2 * i]) * 16 + HexValue(digits[2 * i + 1]));
  return bytes;
}

}  // namespace vornfmt
