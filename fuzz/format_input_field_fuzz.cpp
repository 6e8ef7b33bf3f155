// The format text splitter: a format text and an input text (split at the
// first 0 byte) are cut into pieces and input fields. The pieces put together
// give the format text back; the fields never hold more than the input;
// the splitter always comes to an end.
#include <cstddef>
#include <cstdint>
#include <string>

#include "format/fmt_splitter.h"
#include "format/text_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const size_t split = bytes.find('\0');
  const std::u16string format = vornfmt::WidenWindows1252(bytes.substr(0, split));
  const std::u16string input =
      split == std::string_view::npos ? std::u16string() : vornfmt::WidenWindows1252(bytes.substr(split + 1));

  vornfmt::CFmt pieces(format);
  std::u16string joined, piece;
  char16_t letter = 0;
  size_t calls = 0;
  while (pieces.NextPiece(letter, piece) == 1) {
    if (piece.size() < 2 || piece[piece.size() - 1] != letter || piece[piece.size() - 2] != u'%') __builtin_trap();
    joined += piece;
    if (++calls > format.size()) __builtin_trap();
  }
  joined += piece;
  if (joined != format) __builtin_trap();

  vornfmt::CFmt scanner(format, input);
  std::u16string conversion, field;
  std::int32_t mismatch = 0;
  size_t taken = 0;
  calls = 0;
  while (scanner.NextInputField(letter, conversion, field, mismatch) == 1) {
    if (conversion.size() != 2 || conversion[1] != letter || (mismatch != 0 && mismatch != 1)) __builtin_trap();
    taken += field.size();
    if (taken > input.size() || ++calls > format.size()) __builtin_trap();
  }
  if (!field.empty() || letter != 0) __builtin_trap();
  return 0;
}
