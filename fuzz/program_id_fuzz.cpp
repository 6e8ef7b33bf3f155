// Program IDs as hosts give them: any text reads as eight bytes, and the
// sixteen digits of those bytes read back as the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "catalog/program_id.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text;
  for (size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  const vornfmt::ProgramIdBytes bytes = vornfmt::ProgramIdFromText(text);
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string digits;
  for (uint8_t b : bytes) {
    digits.push_back(kDigits[b >> 4]);
    digits.push_back(kDigits[b & 15]);
  }
  if (vornfmt::ProgramIdFromText(digits) != bytes) __builtin_trap();
  return 0;
}
