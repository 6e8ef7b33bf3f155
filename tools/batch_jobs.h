#pragma once
// Batch lines on several threads with the output in input order. The input
// is read in blocks (bounded in lines and bytes); each block is cut into one
// slice per job, every slice is formatted by its job's own worker on a
// thread of its own, and the slices' results are written in order once the
// block is done, each line's messages just before its result (the output
// stream flushed first), as a run of one line at a time writes them. A
// worker is made once per job and keeps its state (its loaded types) across
// blocks, used by one thread at a time.
#include <cstddef>
#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

namespace vornfmt::tool {

struct BatchLine {
  std::string_view text;  // within the block being formatted
  bool tooLong = false;  // more than kMaxBatchLine bytes; `text` holds the start
  size_t number = 0;     // 1 for the first line of the input
};

// Formats one line: appends its result line to `out` and any messages to
// `messages`; false when the line could not be formatted.
using BatchWorker = std::function<bool(const BatchLine& line, std::string& out, std::string& messages)>;

struct BatchJobLimits {
  size_t linesPerJob = 2048;           // lines of one slice, at most
  size_t blockBytes = size_t{8} << 20;  // input bytes of one block, at least one line
};

// Runs the batch of `in` on `jobs` workers (1 or more; 1 runs on the calling
// thread); writes results to `out` and messages to `messages`. True when
// every line was formatted.
bool RunBatchJobs(std::istream& in, std::ostream& out, std::ostream& messages, size_t jobs,
                  const std::function<BatchWorker()>& makeWorker, const BatchJobLimits& limits = {});

}  // namespace vornfmt::tool
