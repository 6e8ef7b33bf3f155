// What the tool reads from a person or a capture: batch lines and the
// hexadecimal bytes in them. Every line is split into a type and a hex
// text that lie inside it; hex text that reads gives bytes whose digits
// read back as the same bytes; no line ends up longer than the cap.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "tools/batch_line_reader.h"
#include "tools/tool_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vornfmt::tool;
  std::istringstream input(std::string(reinterpret_cast<const char*>(data), size));
  // A small cap and chunk, so that short inputs reach the long-line and
  // chunk-boundary paths.
  constexpr size_t kCap = 64;
  BatchLineReader reader(input, kCap, 16);
  std::string_view line;
  bool tooLong = false;
  std::vector<uint8_t> bytes, again;
  size_t lines = 0;
  while (reader.Next(line, tooLong)) {
    if (++lines > size + 1 || line.size() > kCap || (tooLong && line.size() != kCap)) __builtin_trap();
    const auto [type, hex] = SplitBatchLine(line);
    if (type.size() + hex.size() > line.size()) __builtin_trap();
    if (!UnpackHex(hex, bytes)) continue;
    if (bytes.size() * 2 > hex.size()) __builtin_trap();
    if (!UnpackHex(HexOf(bytes), again) || again != bytes) __builtin_trap();
  }
  return 0;
}
