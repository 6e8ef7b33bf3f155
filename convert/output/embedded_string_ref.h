#pragma once
// A language-string reference written into a character field: the byte 0x80
// followed by "[PROGRAMID-][SCOPE:]INDEX[;...]", for example
// "\x80" "0123456789ABCDEF-3:17". SNVT_alarm_2 carries its description so.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vornfmt {

struct EmbeddedStringRef {
  std::string text;                     // the field's characters, narrow
  int32_t index = 0;
  uint8_t scope = 0;
  std::array<uint8_t, 8> programId{};  // defaults to the tree's program ID
  bool valid = false;

  // Reads `text` with `pid` (the tree's program ID text) as the default
  // program ID; sets `valid` when it is such a reference.
  void Parse(std::u16string_view pid);

  // The program ID as 16 upper-case hexadecimal digits.
  std::u16string ProgramIdText() const;
};

}  // namespace vornfmt
