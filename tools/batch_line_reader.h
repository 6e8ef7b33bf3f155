#pragma once
// The lines of batch input, read in large chunks and cut at '\n' with
// memchr: a capture of millions of short lines costs one read per chunk
// instead of a stream call per character. A line longer than the cap is
// cut to its first `maxLine` bytes and marked; the rest of it is skipped
// without being kept, so a hostile line never takes more than the buffer.
#include <cstddef>
#include <istream>
#include <string_view>
#include <vector>

#include "tools/tool_text.h"

namespace vornfmt::tool {

class BatchLineReader {
 public:
  explicit BatchLineReader(std::istream& in, size_t maxLine = kMaxBatchLine, size_t chunk = size_t{64} << 10);

  // The next line without its line end (a trailing CR is dropped too), at
  // most maxLine bytes, `tooLong` when it held more. The view lasts until
  // the next call. False at the end of the input.
  bool Next(std::string_view& line, bool& tooLong);

 private:
  // Moves the unread bytes to the front and reads more behind them; false
  // when the input has no more.
  bool Fill();
  // Drops the rest of a line that was too long, up to and including its
  // '\n'; false when the input ends first.
  bool SkipRestOfLine();

  std::istream& in_;
  size_t maxLine_;
  std::vector<char> buffer_;
  size_t begin_ = 0, end_ = 0;
  bool atEnd_ = false;
  bool skipping_ = false;
};

}  // namespace vornfmt::tool
